#include "DListComboCtrl.h"

#include "InPlaceEdit.h"
#include "InPlaceList.h"
#include "InPlaceTree.h"
#include "platform/ui/DC.h"
#include "platform/ui/Font.h"

namespace {
constexpr DWORD kDropDownStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | CBS_DROPDOWNLIST | CBS_DISABLENOSCROLL;
constexpr DWORD kEditorEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
constexpr int kNarrowestColumn = 10;
constexpr int kDropRows = 6;  // the box and five rows of drop-down
}  // namespace

BEGIN_MESSAGE_MAP(CDListComboCtrl, CReportCtrl)
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT(LVN_BEGINLABELEDIT, &CDListComboCtrl::OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(LVN_ENDLABELEDIT, &CDListComboCtrl::OnEndLabelEdit)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CDListComboCtrl::OnCustomDraw)
END_MESSAGE_MAP()

int CDListComboCtrl::OnCreate(LPCREATESTRUCT cs) { return CReportCtrl::OnCreate(cs); }

CStringList* CDListComboCtrl::GetComboList(int column) const
{
    CStringList* list = nullptr;
    return m_choices.Lookup(column, list) ? list : nullptr;
}

void CDListComboCtrl::SetComboCell(int column, int row)
{
    if (column == -1) {
        m_arrowColumns.RemoveAll();
        m_arrowRows.RemoveAll();
    } else {
        if (!m_arrowColumns.Find(column))
            m_arrowColumns.AddTail(column);
        if (row == -1)
            m_arrowRows.RemoveAll();
        else if (!m_arrowRows.Find(row))
            m_arrowRows.AddTail(row);
    }
    Invalidate();
}

void CDListComboCtrl::SetTreeDropSize(int column, int width, int height)
{
    m_treeDropWidth[column] = width;
    m_treeDropHeight[column] = height;
}

void CDListComboCtrl::LockRow(int row)
{
    if (!m_lockedRows.Find(row))
        m_lockedRows.AddTail(row);
}

BOOL CDListComboCtrl::IsRowLocked(int row) const { return m_lockedRows.Find(row) != nullptr; }

void CDListComboCtrl::SetEditorClosed(BOOL closed)
{
    m_editorClosed = closed;
    Invalidate();
}

// ---------------------------------------------------------------------------

BOOL CDListComboCtrl::CanEditSubItem(int row, int column)
{
    if (!m_callback)
        return FALSE;
    LVITEM item{};
    item.iItem = row;
    item.iSubItem = column;
    return m_callback->CanEditItem(this, &item) != 0;
}

void CDListComboCtrl::OnEndEdit(int row, int column, CString text, BOOL changed)
{
    if (m_callback)
        m_callback->OnItemTextChanged(this, row, column, text, !changed);
}

void CDListComboCtrl::OnButton(UINT message, UINT flags, CPoint point)
{
    if (message != WM_LBUTTONDOWN) {
        CReportCtrl::OnButton(message, flags, point);
        return;
    }
    // Whether the row had the focus counts from before the click gave it the focus.
    LVHITTESTINFO hit{};
    hit.pt = point;
    SubItemHitTest(&hit);
    const int row = hit.iItem;
    const bool hadFocus = IsRowInList(row) && (GetItemState(row, LVIS_FOCUSED) & LVIS_FOCUSED);
    CReportCtrl::OnButton(message, flags, point);
    if (!GetSafeHwnd() || !IsRowInList(row) || IsRowLocked(row))
        return;
    const int column = hit.iSubItem;
    m_editorKind = m_callback ? m_callback->GetColumnEditType(this, row, column) : -1;
    if (!hadFocus) {
        SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return;
    }
    CStringList* choices = GetComboList(column);
    switch (m_editorKind) {
    case LCC_EDIT_LIST:
    case LCC_EDIT_LIST_ALT:
        if (choices)
            ShowInPlaceList(row, column, *choices, m_callback->GetItemSelection(this, row, column));
        break;
    case LCC_EDIT_TREE:
        if (choices)
            ShowInPlaceTree(row, column, *choices, m_callback->GetItemSelection(this, row, column));
        break;
    case LCC_EDIT_TEXT:
        ShowInPlaceEdit(row, column, m_callback->GetItemText(this, row, column));
        break;
    default:
        break;
    }
}

