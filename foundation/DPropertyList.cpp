#include "DPropertyList.h"

#include <cstdlib>
#include <memory>
#include <new>

namespace {

void DeleteAll(CList<CDProperty*, CDProperty*>& list)
{
    while (!list.IsEmpty())
        delete list.RemoveHead();
}

}  // namespace

CDPropertyList::~CDPropertyList()
{
    RemoveAll();
}

CDProperty* CDPropertyList::Find(const char* name) const
{
    for (POSITION pos = m_properties.GetHeadPosition(); pos;) {
        CDProperty* property = m_properties.GetNext(pos);
        if (property->m_name == name)
            return property;
    }
    return nullptr;
}

CDProperty* CDPropertyList::FindOrAdd(const char* name)
{
    if (CDProperty* found = Find(name))
        return found;
    auto property = std::make_unique<CDProperty>(CString(name));
    try {
        m_properties.AddTail(property.get());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return property.release();
}

int CDPropertyList::SetString(const char* name, const char* value)
{
    CDProperty* property = nullptr;
    try {
        property = FindOrAdd(name);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!property)
        return 0;
    property->m_value = value;
    return 1;
}

int CDPropertyList::SetDouble(const char* name, double value)
{
    CString text;
    text.Format("%0.15g", value);
    return SetString(name, text);
}

int CDPropertyList::SetInt(const char* name, int value)
{
    CString text;
    text.Format("%d", value);
    return SetString(name, text);
}

int CDPropertyList::SetLong(const char* name, long value)
{
    CString text;
    text.Format("%ld", value);
    return SetString(name, text);
}

int CDPropertyList::GetString(const char* name, CString& value) const
{
    const CDProperty* property = Find(name);
    if (!property)
        return 0;
    value = property->m_value;
    return 1;
}

int CDPropertyList::GetDouble(const char* name, double& value) const
{
    const CDProperty* property = Find(name);
    if (!property)
        return 0;
    value = std::strtod(property->m_value, nullptr);
    return 1;
}

int CDPropertyList::GetInt(const char* name, int& value) const
{
    const CDProperty* property = Find(name);
    if (!property)
        return 0;
    value = std::atoi(property->m_value);
    return 1;
}

int CDPropertyList::GetLong(const char* name, long& value) const
{
    const CDProperty* property = Find(name);
    if (!property)
        return 0;
    value = std::atol(property->m_value);
    return 1;
}

int CDPropertyList::Remove(const char* name)
{
    for (POSITION pos = m_properties.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CDProperty* property = m_properties.GetNext(pos);
        if (property->m_name == name) {
            m_properties.RemoveAt(at);
            delete property;
            return 1;
        }
    }
    return 0;
}

void CDPropertyList::RemoveAll()
{
    DeleteAll(m_properties);
}

void CDPropertyList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(m_properties.GetCount()));
        for (POSITION pos = m_properties.GetHeadPosition(); pos;)
            ar << m_properties.GetNext(pos);
        return;
    }
    CList<CDProperty*, CDProperty*> loaded;
    try {
        for (ULONGLONG count = ar.ReadCount(); count > 0; --count) {
            auto* property = static_cast<CDProperty*>(ar.ReadOwnedObject(RUNTIME_CLASS(CDProperty)));
            // A null element would break every later look-up.
            if (!property)
                ar.ThrowArchive(CArchiveException::genericException);
            loaded.AddTail(property);
        }
    } catch (...) {
        DeleteAll(loaded);
        throw;
    }
    RemoveAll();
    m_properties.Swap(loaded);
}
