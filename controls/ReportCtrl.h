// CReportCtrl: the program's grid. A report-view list with in-place editing of
// any cell, per-cell colours, read-only columns, check-box rules, sorting by a
// clicked column with a type-aware order, row moves, stripes and a highlight.
// It tells its parent of changes by three private messages only.
#pragma once

#include "platform/core/Array.h"
#include "platform/core/DateTime.h"
#include "platform/core/List.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListCtrl.h"

// Sent to the parent: wParam row, lParam the mouse message that changed the row's check box.
constexpr UINT WM_REPORT_CHECKCHANGED = 0xA710;
// Sent to the parent after a sort: wParam new sort column, lParam ascending.
constexpr UINT WM_REPORT_SORTED = 0xA711;
// Sent to the parent before a sort (previous column, previous ascending) and
// after a committed cell edit that changed the text (row, column).
constexpr UINT WM_REPORT_CHANGED = 0xA712;

// Row state words: one bit of each pair when read; as a command each bit asks for the change.
constexpr DWORD RC_ITEM_SELECTED = 0x02;
constexpr DWORD RC_ITEM_UNSELECTED = 0x04;
constexpr DWORD RC_ITEM_CHECKED = 0x08;
constexpr DWORD RC_ITEM_UNCHECKED = 0x10;
constexpr DWORD RC_ITEM_FOCUSED = 0x20;
constexpr DWORD RC_ITEM_UNFOCUSED = 0x40;

// Check styles.
constexpr int RC_CHKSTYLE_IGNORE = 0;
constexpr int RC_CHKSTYLE_NORMAL = 1;
constexpr int RC_CHKSTYLE_SINGLE = 2;
constexpr int RC_CHKSTYLE_LOCKED = 3;

// The per-row record kept as the row's item data; owners keep their own value in dwData.
struct REPORTITEMDATA {
    DWORD dwData = 0;
    CArray<COLORREF, COLORREF> aTextColors;
    CArray<COLORREF, COLORREF> aBkColors;
};

class CReportCtrl : public CListCtrl {
public:
    CReportCtrl();
    ~CReportCtrl() override;

    virtual BOOL CreateReport(CWnd* parent, UINT id, LPCRECT rect = nullptr, DWORD style = 0);
    virtual BOOL CanEditSubItem(int row, int column);
    virtual void OnEndEdit(int row, int column, CString text, BOOL changed);

    int InsertItem(int row, LPCSTR text);
    int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int column);
    BOOL DeleteItem(int row);
    int DeleteAllItems();
    BOOL DeleteAllColumns();
    BOOL SetItemText(int row, int column, LPCSTR text);
    // A row's item data is its record; the owner's value goes into the record's first field.
    BOOL SetItemData(int row, DWORD_PTR data);
    BOOL SetItemInt(int row, int column, int value);
    BOOL SetItemDateTime(int row, int column, const COleDateTime& value);
    int MoveItem(int from, int to);
    BOOL SortItems(int column, BOOL ascending);
    BOOL IsSortable() const;
    int GetSortColumn() const { return m_sortColumn; }
    BOOL IsSortAscending() const { return m_sortAscending; }

    BOOL EditSubItem(int column, int row);
    BOOL EndEdit(BOOL commit);
    BOOL IsEditing() const;
    int GetEditRow() const { return m_editRow; }
    int GetEditColumn() const { return m_editColumn; }
    CEdit* GetEditBox() const { return m_edit; }
    void SetColumnReadOnly(int column);
    BOOL IsColumnReadOnly(int column) const;
    int GetColumnCount() const { return CListCtrl::GetColumnCount(); }

    DWORD GetItemStates(int row) const;
    BOOL SetItemStates(int row, DWORD command);
    int SetAllItemStates(DWORD filter, DWORD command);
    int FindFirstCheckedItem() const;
    void UncheckFollowingItems(int row);

    void SetItemTextColor(int column, int row, COLORREF color, BOOL redraw = TRUE);
    void SetItemBkColor(int column, int row, COLORREF color, BOOL redraw = TRUE);
    COLORREF GetItemTextColor(int column, int row) const;
    COLORREF GetItemBkColor(int column, int row) const;
    void SetItemColors(int row, COLORREF text, COLORREF background, BOOL redraw = TRUE);
    void StripeRows();
    void HighlightItem(int row);
    int GetHighlightedItem() const { return m_highlighted; }
    BOOL EnsureVisibleCentered(int row);
    void FitFirstColumn();

    // The owned image lists; an owner fills them and attaches them with SetImageList.
    CImageList m_imageSmall;
    CImageList m_imageState;

    BOOL m_bEditable = FALSE;
    int m_checkStyle = RC_CHKSTYLE_NORMAL;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnColumnClick(NMHDR* header, LRESULT* result);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnLButtonDown(UINT flags, CPoint point) { OnButton(WM_LBUTTONDOWN, flags, point); }
    void OnLButtonDblClk(UINT flags, CPoint point) { OnButton(WM_LBUTTONDBLCLK, flags, point); }
    void OnMButtonDown(UINT flags, CPoint point) { OnButton(WM_MBUTTONDOWN, flags, point); }
    void OnMButtonDblClk(UINT flags, CPoint point) { OnButton(WM_MBUTTONDBLCLK, flags, point); }
    void OnRButtonDown(UINT flags, CPoint point) { OnButton(WM_RBUTTONDOWN, flags, point); }
    void OnRButtonDblClk(UINT flags, CPoint point) { OnButton(WM_RBUTTONDBLCLK, flags, point); }
    void OnButtonUp(UINT, CPoint) {}
    virtual void OnButton(UINT message, UINT flags, CPoint point);

    void ClearSortMark();
    LRESULT SendToParent(UINT message, WPARAM wParam, LPARAM lParam);
    REPORTITEMDATA* RecordOf(int row) const;
    BOOL IsRowInList(int row) const { return row >= 0 && row < GetItemCount(); }
    BOOL IsColumnInList(int column) const { return column >= 0 && column < GetColumnCount(); }
    // The list view's own answer to a button press: focus, selection and the check box.
    void DefaultButtonHandling(UINT message, const LVHITTESTINFO& hit);
    void OnCheckChange(BOOL before, int row, BOOL after, UINT mouseMessage);
    void UpdateItemColorColumns(int column, BOOL insert);
    void SortRange(int low, int high);

    DECLARE_MESSAGE_MAP()

private:
    struct RowSnapshot;
    RowSnapshot TakeSnapshot(int row) const;
    void RestoreSnapshot(int row, const RowSnapshot& snapshot);
    void SetCellColor(bool text, int column, int row, COLORREF color);
    static DWORD ForcedStyle(DWORD style) { return (style & ~0x2202u) | 0x50300001u; }

    CList<int, int> m_readOnlyColumns;
    int m_highlighted = -1;
    CEdit* m_edit;
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_editAlignment = 0;
    int m_sortColumn = -1;
    BOOL m_sortAscending = TRUE;
    bool m_ending = false;
};
