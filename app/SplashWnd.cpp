#include "SplashWnd.h"

#include "platform/ui/DC.h"
#include "platform/ui/Font.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/ResourceText.h"
#include "platform/ui/WinApp.h"

namespace {
CSplashWnd* g_splash = nullptr;
constexpr COLORREF kTextColour = 0x404040;
}  // namespace

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

CSplashWnd::~CSplashWnd()
{
    if (g_splash == this)
        g_splash = nullptr;
}

CSplashWnd* CSplashWnd::GetCurrent() { return g_splash; }

int CSplashWnd::ShowSplash(const char* product, const char* version, const char* date, const char* notice,
                           CWnd* owner)
{
    if (g_splash)
        return 0;
    auto* splash = new CSplashWnd;
    splash->m_product = product;
    splash->m_version = version;
    splash->m_date = date;
    splash->m_notice = notice;
    if (!AfxLoadBitmapResource(splash->m_bitmap, kBitmapId)) {
        delete splash;
        return 0;
    }
    g_splash = splash;
    const CSize size = splash->m_bitmap.GetBitmapDimension();
    if (!splash->CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, "", WS_POPUP | WS_VISIBLE,
                          CRect(0, 0, size.cx, size.cy), owner, 0)) {
        // Destroying a window that was never made does not delete the object.
        if (g_splash == splash)
            delete splash;
        return 0;
    }
    splash->UpdateWindow();
    return 1;
}

int CSplashWnd::OnCreate(LPCREATESTRUCT)
{
    CenterWindow();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetTimer(1, static_cast<UINT>(m_displayMs));
    return 0;
}

CString CSplashWnd::FormatText() const
{
    CString text;
    text.Format("%s Ver: %s\nCompile date: %s\n\n%s", m_product.GetString(), m_version.GetString(),
                m_date.GetString(), m_notice.GetString());
    return text;
}

void CSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&m_bitmap);
    const CSize size = m_bitmap.GetBitmapDimension();
    dc.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);

    CFont font;
    font.CreateFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetTextColor(kTextColour);
    dc.SetBkMode(TRANSPARENT);
    CRect client;
    GetClientRect(&client);
    const int lineHeight = dc.GetTextExtent("Ag").cy;
    CRect text(client.right - 200, client.bottom - 30 - 4 * lineHeight, client.right, client.bottom - 30);
    dc.DrawText(FormatText(), &text, DT_LEFT | DT_TOP);
    dc.SelectObject(oldFont);
}

void CSplashWnd::OnTimer(UINT_PTR)
{
    KillTimer(1);
    DestroyWindow();
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd())
        main->UpdateWindow();
}
