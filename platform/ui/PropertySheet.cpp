#include "PropertySheet.h"

#include <algorithm>

#include "KeyState.h"

namespace {
// The frame's layout, in dialog units of the sheet's font.
constexpr int kMargin = 4;
constexpr int kTabRow = 14;
constexpr int kPageBorder = 2;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kGap = 4;
constexpr int kMinPageWidth = 100;
constexpr int kMinPageHeight = 40;
constexpr int kDefaultTabRowPixels = 22;

DialogControlTemplate Control(ControlKind kind, int id, int x, int y, int cx, int cy, const char* text, DWORD style)
{
    DialogControlTemplate control;
    control.kind = kind;
    control.id = id;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    control.text = text;
    control.style = WS_CHILD | WS_VISIBLE | style;
    return control;
}
}  // namespace

CPropertySheet::~CPropertySheet() = default;

BOOL CPropertySheet::Create(CDialog* frame, PROPSHEETHEADER& header)
{
    if (!frame || frame->GetSafeHwnd())
        return FALSE;
    GetKeyState(VK_CONTROL);  // starts watching the modifiers before the first key arrives
    for (CPropertyPage* page : header.pages)
        if (page)
            m_pages.emplace_back(page);
    header.pages.clear();
    m_frame = frame;
    m_startPage = header.nStartPage;
    m_current = -1;
    m_closed = FALSE;

    int pageCx = kMinPageWidth;
    int pageCy = kMinPageHeight;
    for (const auto& page : m_pages) {
        pageCx = std::max(pageCx, page->GetTemplate().cx);
        pageCy = std::max(pageCy, page->GetTemplate().cy);
    }
    const int tabCx = pageCx + 2 * kPageBorder;
    const int tabCy = kTabRow + pageCy + 2 * kPageBorder;
    const int buttonsCx = 4 * kButtonWidth + 3 * kGap;
    const int innerCx = std::max(tabCx, buttonsCx);
    const int buttonY = kMargin + tabCy + kGap;

    DialogTemplate sheet;
    sheet.caption = header.caption;
    sheet.faceName = header.fontName;
    sheet.pointSize = header.fontSize;
    sheet.style = header.style & ~WS_VISIBLE;
    sheet.cx = innerCx + 2 * kMargin;
    sheet.cy = buttonY + kButtonHeight + kMargin;
    sheet.controls.push_back(Control(ControlKind::Tab, AFX_IDC_TAB_CONTROL, kMargin, kMargin, innerCx, tabCy, "",
                                     WS_TABSTOP | header.tabStyle));
    const struct {
        int id;
        const char* text;
    } buttons[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_APPLY_NOW, "&Apply"}, {IDHELP, "Help"}};
    int x = kMargin + innerCx - buttonsCx;
    for (const auto& button : buttons) {
        sheet.controls.push_back(Control(ControlKind::Button, button.id, x, buttonY, kButtonWidth, kButtonHeight,
                                         button.text, WS_TABSTOP | (button.id == IDOK ? BS_DEFPUSHBUTTON : 0)));
        x += kButtonWidth + kGap;
    }
    if (!frame->CreateIndirect(sheet, header.hwndParent)) {
        m_frame = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CPropertySheet::InitDialog()
{
    CTabCtrl* tabs = GetTabControl();
    if (!tabs)
        return FALSE;
    for (int i = 0; i < GetPageCount(); ++i)
        tabs->InsertItem(i, m_pages[static_cast<size_t>(i)]->GetTitle());
    if (m_pages.empty())
        return TRUE;
    const int start = m_startPage < m_pages.size() ? static_cast<int>(m_startPage) : 0;
    return ShowPage(start);
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    return m_frame && m_frame->GetSafeHwnd() ? static_cast<CTabCtrl*>(m_frame->GetDlgItem(AFX_IDC_TAB_CONTROL))
                                             : nullptr;
}

CDialog* CPropertySheet::GetCurrentPage() const
{
    if (m_closed || m_current < 0)
        return nullptr;
    CDialog* page = m_pages[static_cast<size_t>(m_current)]->GetWindow();
    return page && page->GetSafeHwnd() ? page : nullptr;
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<size_t>(index)].get();
}

CRect CPropertySheet::GetPageRect() const
{
    CTabCtrl* tabs = GetTabControl();
    if (!tabs)
        return CRect();
    CRect area;
    tabs->GetWindowRect(&area);
    m_frame->ScreenToClient(&area);
    int row = kDefaultTabRowPixels;
    CRect first;
    if (tabs->GetItemRect(0, &first))
        row = first.bottom;
    return CRect(area.left + kPageBorder, area.top + row + kPageBorder, area.right - kPageBorder,
                 area.bottom - kPageBorder);
}

BOOL CPropertySheet::AddPage(CPropertyPage* page)
{
    if (!page)
        return FALSE;
    m_pages.emplace_back(page);
    if (CTabCtrl* tabs = GetTabControl())
        tabs->InsertItem(GetPageCount() - 1, page->GetTitle());
    if (m_current < 0 && !m_closed && m_frame && m_frame->GetSafeHwnd())
        return ShowPage(GetPageCount() - 1);
    return TRUE;
}