bool CDListComboCtrl::PlaceEditor(int row, int column, CRect& rect)
{
    if (!EnsureVisible(row, TRUE) || !IsColumnInList(column) || GetColumnWidth(column) < kNarrowestColumn)
        return false;
    int x = 0;
    for (int c = 0; c < column; ++c)
        x += GetColumnWidth(c);
    CRect bounds, client;
    GetItemRect(row, &bounds, LVIR_BOUNDS);
    GetClientRect(&client);
    const int rowHeight = bounds.Height();
    if (bounds.left + x < 0 || bounds.left + x > client.right) {
        Scroll(CSize(bounds.left + x, 0));
        GetItemRect(row, &bounds, LVIR_BOUNDS);
    }
    rect.left = bounds.left + x + 4;
    rect.right = std::min(static_cast<int>(client.right), static_cast<int>(rect.left) + GetColumnWidth(column) - 3);
    rect.top = bounds.top;
    rect.bottom = rect.top + kDropRows * rowHeight;
    return true;
}

bool CDListComboCtrl::CreateDropDownEditor(CComboBox* editor, int row, int column)
{
    CRect rect;
    if (!PlaceEditor(row, column, rect) || !editor->Create(kDropDownStyle, rect, this, IDC_INPLACE_LIST))
        return false;
    CRect bounds;
    GetItemRect(row, &bounds, LVIR_BOUNDS);
    // The selection field with its frame is one row high, so the editor never covers the next row.
    editor->SetItemHeight(-1, static_cast<UINT>(std::max(1, bounds.Height() - 3)));
    editor->SetHorizontalExtent(static_cast<UINT>(GetColumnWidth(column)));
    editor->MoveWindow(rect.left, rect.top, rect.Width(), rect.Height());
    editor->BringWindowToTop();
    return true;
}

CInPlaceList* CDListComboCtrl::ShowInPlaceList(int row, int column, const CStringList& strings, int initial)
{
    auto* editor = new CInPlaceList(this, row, column, strings, initial);
    if (!CreateDropDownEditor(editor, row, column)) {
        delete editor;
        return nullptr;
    }
    return editor;
}

CInPlaceTree* CDListComboCtrl::ShowInPlaceTree(int row, int column, const CStringList& strings, int initial)
{
    auto* editor = new CInPlaceTree(this, row, column, strings, initial);
    if (!CreateDropDownEditor(editor, row, column)) {
        delete editor;
        return nullptr;
    }
    int size = 0;
    if (m_treeDropWidth.Lookup(column, size))
        editor->m_dropWidth = size;
    if (m_treeDropHeight.Lookup(column, size))
        editor->m_dropHeight = size;
    SetEditorClosed(FALSE);
    editor->ShowDropDown();
    return editor;
}

CInPlaceEdit* CDListComboCtrl::ShowInPlaceEdit(int row, int column, const char* text)
{
    CRect rect;
    if (!PlaceEditor(row, column, rect))
        return nullptr;
    CRect bounds;
    GetItemRect(row, &bounds, LVIR_BOUNDS);
    rect.bottom = rect.top + bounds.Height();
    auto* editor = new CInPlaceEdit(this, row, column, text);
    if (!editor->Create(kEditorEditStyle, rect, this, IDC_INPLACE_EDIT)) {
        delete editor;
        return nullptr;
    }
    editor->BringWindowToTop();
    return editor;
}

// ---------------------------------------------------------------------------

