// CQvxGuiUpdateListDataSelectorList: the choices of a settings row with a
// current position that the value keys step.
#pragma once

#include "QvxGuiUpdateListDataSelectorItem.h"
#include <vector>

class CQvxGuiUpdateListDataSelectorList {
public:
    void Add(const char* text, double value);
    int GetCount() const { return static_cast<int>(m_items.size()); }
    bool GetItem(int index, CString& text, double& value) const;
    // The index of the item with exactly this text or value; -1 when none.
    int FindText(const char* text) const;
    int FindValue(double value) const;
    void SetCurrent(int index) { m_current = index; }
    int GetCurrent() const { return m_current; }
    // A step past either end fails unless `wrap` takes it to the other end.
    bool StepNext(bool wrap);
    bool StepPrevious(bool wrap);

private:
    std::vector<CQvxGuiUpdateListDataSelectorItem> m_items;
    int m_current = -1;
};
