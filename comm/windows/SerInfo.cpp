#include "comm/windows/SerInfo.h"

CString CSerInfo::WithoutTrailingPart(const CString& text)
{
    const int blank = text.Find(" (");
    const int closing = text.Find(')');
    if (blank > 0 && closing == text.GetLength() - 1)
        return text.Left(blank);
    return text;
}

void CSerInfo::CompleteNames()
{
    if (m_friendlyName.IsEmpty())
        m_friendlyName = m_portName;
    if (m_description.IsEmpty())
        m_description = WithoutTrailingPart(m_friendlyName);
}
