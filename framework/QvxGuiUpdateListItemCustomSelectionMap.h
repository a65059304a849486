// CQvxGuiUpdateListItemCustomSelectionMap: choice texts the owner window
// gives a line of the settings list, by line index.
#pragma once

#include <map>
#include <memory>

#include "foundation/SortableStringArray.h"

class CQvxGuiUpdateListItemCustomSelectionMap {
public:
    // Replaces the array under the index by a new empty one.
    CSortableStringArray* NewArray(int index);
    CSortableStringArray* Find(int index) const;
    void RemoveAllArrays() { m_arrays.clear(); }

private:
    std::map<int, std::unique_ptr<CSortableStringArray>> m_arrays;
};
