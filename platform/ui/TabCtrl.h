// CTabCtrl: a row of tabs; a user's change of tab sends TCN_SELCHANGE.
#pragma once

#include "Wnd.h"

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int InsertItem(int index, LPCSTR text);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    CString GetItemText(int index) const;
    BOOL SetItemText(int index, LPCSTR text);
    BOOL GetItemRect(int index, LPRECT rect) const;
};
