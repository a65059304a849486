#include "DProperty.h"

IMPLEMENT_SERIAL(CDProperty, CObject, VERSIONABLE_SCHEMA | 1)

void CDProperty::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_name << m_value;
    else
        ar >> m_name >> m_value;
}
