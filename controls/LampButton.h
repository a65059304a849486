// CLampButton: an owner-drawn button that shows an on/off state as a lit or
// unlit rounded face, optionally blinking. Each WM_TIMER toggles the blink
// phase; the owner starts the timer and sets colours, texts and the state.
#pragma once

#include "platform/ui/Button.h"

class CLampButton : public CButton {
public:
    CLampButton();

    void SetTexts(const char* onText, const char* offText, BOOL repaint);
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    COLORREF m_onTextColor;
    COLORREF m_offTextColor;
    COLORREF m_onFaceColor;
    COLORREF m_offFaceColor;
    CString m_onText;
    CString m_offText;
    int m_blinkMode = 0;
    BOOL m_blinkPhase = FALSE;
    BOOL m_on = FALSE;

protected:
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()
};
