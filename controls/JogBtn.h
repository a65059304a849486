// CJogBtn: a button held down to jog. Press and release are posted to the
// parent as WM_LBUTTONDOWN / WM_LBUTTONUP with the button's id; the button
// never clicks.
#pragma once

#include "platform/ui/Button.h"

class CJogBtn : public CButton {
public:
    BOOL m_pressed = FALSE;
    int m_pressedId = -1;

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
