// CQvxOpenWindowItemArray: the open windows, rebuilt each time the Windows
// List is prepared; it only holds pointers to windows that existed then.
#pragma once

#include <vector>

#include "QvxOpenWindowItem.h"

class CQvxOpenWindowItemArray {
public:
    // Appends every entry of the open-window list that is a window, in list order.
    void CollectDriveWindows(CGuiUpdateList& list);
    // Appends the open program editors, in list order.
    void CollectEditors(CQvxEditorFrameList& editors);
    void RemoveAll() { m_items.clear(); }
    void RemoveAt(int index) { m_items.erase(m_items.begin() + index); }
    int GetCount() const { return static_cast<int>(m_items.size()); }
    const CQvxOpenWindowItem& operator[](int index) const { return m_items[static_cast<size_t>(index)]; }
    // Activates an item; 0 for an index outside the array.
    int Activate(int index, CGuiUpdateList& list) const;

private:
    std::vector<CQvxOpenWindowItem> m_items;
};