LRESULT CPropertySheet::NotifyPage(int index, UINT code)
{
    CPropertyPage* page = GetPage(index);
    if (!page || !page->HasWindow())
        return 0;
    NMHDR header{};
    header.hwndFrom = m_frame;
    header.idFrom = static_cast<UINT_PTR>(m_frame->GetDlgCtrlID());
    header.code = code;
    return page->GetWindow()->SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

BOOL CPropertySheet::ShowPage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!page || !m_frame || !page->CreatePageWindow(m_frame))
        return FALSE;
    if (m_current >= 0 && m_current != index)
        if (CPropertyPage* old = GetPage(m_current); old && old->HasWindow())
            old->GetWindow()->ShowWindow(SW_HIDE);
    m_current = index;
    if (CTabCtrl* tabs = GetTabControl())
        tabs->SetCurSel(index);
    CDialog* window = page->GetWindow();
    window->MoveWindow(GetPageRect());
    NotifyPage(index, PSN_SETACTIVE);
    if (window->GetSafeHwnd())
        window->ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CPropertySheet::SetCurSel(int index)
{
    if (index < 0 || index >= GetPageCount() || m_closed)
        return FALSE;
    if (index == m_current && GetCurrentPage())
        return TRUE;
    // A page that refuses to be left (invalid entries) keeps the sheet on it.
    if (m_current >= 0 && NotifyPage(m_current, PSN_KILLACTIVE) != 0)
        return FALSE;
    return ShowPage(index);
}

BOOL CPropertySheet::IsDialogMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN || GetPageCount() == 0 || GetKeyState(VK_CONTROL) >= 0)
        return FALSE;
    int step = 0;
    switch (static_cast<UINT>(msg->wParam)) {
    case VK_TAB: step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1; break;
    case VK_PRIOR: step = -1; break;
    case VK_NEXT: step = 1; break;
    default: return FALSE;
    }
    const int count = GetPageCount();
    SetCurSel(((m_current < 0 ? 0 : m_current) + step + count) % count);
    return TRUE;
}

BOOL CPropertySheet::ApplyAll()
{
    if (m_current >= 0 && NotifyPage(m_current, PSN_KILLACTIVE) != 0)
        return FALSE;
    for (int i = 0; i < GetPageCount(); ++i) {
        const LRESULT answer = NotifyPage(i, PSN_APPLY);
        if (answer == PSNRET_INVALID || answer == PSNRET_INVALID_NOCHANGEPAGE) {
            if (i != m_current)
                ShowPage(i);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CPropertySheet::OnCommand(UINT id)
{
    switch (id) {
    case IDOK:
        if (ApplyAll())
            m_closed = TRUE;
        return TRUE;
    case IDCANCEL:
        if (m_current >= 0 && NotifyPage(m_current, PSN_QUERYCANCEL) != 0)
            return TRUE;
        for (int i = 0; i < GetPageCount(); ++i)
            NotifyPage(i, PSN_RESET);
        m_closed = TRUE;
        return TRUE;
    case ID_APPLY_NOW: ApplyAll(); return TRUE;
    case IDHELP: NotifyPage(m_current, PSN_HELP); return TRUE;
    default: return FALSE;
    }
}

BOOL CPropertySheet::DefSheetProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    LRESULT local = 0;
    if (!result)
        result = &local;
    switch (message) {
    case PSM_SETCURSEL: {
        int index = static_cast<int>(wParam);
        if (lParam)
            for (int i = 0; i < GetPageCount(); ++i)
                if (m_pages[static_cast<size_t>(i)].get() == reinterpret_cast<CPropertyPage*>(lParam))
                    index = i;
        *result = SetCurSel(index);
        return TRUE;
    }
    case PSM_ADDPAGE: *result = AddPage(reinterpret_cast<CPropertyPage*>(lParam)); return TRUE;
    case PSM_GETCURRENTPAGEHWND: *result = reinterpret_cast<LRESULT>(GetCurrentPage()); return TRUE;
    case PSM_GETTABCONTROL: *result = reinterpret_cast<LRESULT>(GetTabControl()); return TRUE;
    case PSM_ISDIALOGMESSAGE: *result = IsDialogMessage(reinterpret_cast<const MSG*>(lParam)); return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || header->code != TCN_SELCHANGE || header->idFrom != AFX_IDC_TAB_CONTROL)
            return FALSE;
        CTabCtrl* tabs = GetTabControl();
        const int wanted = tabs ? tabs->GetCurSel() : -1;
        if (wanted != m_current && !SetCurSel(wanted) && tabs)
            tabs->SetCurSel(m_current);  // refused: the tab goes back
        *result = 0;
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(static_cast<DWORD>(wParam)) != BN_CLICKED)
            return FALSE;
        if (!OnCommand(LOWORD(static_cast<DWORD>(wParam))))
            return FALSE;
        *result = 0;
        return TRUE;
    default: return FALSE;
    }
}
