// CTreeCtrl: a tree of text items with buttons, lines and optional check
// boxes. An item handle stays valid until the item is deleted.
#pragma once

#include "ControlTypes.h"
#include "Wnd.h"

class CTreeCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id);

    HTREEITEM InsertItem(LPCSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();
    UINT GetCount() const;
    CString GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, LPCSTR text);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);

    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetSelectedItem() const;
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    BOOL ItemHasChildren(HTREEITEM item) const;

    BOOL Expand(HTREEITEM item, UINT code);
    BOOL IsExpanded(HTREEITEM item) const;
    BOOL SelectItem(HTREEITEM item);
    BOOL EnsureVisible(HTREEITEM item);
    SHORT GetItemHeight() const;
    BOOL GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const;
    HTREEITEM HitTest(CPoint point, UINT* flags = nullptr) const;
    BOOL SetCheck(HTREEITEM item, BOOL check = TRUE);
    BOOL GetCheck(HTREEITEM item) const;
};
