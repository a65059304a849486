// CSplashWnd: the product picture with name, version and build date, shown
// for a few seconds at start-up. At most one exists; it deletes itself.
#pragma once

#include "platform/ui/Bitmap.h"
#include "platform/ui/Wnd.h"

class CSplashWnd : public CWnd {
public:
    ~CSplashWnd() override;

    // 1 shown; 0 when one is up already or the picture cannot be loaded.
    static int ShowSplash(const char* product, const char* version, const char* date, const char* notice,
                          CWnd* owner);
    static CSplashWnd* GetCurrent();
    // The text drawn over the picture.
    CString FormatText() const;

    static constexpr UINT kBitmapId = 384;
    static constexpr int kDisplayMs = 3000;

    int OnCreate(LPCREATESTRUCT cs);
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT, CPoint) {}
    void OnRButtonDown(UINT, CPoint) {}

protected:
    void PostNcDestroy() override { delete this; }

private:
    CSplashWnd() = default;
    CBitmap m_bitmap;
    CString m_date;
    CString m_version;
    CString m_product;
    CString m_notice;
    int m_displayMs = kDisplayMs;

    DECLARE_MESSAGE_MAP()
};
