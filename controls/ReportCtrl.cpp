#include "ReportCtrl.h"

#include <algorithm>
#include <vector>

#include "ReportSortOrder.h"

namespace {
constexpr DWORD kEditStyle = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL;
constexpr DWORD kReportExStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
constexpr COLORREF kEvenStripe = 0xF0FAF0;
constexpr COLORREF kOddStripe = 0xFFFFFF;
constexpr COLORREF kHighlightText = 0x00FF00;
constexpr COLORREF kHighlightBack = 0x0000FF;
}  // namespace

struct CReportCtrl::RowSnapshot {
    DWORD state = 0;
    DWORD_PTR data = 0;
    std::vector<int> images;
    std::vector<CString> texts;
};

BEGIN_MESSAGE_MAP(CReportCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, &CReportCtrl::OnColumnClick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CReportCtrl::OnCustomDraw)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    KV_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
    KV_MOUSE_ENTRY(WM_MBUTTONDBLCLK, OnMButtonDblClk)
    ON_WM_RBUTTONDOWN()
    KV_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
    // The presses are handled in full here; their releases must not act a second time.
    KV_MOUSE_ENTRY(WM_LBUTTONUP, OnButtonUp)
    KV_MOUSE_ENTRY(WM_MBUTTONUP, OnButtonUp)
    KV_MOUSE_ENTRY(WM_RBUTTONUP, OnButtonUp)
END_MESSAGE_MAP()

CReportCtrl::CReportCtrl() : m_edit(new CEdit) {}

CReportCtrl::~CReportCtrl()
{
    // The window may outlive this object only as a dialog's control: free the rows' records now.
    if (GetSafeHwnd()) {
        m_editRow = m_editColumn = -1;
        DeleteAllItems();
    }
    delete m_edit;
}

// ---------------------------------------------------------------------------
// Creation and styles.

BOOL CReportCtrl::CreateReport(CWnd* parent, UINT id, LPCRECT rect, DWORD style)
{
    CRect where;
    if (rect)
        where = *rect;
    else if (parent)
        parent->GetClientRect(&where);
    return Create(ForcedStyle(style), where, parent, id);
}

BOOL CReportCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style = static_cast<LONG>(ForcedStyle(static_cast<DWORD>(cs.style)));
    return CListCtrl::PreCreateWindow(cs);
}

int CReportCtrl::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    SetExtendedStyle(GetExtendedStyle() | kReportExStyle);
    return 0;
}

void CReportCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    ModifyStyle(0xFFFFFFFF, ForcedStyle(GetStyle()));
    SetExtendedStyle(kReportExStyle);
}

void CReportCtrl::OnDestroy()
{
    m_editRow = m_editColumn = -1;
    DeleteAllItems();
    if (m_edit->GetSafeHwnd())
        m_edit->DestroyWindow();
    SetImageList(nullptr, LVSIL_SMALL);
    SetImageList(nullptr, LVSIL_STATE);
    m_imageSmall.DeleteImageList();
    m_imageState.DeleteImageList();
    CWnd::OnDestroy();
}

BOOL CReportCtrl::CanEditSubItem(int /*row*/, int /*column*/) { return TRUE; }

void CReportCtrl::OnEndEdit(int /*row*/, int /*column*/, CString /*text*/, BOOL /*changed*/) {}

// ---------------------------------------------------------------------------
// Rows and columns.

REPORTITEMDATA* CReportCtrl::RecordOf(int row) const
{
    return IsRowInList(row) ? reinterpret_cast<REPORTITEMDATA*>(CListCtrl::GetItemData(row)) : nullptr;
}

void CReportCtrl::ClearSortMark()
{
    m_sortColumn = -1;
    m_sortAscending = TRUE;
}

LRESULT CReportCtrl::SendToParent(UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* parent = GetParent();
    return parent ? parent->SendMessage(message, wParam, lParam) : 0;
}

