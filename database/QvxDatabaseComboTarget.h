// CQvxDatabaseComboTarget: the combo box a recordset fills, seen through the
// few calls filling needs, so the engine never links the window layer. The
// window side wraps a real combo box in it.
#pragma once

#include "platform/core/WinTypes.h"

class CQvxDatabaseComboTarget {
public:
    virtual ~CQvxDatabaseComboTarget() = default;
    virtual void ResetContent() = 0;
    // The index of the new item.
    virtual int AddString(const char* text) = 0;
    virtual void SetItemData(int index, DWORD_PTR data) = 0;
    // Selects the first item with that data; false when there is none.
    virtual bool SelectItemByData(DWORD_PTR data) = 0;
};
