#include "QvxGuiUpdateListData.h"

#include <cstdlib>

void CQvxGuiUpdateListData::Reset()
{
    m_listIndex = -1;
    m_digits = 0;
    m_label.Empty();
    m_query.Empty();
    m_command.Empty();
    m_value.Empty();
    m_savedValue.Empty();
    m_id.Empty();
    m_labelOnly = 1;
    m_rangeCheck = 1;
    m_modified = 0;
    m_oneShot = 0;
    m_minimum = "0.0";
    m_maximum = "4294967295";
    m_flags = 0;
    m_recordsetField = 0;
    m_selectors.reset();
}

CString CQvxGuiUpdateListData::GetShownText() const
{
    if (!m_selectors)
        return m_value;
    const int index = m_selectors->FindValue(std::atof(m_value));
    CString text;
    double value = 0.0;
    if (index < 0 || !m_selectors->GetItem(index, text, value))
        return "<Invalid value>";
    return text;
}
