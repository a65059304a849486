// CHeaderCtrl: the column header of a list control.
#pragma once

#include "Wnd.h"

class CListCtrl;

class CHeaderCtrl {
public:
    explicit CHeaderCtrl(const CListCtrl* list) : m_list(list) {}
    int GetItemCount() const;

private:
    const CListCtrl* m_list;
};