int CReportCtrl::InsertItem(int row, LPCSTR text)
{
    EndEdit(TRUE);
    ClearSortMark();
    const int index = CListCtrl::InsertItem(row, text);
    if (index < 0)
        return -1;
    auto* record = new REPORTITEMDATA;
    const int columns = GetColumnCount();
    record->aTextColors.SetSize(columns);
    record->aBkColors.SetSize(columns);
    for (int c = 0; c < columns; ++c) {
        record->aTextColors[c] = GetSysColor(COLOR_WINDOWTEXT);
        record->aBkColors[c] = GetSysColor(COLOR_WINDOW);
    }
    CListCtrl::SetItemData(index, reinterpret_cast<DWORD_PTR>(record));
    return index;
}

void CReportCtrl::UpdateItemColorColumns(int column, BOOL insert)
{
    for (int row = 0; row < GetItemCount(); ++row) {
        REPORTITEMDATA* record = RecordOf(row);
        if (!record)
            continue;
        if (insert) {
            record->aTextColors.InsertAt(column, GetSysColor(COLOR_WINDOWTEXT));
            record->aBkColors.InsertAt(column, GetSysColor(COLOR_WINDOW));
        } else if (column < record->aTextColors.GetSize()) {
            record->aTextColors.RemoveAt(column);
            record->aBkColors.RemoveAt(column);
        }
    }
}

int CReportCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int subItem)
{
    EndEdit(TRUE);
    const int index = CListCtrl::InsertColumn(column, heading, format, width, subItem);
    if (index >= 0)
        UpdateItemColorColumns(index, TRUE);
    return index;
}

BOOL CReportCtrl::DeleteColumn(int column)
{
    EndEdit(TRUE);
    if (!CListCtrl::DeleteColumn(column))
        return FALSE;
    UpdateItemColorColumns(column, FALSE);
    return TRUE;
}

BOOL CReportCtrl::DeleteItem(int row)
{
    if (!IsRowInList(row))
        return FALSE;
    EndEdit(m_editRow != row);
    REPORTITEMDATA* record = RecordOf(row);
    if (!CListCtrl::DeleteItem(row))
        return FALSE;
    delete record;
    if (m_highlighted == row)
        m_highlighted = -1;
    else if (m_highlighted > row)
        --m_highlighted;
    return TRUE;
}

