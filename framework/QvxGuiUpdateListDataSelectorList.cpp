#include "QvxGuiUpdateListDataSelectorList.h"

void CQvxGuiUpdateListDataSelectorList::Add(const char* text, double value)
{
    CQvxGuiUpdateListDataSelectorItem item;
    item.m_text = text;
    item.m_value = value;
    m_items.push_back(item);
}

bool CQvxGuiUpdateListDataSelectorList::GetItem(int index, CString& text, double& value) const
{
    if (index < 0 || index >= GetCount())
        return false;
    text = m_items[static_cast<size_t>(index)].m_text;
    value = m_items[static_cast<size_t>(index)].m_value;
    return true;
}

int CQvxGuiUpdateListDataSelectorList::FindText(const char* text) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_items[static_cast<size_t>(i)].m_text == text)
            return i;
    return -1;
}

int CQvxGuiUpdateListDataSelectorList::FindValue(double value) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_items[static_cast<size_t>(i)].m_value == value)
            return i;
    return -1;
}

bool CQvxGuiUpdateListDataSelectorList::StepNext(bool wrap)
{
    if (m_items.empty() || m_current < 0)
        return false;
    if (m_current + 1 < GetCount())
        ++m_current;
    else if (wrap)
        m_current = 0;
    else
        return false;
    return true;
}

bool CQvxGuiUpdateListDataSelectorList::StepPrevious(bool wrap)
{
    if (m_items.empty() || m_current < 0)
        return false;
    if (m_current > 0)
        --m_current;
    else if (wrap)
        m_current = GetCount() - 1;
    else
        return false;
    return true;
}
