#include "firmware/MapProcessorToFirmwareProgramProcessorData.h"

CFirmwareProgramProcessorData* CMapProcessorToFirmwareProgramProcessorData::Find(const CString& name) const
{
    CFirmwareProgramProcessorData* record = nullptr;
    return Lookup(name, record) ? record : nullptr;
}

CFirmwareProgramProcessorData* CMapProcessorToFirmwareProgramProcessorData::GetOrCreate(const CString& name)
{
    if (CFirmwareProgramProcessorData* known = Find(name))
        return known;
    auto* record = new CFirmwareProgramProcessorData;
    record->m_name = name;
    SetAt(name, record);
    return record;
}

std::vector<CString> CMapProcessorToFirmwareProgramProcessorData::GetNames() const
{
    std::vector<CString> names;
    for (auto [name, record] : *this)
        names.push_back(name);
    return names;
}

void CMapProcessorToFirmwareProgramProcessorData::DeleteAll()
{
    for (auto [name, record] : *this)
        delete record;
    RemoveAll();
}