int CReportCtrl::DeleteAllItems()
{
    EndEdit(FALSE);
    const int count = GetItemCount();
    SetRedraw(FALSE);
    // The records go after the rows: the parent, told of the deletion, still
    // finds valid records, and no row is rewritten one by one before it goes.
    std::vector<REPORTITEMDATA*> records(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        records[static_cast<size_t>(row)] = RecordOf(row);
    CListCtrl::DeleteAllItems();
    for (REPORTITEMDATA* record : records)
        delete record;
    SetRedraw(TRUE);
    m_highlighted = -1;
    return count;
}

BOOL CReportCtrl::DeleteAllColumns()
{
    while (GetColumnCount() > 0) {
        EndEdit(TRUE);
        if (!CListCtrl::DeleteColumn(0))
            break;
        UpdateItemColorColumns(0, FALSE);
    }
    return TRUE;
}

BOOL CReportCtrl::SetItemText(int row, int column, LPCSTR text)
{
    EndEdit(TRUE);
    ClearSortMark();
    return CListCtrl::SetItemText(row, column, text);
}

BOOL CReportCtrl::SetItemData(int row, DWORD_PTR data)
{
    REPORTITEMDATA* record = RecordOf(row);
    if (!record)
        return FALSE;
    record->dwData = static_cast<DWORD>(data);
    return TRUE;
}

BOOL CReportCtrl::SetItemInt(int row, int column, int value)
{
    CString text;
    text.Format("%d", value);
    return SetItemText(row, column, text);
}

BOOL CReportCtrl::SetItemDateTime(int row, int column, const COleDateTime& value)
{
    return SetItemText(row, column, value.GetStatus() == COleDateTime::valid ? value.Format() : CString());
}

CReportCtrl::RowSnapshot CReportCtrl::TakeSnapshot(int row) const
{
    RowSnapshot snapshot;
    snapshot.state = GetItemStates(row);
    snapshot.data = CListCtrl::GetItemData(row);
    for (int c = 0; c < std::max(1, GetColumnCount()); ++c) {
        LVITEM item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iSubItem = c;
        GetItem(&item);
        snapshot.images.push_back(item.iImage);
        snapshot.texts.push_back(CListCtrl::GetItemText(row, c));
    }
    return snapshot;
}

void CReportCtrl::RestoreSnapshot(int row, const RowSnapshot& snapshot)
{
    for (size_t c = 0; c < snapshot.texts.size(); ++c) {
        CListCtrl::SetItemText(row, static_cast<int>(c), snapshot.texts[c]);
        LVITEM item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iSubItem = static_cast<int>(c);
        item.iImage = snapshot.images[c];
        SetItem(&item);
    }
    CListCtrl::SetItemData(row, snapshot.data);
    SetItemStates(row, snapshot.state);
    if (snapshot.state & RC_ITEM_CHECKED)
        UncheckFollowingItems(row);
}

int CReportCtrl::MoveItem(int from, int to)
{
    if (!IsRowInList(from))
        return -1;
    EndEdit(TRUE);
    to = std::clamp(to, 0, GetItemCount() - 1);
    if (to == from)
        return to;
    ClearSortMark();
    const RowSnapshot snapshot = TakeSnapshot(from);
    CListCtrl::SetItemData(from, 0);
    CListCtrl::DeleteItem(from);
    CListCtrl::InsertItem(to, "");
    RestoreSnapshot(to, snapshot);
    if (m_highlighted == from)
        m_highlighted = to;
    return to;
}

// ---------------------------------------------------------------------------
// Sorting.

BOOL CReportCtrl::IsSortable() const
{
    // Header items are buttons unless the list says they are not.
    return (GetStyle() & (LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER)) == 0;
}

BOOL CReportCtrl::SortItems(int column, BOOL ascending)
{
    if (!IsColumnInList(column) || !IsSortable())
        return FALSE;
    // An open edit belongs to a row that is about to move.
    EndEdit(TRUE);
    SendToParent(WM_REPORT_CHANGED, static_cast<WPARAM>(m_sortColumn), m_sortAscending);
    m_sortColumn = column;
    m_sortAscending = ascending ? TRUE : FALSE;
    SortRange(0, GetItemCount() - 1);
    SendToParent(WM_REPORT_SORTED, static_cast<WPARAM>(m_sortColumn), m_sortAscending);
    return TRUE;
}

namespace {
// Hoare quicksort of row indices, as the grid has always ordered its rows.
template <class Compare>
void QuickSortIndices(std::vector<int>& v, int low, int high, bool ascending, const Compare& compare)
{
    while (low < high) {
        int i = low;
        int j = high;
        const int pivot = v[static_cast<size_t>((low + high) / 2)];
        do {
            if (ascending) {
                while (compare(v[static_cast<size_t>(i)], pivot) < 0) ++i;
                while (compare(v[static_cast<size_t>(j)], pivot) > 0) --j;
            } else {
                while (compare(v[static_cast<size_t>(i)], pivot) > 0) ++i;
                while (compare(v[static_cast<size_t>(j)], pivot) < 0) --j;
            }
            if (j < i)
                break;
            if (i != j)
                std::swap(v[static_cast<size_t>(i)], v[static_cast<size_t>(j)]);
            ++i;
            --j;
        } while (i <= j);
        if (low < j)
            QuickSortIndices(v, low, j, ascending, compare);
        low = i;
    }
}

// The rows' new places, by their places before the sort.
int CALLBACK_ByNewPlace(LPARAM a, LPARAM b, LPARAM data)
{
    const auto& place = *reinterpret_cast<const std::vector<int>*>(data);
    const int pa = place[static_cast<size_t>(a)];
    const int pb = place[static_cast<size_t>(b)];
    return pa < pb ? -1 : (pa > pb ? 1 : 0);
}
}  // namespace

void CReportCtrl::SortRange(int low, int high)
{
    const int count = GetItemCount();
    low = std::max(low, 0);
    high = std::min(high, count - 1);
    if (low >= high)
        return;
    std::vector<CString> cells(static_cast<size_t>(count));
    for (int row = low; row <= high; ++row)
        cells[static_cast<size_t>(row)] = CListCtrl::GetItemText(row, m_sortColumn);
    const std::vector<CString> range(cells.begin() + low, cells.begin() + high + 1);
    const CReportSortOrder order(range);
    std::vector<int> v;
    for (int row = low; row <= high; ++row)
        v.push_back(row);
    QuickSortIndices(v, 0, static_cast<int>(v.size()) - 1, m_sortAscending != FALSE, [&](int a, int b) {
        return order.Compare(static_cast<size_t>(a - low), static_cast<size_t>(b - low));
    });
    // Rows travel whole (texts, images, data, check box); selection and focus go with them.
    std::vector<DWORD> states(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        states[static_cast<size_t>(row)] = GetItemStates(row);
    std::vector<int> newPlace(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        newPlace[static_cast<size_t>(row)] = row;
    for (size_t k = 0; k < v.size(); ++k)
        newPlace[static_cast<size_t>(v[k])] = low + static_cast<int>(k);
    const int highlightedRow = m_highlighted;
    CListCtrl::SortItemsEx(&CALLBACK_ByNewPlace, reinterpret_cast<DWORD_PTR>(&newPlace));
    for (size_t k = 0; k < v.size(); ++k) {
        const int to = low + static_cast<int>(k);
        const DWORD before = states[static_cast<size_t>(v[k])];
        if (GetItemStates(to) != before)
            SetItemStates(to, before & (RC_ITEM_SELECTED | RC_ITEM_UNSELECTED | RC_ITEM_FOCUSED | RC_ITEM_UNFOCUSED));
    }
    if (IsRowInList(highlightedRow))
        m_highlighted = newPlace[static_cast<size_t>(highlightedRow)];
}

void CReportCtrl::OnColumnClick(NMHDR* header, LRESULT* result)
{
    const auto* note = reinterpret_cast<NMLISTVIEW*>(header);
    EndEdit(TRUE);
    const int column = note->iSubItem;
    SortItems(column, !(column == m_sortColumn && m_sortAscending));
    *result = 0;
}

// ---------------------------------------------------------------------------
// In-place editing.

BOOL CReportCtrl::IsEditing() const
{
    return m_bEditable && IsRowInList(m_editRow) && IsColumnInList(m_editColumn);
}

void CReportCtrl::SetColumnReadOnly(int column)
{
    if (!m_readOnlyColumns.Find(column))
        m_readOnlyColumns.AddTail(column);
}

BOOL CReportCtrl::IsColumnReadOnly(int column) const { return m_readOnlyColumns.Find(column) != nullptr; }

BOOL CReportCtrl::EditSubItem(int column, int row)
{
    if (!m_bEditable || !IsRowInList(row) || !IsColumnInList(column) || IsColumnReadOnly(column))
        return FALSE;
    if (IsEditing() && m_editRow == row && m_editColumn == column)
        return TRUE;
    if (!CanEditSubItem(row, column))
        return FALSE;
    EndEdit(TRUE);
    m_editRow = row;
    m_editColumn = column;
    SetAllItemStates(RC_ITEM_SELECTED, RC_ITEM_UNSELECTED);
    SetItemStates(row, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);

    int alignment = 0;
    if (!(GetStyle() & LVS_NOCOLUMNHEADER)) {
        LVCOLUMN info{};
        info.mask = LVCF_FMT;
        GetColumn(column, &info);
        const int format = info.fmt & LVCFMT_JUSTIFYMASK;
        alignment = format == LVCFMT_CENTER ? 1 : format == LVCFMT_RIGHT ? 2 : 0;
    }
    if (alignment != m_editAlignment && m_edit->GetSafeHwnd())
        m_edit->DestroyWindow();
    if (!m_edit->GetSafeHwnd()) {
        const DWORD align = alignment == 1 ? ES_CENTER : alignment == 2 ? ES_RIGHT : ES_LEFT;
        if (!m_edit->Create(align | kEditStyle, CRect(0, 0, 0, 0), this, 0)) {
            m_editRow = m_editColumn = -1;
            return FALSE;
        }
        m_editAlignment = alignment;
    }
    m_edit->SetFont(GetFont());
    CRect cell;
    GetSubItemRect(row, column, LVIR_LABEL, cell);
    if (column != 0 && GetImageList(LVSIL_SMALL)) {
        LVITEM item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iSubItem = column;
        if (GetItem(&item) && item.iImage >= 0)
            cell.left += 16;
    }
    m_edit->MoveWindow(&cell);
    m_edit->SetWindowText(CListCtrl::GetItemText(row, column));
    m_edit->ShowWindow(SW_SHOW);
    m_edit->BringWindowToTop();
    m_edit->SetSel(0, -1);
    m_edit->SetFocus();
    return TRUE;
}

BOOL CReportCtrl::EndEdit(BOOL commit)
{
    if (!IsEditing() || m_ending)
        return FALSE;
    m_ending = true;
    const int row = m_editRow;
    const int column = m_editColumn;
    CString text;
    m_edit->GetWindowText(text);
    const BOOL changed = commit && text != CListCtrl::GetItemText(row, column) ? TRUE : FALSE;
    if (changed) {
        CListCtrl::SetItemText(row, column, text);
        ClearSortMark();
        SendToParent(WM_REPORT_CHANGED, static_cast<WPARAM>(row), column);
    }
    // The keyboard stays with the grid rather than wandering to the next control.
    const bool hadFocus = CWnd::GetFocus() == m_edit;
    m_edit->ShowWindow(SW_HIDE);
    if (hadFocus)
        SetFocus();
    OnEndEdit(row, column, text, changed);
    m_editRow = m_editColumn = -1;
    m_ending = false;
    return changed;
}

BOOL CReportCtrl::PreTranslateMessage(MSG* msg)
{
    // Only the grid's own keys: an editor window of a derived grid types its spaces and tabs.
    if (msg->message != WM_KEYDOWN || (msg->hwnd != this && msg->hwnd != m_edit))
        return CListCtrl::PreTranslateMessage(msg);
    const auto key = static_cast<UINT>(msg->wParam);
    if (!IsEditing())
        return key == VK_SPACE ? TRUE : CListCtrl::PreTranslateMessage(msg);
    const int row = m_editRow;
    const int column = m_editColumn;
    switch (key) {
    case VK_TAB: {
        EndEdit(TRUE);
        const int next = column + 1 < GetColumnCount() ? column + 1 : 0;
        EditSubItem(next, row);
        return TRUE;
    }
    case VK_RETURN:
        EndEdit(TRUE);
        return TRUE;
    case VK_ESCAPE:
        EndEdit(FALSE);
        return TRUE;
    case VK_UP:
        if (row <= 0)
            break;
        EndEdit(TRUE);
        EditSubItem(column, row - 1);
        EnsureVisible(row - 1, FALSE);
        return TRUE;
    case VK_DOWN:
        if (row >= GetItemCount() - 1)
            break;
        EndEdit(TRUE);
        EditSubItem(column, row + 1);
        EnsureVisible(row + 1, FALSE);
        return TRUE;
    default:
        break;
    }
    return CListCtrl::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------
// Mouse and check boxes.

void CReportCtrl::DefaultButtonHandling(UINT message, const LVHITTESTINFO& hit)
{
    if (CWnd::GetFocus() != this)
        SetFocus();
    const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    const bool right = message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK;
    if (!left && !right)
        return;
    const int row = hit.iItem;
    if (!IsRowInList(row)) {
        if (left)
            SetAllItemStates(RC_ITEM_SELECTED, RC_ITEM_UNSELECTED);
        return;
    }
    for (int other = 0; other < GetItemCount(); ++other)
        if (other != row && (GetItemState(other, LVIS_SELECTED) & LVIS_SELECTED))
            SetItemState(other, 0, LVIS_SELECTED);
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (left && (hit.flags & LVHT_ONITEMSTATEICON) && (GetExtendedStyle() & LVS_EX_CHECKBOXES))
        SetCheck(row, !GetCheck(row));
    NMITEMACTIVATE note{};
    note.hdr.hwndFrom = this;
    note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    note.hdr.code = message == WM_LBUTTONDBLCLK ? NM_DBLCLK : left ? NM_CLICK : NM_RCLICK;
    note.iItem = row;
    note.iSubItem = hit.iSubItem;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&note));
}

void CReportCtrl::OnButton(UINT message, UINT /*flags*/, CPoint point)
{
    LVHITTESTINFO hit{};
    hit.pt = point;
    SubItemHitTest(&hit);
    const int row = hit.iItem;
    const BOOL checkedBefore = IsRowInList(row) ? GetCheck(row) : FALSE;
    const BOOL wasEditing = IsEditing();
    const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    const bool selectedAndFocused =
        left && IsRowInList(row) &&
        GetItemState(row, LVIS_SELECTED | LVIS_FOCUSED) == (LVIS_SELECTED | LVIS_FOCUSED);
    EndEdit(TRUE);
    DefaultButtonHandling(message, hit);
    const BOOL checkedAfter = IsRowInList(row) ? GetCheck(row) : FALSE;
    OnCheckChange(checkedBefore, row, checkedAfter, message);
    if (left && m_bEditable && checkedBefore == checkedAfter && !wasEditing && selectedAndFocused)
        EditSubItem(hit.iSubItem, row);
}

void CReportCtrl::OnCheckChange(BOOL before, int row, BOOL after, UINT mouseMessage)
{
    if (!IsRowInList(row) || m_checkStyle == RC_CHKSTYLE_IGNORE || before == after)
        return;
    if (m_checkStyle == RC_CHKSTYLE_LOCKED) {
        SetCheck(row, before);
        return;
    }
    if (m_checkStyle == RC_CHKSTYLE_SINGLE && after) {
        SetAllItemStates(RC_ITEM_CHECKED, RC_ITEM_UNCHECKED);
        SetCheck(row, TRUE);
        UncheckFollowingItems(row);
    }
    SetAllItemStates(RC_ITEM_SELECTED, RC_ITEM_UNSELECTED);
    SetItemStates(row, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    SendToParent(WM_REPORT_CHECKCHANGED, static_cast<WPARAM>(row), static_cast<LPARAM>(mouseMessage));
}

// ---------------------------------------------------------------------------
// Row states.

DWORD CReportCtrl::GetItemStates(int row) const
{
    if (!IsRowInList(row))
        return 0;
    const UINT state = GetItemState(row, LVIS_SELECTED | LVIS_FOCUSED);
    DWORD word = (state & LVIS_SELECTED) ? RC_ITEM_SELECTED : RC_ITEM_UNSELECTED;
    word |= GetCheck(row) ? RC_ITEM_CHECKED : RC_ITEM_UNCHECKED;
    word |= (state & LVIS_FOCUSED) ? RC_ITEM_FOCUSED : RC_ITEM_UNFOCUSED;
    return word;
}

BOOL CReportCtrl::SetItemStates(int row, DWORD command)
{
    if (!IsRowInList(row))
        return FALSE;
    BOOL ok = TRUE;
    if (command & RC_ITEM_UNSELECTED) ok = SetItemState(row, 0, LVIS_SELECTED) && ok;
    if (command & RC_ITEM_SELECTED) ok = SetItemState(row, LVIS_SELECTED, LVIS_SELECTED) && ok;
    if (command & RC_ITEM_UNCHECKED) ok = SetCheck(row, FALSE) && ok;
    if (command & RC_ITEM_CHECKED) ok = SetCheck(row, TRUE) && ok;
    if (command & RC_ITEM_UNFOCUSED) ok = SetItemState(row, 0, LVIS_FOCUSED) && ok;
    if (command & RC_ITEM_FOCUSED) ok = SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED) && ok;
    return ok;
}

int CReportCtrl::SetAllItemStates(DWORD filter, DWORD command)
{
    if (filter == 0)
        return 0;
    int changed = 0;
    for (int row = 0; row < GetItemCount(); ++row) {
        if (!(filter & 1) && (GetItemStates(row) & filter) != filter)
            continue;
        SetItemStates(row, command);
        if (command & RC_ITEM_CHECKED)
            UncheckFollowingItems(row);
        ++changed;
    }
    if ((command & RC_ITEM_CHECKED) && m_checkStyle == RC_CHKSTYLE_SINGLE)
        UncheckFollowingItems(-1);
    return changed;
}

int CReportCtrl::FindFirstCheckedItem() const
{
    for (int row = 0; row < GetItemCount(); ++row)
        if (GetCheck(row))
            return row;
    return -1;
}

void CReportCtrl::UncheckFollowingItems(int row)
{
    if (m_checkStyle != RC_CHKSTYLE_SINGLE)
        return;
    if (row < 0)
        row = FindFirstCheckedItem();
    if (row < 0)
        return;
    for (int next = row + 1; next < GetItemCount(); ++next)
        if (GetCheck(next))
            SetCheck(next, FALSE);
}

// ---------------------------------------------------------------------------
// Colours.

void CReportCtrl::SetCellColor(bool text, int column, int row, COLORREF color)
{
    if (color == static_cast<COLORREF>(-1))
        color = GetSysColor(text ? COLOR_WINDOWTEXT : COLOR_WINDOW);
    const bool oneRow = IsRowInList(row);
    const bool oneColumn = IsColumnInList(column);
    const int firstRow = oneRow ? row : 0;
    const int lastRow = oneRow ? row : GetItemCount() - 1;
    const int firstColumn = oneColumn ? column : 0;
    const int lastColumn = oneColumn ? column : GetColumnCount() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        REPORTITEMDATA* record = RecordOf(r);
        if (!record)
            continue;
        for (int c = firstColumn; c <= lastColumn; ++c)
            (text ? record->aTextColors : record->aBkColors)[c] = color;
    }
}

void CReportCtrl::SetItemTextColor(int column, int row, COLORREF color, BOOL redraw)
{
    SetCellColor(true, column, row, color);
    if (redraw)
        Invalidate();
}

void CReportCtrl::SetItemBkColor(int column, int row, COLORREF color, BOOL redraw)
{
    SetCellColor(false, column, row, color);
    if (redraw)
        Invalidate();
}

COLORREF CReportCtrl::GetItemTextColor(int column, int row) const
{
    const REPORTITEMDATA* record = IsColumnInList(column) ? RecordOf(row) : nullptr;
    return record ? record->aTextColors[column] : static_cast<COLORREF>(-1);
}

COLORREF CReportCtrl::GetItemBkColor(int column, int row) const
{
    const REPORTITEMDATA* record = IsColumnInList(column) ? RecordOf(row) : nullptr;
    return record ? record->aBkColors[column] : static_cast<COLORREF>(-1);
}

void CReportCtrl::SetItemColors(int row, COLORREF text, COLORREF background, BOOL redraw)
{
    // Only a row of the list: an invalid row would mean every row to the cell setters.
    if (!IsRowInList(row))
        return;
    for (int c = 0; c < GetColumnCount(); ++c) {
        SetCellColor(true, c, row, text);
        SetCellColor(false, c, row, background);
    }
    if (redraw)
        Invalidate();
}

void CReportCtrl::StripeRows()
{
    for (int row = 0; row < GetItemCount(); ++row)
        SetCellColor(false, -1, row, row % 2 == 0 ? kEvenStripe : kOddStripe);
    Invalidate();
}

void CReportCtrl::HighlightItem(int row)
{
    if (m_highlighted >= 0 && m_highlighted != row)
        SetItemColors(m_highlighted, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW), FALSE);
    m_highlighted = IsRowInList(row) ? row : -1;
    SetItemColors(m_highlighted, kHighlightText, kHighlightBack, FALSE);
    Invalidate();
}

void CReportCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const REPORTITEMDATA* record = RecordOf(static_cast<int>(draw->nmcd.dwItemSpec));
        if (record && draw->iSubItem >= 0 && draw->iSubItem < record->aTextColors.GetSize()) {
            draw->clrText = record->aTextColors[draw->iSubItem];
            draw->clrTextBk = record->aBkColors[draw->iSubItem];
        }
        *result = CDRF_DODEFAULT;
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
        return;
    }
}

// ---------------------------------------------------------------------------
// Scrolling and widths.

BOOL CReportCtrl::EnsureVisibleCentered(int row)
{
    const int top = GetTopIndex();
    const int lastFull = top + GetCountPerPage() - 1;
    const bool offPage = row < top - 1 || row > lastFull;
    if (!EnsureVisible(row, FALSE))
        return FALSE;
    if (offPage) {
        CRect bounds, client;
        GetItemRect(row, &bounds, LVIR_BOUNDS);
        GetClientRect(&client);
        Scroll(CSize(0, bounds.top - (client.top + client.bottom) / 2));
    }
    return TRUE;
}

void CReportCtrl::FitFirstColumn()
{
    CRect client;
    GetClientRect(&client);
    int others = 0;
    for (int c = 1; c < GetColumnCount(); ++c)
        others += GetColumnWidth(c);
    SetColumnWidth(0, std::max(100, static_cast<int>(client.Width()) - others));
}
