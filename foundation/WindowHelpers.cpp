#include "WindowHelpers.h"

#include <cstring>

#include "WindowPlacement.h"
#include "platform/ui/ClientDC.h"

BOOL SaveWindowPlacement(CArchive* archive, CWnd* window)
{
    CWindowPlacement placement;
    return archive ? placement.SaveToArchive(window, *archive) : placement.SaveToProfile(window, nullptr);
}

BOOL RestoreWindowPlacement(CArchive* archive, CWnd* window, int archiveVersion)
{
    CWindowPlacement placement;
    if (archive) {
        placement.m_rescale = 1;
        return placement.LoadFromArchive(FALSE, window, *archive, archiveVersion, TRUE);
    }
    placement.m_rescale = 0;
    return placement.RestoreFromProfile(FALSE, window, nullptr, TRUE);
}

void ShowChildWindows(CWnd* window, BOOL hide)
{
    if (!window)
        return;
    for (CWnd* child = window->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT))
        child->ShowWindow(hide ? SW_HIDE : SW_SHOW);
}

LOGFONT* MakeLogFontForPointSize(LOGFONT* font, CWnd* window, const char* faceName, int pointSize, int weight)
{
    if (!font)
        return nullptr;
    std::memset(font, 0, sizeof *font);
    CClientDC dc(window);
    font->lfHeight = -MulDiv(pointSize, dc.GetDeviceCaps(LOGPIXELSY), 72);
    font->lfWeight = weight;
    font->lfOutPrecision = 0;
    font->lfQuality = CLEARTYPE_QUALITY;
    if (faceName)
        std::strncpy(font->lfFaceName, faceName, LF_FACESIZE - 1);
    return font;
}

void MoveWindowOntoScreen(CWnd* window)
{
    if (!window || !window->GetSafeHwnd())
        return;
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    CRect r;
    window->GetWindowRect(&r);
    int top = r.top;
    if (top < 0)
        top = 0;
    else if (r.bottom > height)
        top = std::max(0, static_cast<int>(r.top - (r.bottom - height)));
    int left = r.left;
    if (left < 0)
        left = 0;
    else if (r.right > width)
        left = r.left - (r.right - width);
    CPoint topLeft(left, top);
    if (CWnd* parent = window->GetParent(); parent && (window->GetStyle() & WS_CHILD))
        parent->ScreenToClient(&topLeft);
    window->MoveWindow(topLeft.x, topLeft.y, r.Width(), r.Height(), TRUE);
}

CRect GetChildrenBoundingRect(CWnd* window)
{
    CRect bound(0, 0, 0, 0);
    bool any = false;
    if (window)
        for (CWnd* child = window->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
            CRect r;
            child->GetWindowRect(&r);
            if (!any) {
                bound = r;
                any = true;
            } else {
                bound.SetRect(std::min(bound.left, r.left), std::min(bound.top, r.top), std::max(bound.right, r.right),
                              std::max(bound.bottom, r.bottom));
            }
        }
    if (window)
        window->ScreenToClient(&bound);
    return bound;
}