void CDListComboCtrl::SendEndEdit(UINT editorId, int row, int column, const char* text, int index)
{
    NMLVDISPINFO info{};
    info.hdr.hwndFrom = this;
    info.hdr.idFrom = editorId;
    info.hdr.code = LVN_ENDLABELEDIT;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row;
    info.item.iSubItem = column;
    CString copy = text ? text : "";
    info.item.pszText = text ? copy.GetBuffer(copy.GetLength()) : nullptr;
    info.item.cchTextMax = text ? copy.GetLength() : 0;
    info.item.lParam = index;
    CWnd* parent = GetParent();
    if (parent)
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&info));
    else
        OnChildNotify(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&info), nullptr);
    if (text)
        copy.ReleaseBuffer();
}

void CDListComboCtrl::OnBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    const auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
    *result = IsRowLocked(info->item.iItem) ? TRUE : FALSE;
}

void CDListComboCtrl::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
    const int rejected = m_callback ? m_callback->PreCommitEdit(this, &info->item) : 0;
    const int row = info->item.iItem;
    const int column = info->item.iSubItem;
    if (info->item.pszText && rejected == 0 && IsRowInList(row) && IsColumnInList(column)) {
        const CString text = info->item.pszText;
        const BOOL unchanged = CListCtrl::GetItemText(row, column) == text ? TRUE : FALSE;
        EndEdit(TRUE);
        ClearSortMark();
        CListCtrl::SetItemText(row, column, text);
        if (m_callback) {
            if (m_editorKind == LCC_EDIT_TEXT)
                m_callback->OnItemTextChanged(this, row, column, text, unchanged);
            else if (m_editorKind >= LCC_EDIT_LIST && m_editorKind <= LCC_EDIT_TREE)
                m_callback->OnItemSelectionChanged(this, row, column, static_cast<int>(info->item.lParam), unchanged);
        }
    }
    SetEditorClosed(TRUE);
    *result = 0;
}

void CDListComboCtrl::OnVScroll(UINT /*code*/, UINT /*position*/, CWnd* /*bar*/)
{
    // An open editor loses the focus (and a drop-down list commits) before the cells move.
    if (CWnd::GetFocus() != this)
        SetFocus();
    Default();
}

void CDListComboCtrl::OnHScroll(UINT /*code*/, UINT /*position*/, CWnd* /*bar*/)
{
    if (CWnd::GetFocus() != this)
        SetFocus();
    Default();
}

void CDListComboCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == (CDDS_ITEMPOSTPAINT | CDDS_SUBITEM)) {
        DrawArrow(draw);
        *result = CDRF_DODEFAULT;
        return;
    }
    CReportCtrl::OnCustomDraw(header, result);
    *result |= CDRF_NOTIFYPOSTPAINT;
}

void CDListComboCtrl::DrawArrow(NMLVCUSTOMDRAW* draw)
{
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    const int column = draw->iSubItem;
    if (!m_editorClosed || !m_arrowColumns.Find(column) || (!m_arrowRows.IsEmpty() && !m_arrowRows.Find(row)))
        return;
    CDC* dc = draw->nmcd.hdc;
    if (!dc)
        return;
    const CRect cell(draw->nmcd.rc);
    const int height = (cell.bottom - 1) - (cell.top + 1);
    CRect square(cell.right - 1 - height, cell.top + 1, cell.right - 1, cell.bottom - 1);
    CFont marlett;
    marlett.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(cell.left, cell.top, cell.right, cell.bottom - 1);
    dc->SelectObject(&marlett);
    // On a selected row the glyph sits on the selection's colour, not on the cell's own.
    const bool selected = (draw->nmcd.uItemState & CDIS_SELECTED) != 0;
    const COLORREF ink = selected ? draw->clrText : GetItemTextColor(column, row);
    const COLORREF back = selected ? draw->clrTextBk : GetItemBkColor(column, row);
    dc->SetTextColor(ink);
    dc->SetBkColor(back);
    dc->SetBkMode(OPAQUE);
    dc->FillSolidRect(&square, back);
    dc->DrawText("6", &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->RestoreDC(saved);
}
