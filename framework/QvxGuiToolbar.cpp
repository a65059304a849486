#include "QvxGuiToolbar.h"

#include <algorithm>

#include "platform/ui/PaintDC.h"

namespace {
constexpr int kIndicatorWidth = 100;
constexpr int kLabelWidth = 150;
constexpr int kSelectorWidth = 50;
constexpr int kLabelGap = 6;
constexpr int kSelectorMargin = 2;
}  // namespace

BEGIN_MESSAGE_MAP(CQvxGuiToolbar, CToolBar)
    ON_WM_PAINT()
    ON_CBN_DROPDOWN(kDriveSelectorId, &CQvxGuiToolbar::OnSelectorDropDown)
    ON_CBN_SELCHANGE(kDriveSelectorId, &CQvxGuiToolbar::OnSelectorChange)
END_MESSAGE_MAP()

BOOL CQvxGuiToolbar::CreateEx(CWnd* parent, CQvxGuiToolbarCB* callback, DWORD style, UINT id)
{
    m_pCallback = callback;
    if (!Create(parent, style, id))
        return FALSE;
    static const UINT kButtons[] = {kToolbarButtonCommand, ID_SEPARATOR};
    static const char* const kCaptions[] = {"", ""};
    SetButtons(kButtons, kCaptions, 2);
    SetButtonInfo(1, kDriveSelectorId, TBBS_SEPARATOR, kSelectorWidth);
    m_selector.SetCallback(this);
    CRect rect;
    GetItemRect(1, &rect);
    rect.OffsetRect(3, 0);
    rect.bottom += 100;
    if (!m_selector.CreateSelector(WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, rect, this,
                                   kDriveSelectorId))
        return FALSE;
    m_selector.FillList();
    if (!m_keepSelectorPosition) {
        // Over the picture-less first button, but never past the bar's left edge.
        rect.OffsetRect(-std::min(25, static_cast<int>(rect.left) - kSelectorMargin), 0);
        CRect fitted;
        m_selector.GetWindowRect(&fitted);
        m_selector.SetWindowPos(nullptr, rect.left, rect.top, fitted.Width(), fitted.Height(), SWP_NOZORDER);
    }
    return TRUE;
}

void CQvxGuiToolbar::ForwardToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive)
{
    if (m_pCallback)
        m_pCallback->GetToolbarInfo(drives, currentDrive);
}

int CQvxGuiToolbar::OnAmpSelected(const CString& text)
{
    Invalidate();
    return m_pCallback ? m_pCallback->OnToolbarDriveSelected(text) : 0;
}

void CQvxGuiToolbar::OnAmpListChanged() { Invalidate(); }

void CQvxGuiToolbar::RefreshDrives()
{
    m_selector.RefreshKeepingSelection();
    Invalidate();
}

void CQvxGuiToolbar::FitToParentWidth()
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect client;
    parent->GetClientRect(&client);
    CRect bar;
    GetWindowRect(&bar);
    parent->ScreenToClient(&bar);
    MoveWindow(bar.left, bar.top, client.right - bar.left, bar.Height());
    Invalidate();
}

bool CQvxGuiToolbar::GetStateLook(int state, const char*& text, COLORREF& fill, COLORREF& textColour)
{
    struct Look { const char* text; COLORREF fill; COLORREF textColour; };
    static const Look kLooks[] = {
        {"Drive Disabled", 0x00FFFF, 0x000000}, {"Drive Enabled", 0x008000, 0x000000},
        {"Drive Error", 0x2020C4, 0x000000},    {"Unknown", 0x202020, 0x808080},
        {"Drive Fault", 0x0000BE, 0x000000},
    };
    if (state < 0 || state >= static_cast<int>(sizeof kLooks / sizeof kLooks[0])) {
        text = "";
        fill = 0x000000;
        textColour = 0x000000;
        return false;
    }
    text = kLooks[state].text;
    fill = kLooks[state].fill;
    textColour = kLooks[state].textColour;
    return true;
}

CRect CQvxGuiToolbar::IndicatorRect(const CRect& client)
{
    return CRect(client.right - kIndicatorWidth, client.top + 2, client.right - 2, client.bottom - 2);
}

void CQvxGuiToolbar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    if (m_showState)
        DrawIndicator(dc, client);
    DrawLabel(dc, client);
}

void CQvxGuiToolbar::DrawIndicator(CDC& dc, const CRect& client)
{
    const int state = m_pCallback ? m_pCallback->GetDriveEnableState() : kDriveStateUnknown;
    const char* text = "";
    COLORREF fill = 0;
    COLORREF textColour = 0;
    GetStateLook(state, text, fill, textColour);
    CRect rect = IndicatorRect(client);
    dc.FillSolidRect(&rect, fill);
    dc.Draw3dRect(&rect, RGB(0, 0, 0), RGB(255, 255, 255));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(textColour);
    dc.DrawText(text, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CQvxGuiToolbar::DrawLabel(CDC& dc, const CRect& client)
{
    // A character height of the bar's height less 10 pixels keeps the label inside the bar.
    CFont font;
    if (!font.CreateFont(-(client.Height() - 10), 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"))
        return;
    CFont* old = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    // Beside the indicator when it shows, so neither text covers the other.
    const int right = m_showState ? IndicatorRect(client).left - kLabelGap : client.right - 2;
    CRect rect(right - kLabelWidth, client.top, right, client.bottom);
    dc.DrawText("Drive " + GetDriveText(), &rect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    dc.SelectObject(old);
}
