#include "QvxGuiUpdateListItemCustomSelectionMap.h"

CSortableStringArray* CQvxGuiUpdateListItemCustomSelectionMap::NewArray(int index)
{
    auto& slot = m_arrays[index];
    slot = std::make_unique<CSortableStringArray>();
    return slot.get();
}

CSortableStringArray* CQvxGuiUpdateListItemCustomSelectionMap::Find(int index) const
{
    auto it = m_arrays.find(index);
    return it == m_arrays.end() ? nullptr : it->second.get();
}
