// CListCtrl in report view: columns, rows with item data, selection and focus
// states, check boxes (LVS_EX_CHECKBOXES), and per-cell colours chosen by the
// parent through NM_CUSTOMDRAW.
#pragma once

#include "ControlTypes.h"
#include "HeaderCtrl.h"
#include "Wnd.h"

class CImageList;

using PFNLVCOMPARE = int (*)(LPARAM item1, LPARAM item2, LPARAM sortData);

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    DWORD SetExtendedStyle(DWORD exStyle);
    DWORD GetExtendedStyle() const;

    int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int column);
    int GetColumnCount() const;
    BOOL SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    CHeaderCtrl* GetHeaderCtrl();

    int InsertItem(int index, LPCSTR text);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    BOOL SetItemText(int item, int subItem, LPCSTR text);
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    BOOL SetCheck(int item, BOOL check = TRUE);
    BOOL GetCheck(int item) const;
    int GetNextItem(int start, UINT flags) const;
    int GetSelectedCount() const;
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& position) const;
    BOOL EnsureVisible(int item, BOOL partialOk);
    int GetTopIndex() const;
    int GetCountPerPage() const;
    BOOL GetItemRect(int item, LPRECT rect, UINT code) const;
    BOOL GetSubItemRect(int item, int subItem, UINT code, CRect& rect) const;
    int HitTest(CPoint point, UINT* flags = nullptr) const;
    int SubItemHitTest(LVHITTESTINFO* info) const;
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR sortData);
    // As SortItems, but the comparison is given the rows' indices before the sort.
    BOOL SortItemsEx(PFNLVCOMPARE compare, DWORD_PTR sortData);
    BOOL Scroll(CSize size);

    // Items with their image and item data, columns with their format (ListCtrlItems.cpp).
    BOOL SetItem(const LVITEM* item);
    BOOL GetItem(LVITEM* item) const;
    BOOL GetColumn(int column, LVCOLUMN* info) const;
    // The list does not own the image lists; a cell shows its image from the small one.
    CImageList* SetImageList(CImageList* images, int kind);
    CImageList* GetImageList(int kind) const;
    // The colour behind the rows and the empty part of the list.
    BOOL SetBkColor(COLORREF color);

private:
    CHeaderCtrl* m_header = nullptr;
    CImageList* m_imageLists[3] = {nullptr, nullptr, nullptr};
};
