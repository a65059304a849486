// CQvxBackgroundWnd: the main frame's MDI client window, painted light grey
// with a picture centred on it.
#pragma once

#include "platform/ui/Bitmap.h"
#include "platform/ui/Wnd.h"

class CQvxBackgroundWnd : public CWnd {
public:
    static constexpr COLORREF kBackground = 0xC4C4C4;
    static constexpr UINT kBitmapId = 332;

    BOOL SetBitmap(UINT id);
    int OnCreate(LPCREATESTRUCT cs);
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnPaint();

private:
    CBitmap m_bitmap;
    bool m_hasBitmap = false;

    DECLARE_MESSAGE_MAP()
};
