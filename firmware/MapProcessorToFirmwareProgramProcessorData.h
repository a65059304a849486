// CMapProcessorToFirmwareProgramProcessorData: processor name to its record; owns the records.
#pragma once

#include <vector>

#include "firmware/FirmwareProgramProcessorData.h"

class CMapProcessorToFirmwareProgramProcessorData
    : public CMap<CString, LPCSTR, CFirmwareProgramProcessorData*, CFirmwareProgramProcessorData*> {
public:
    CMapProcessorToFirmwareProgramProcessorData() = default;
    ~CMapProcessorToFirmwareProgramProcessorData() override { DeleteAll(); }
    CMapProcessorToFirmwareProgramProcessorData(const CMapProcessorToFirmwareProgramProcessorData&) = delete;
    CMapProcessorToFirmwareProgramProcessorData& operator=(const CMapProcessorToFirmwareProgramProcessorData&) = delete;

    CFirmwareProgramProcessorData* Find(const CString& name) const;
    CFirmwareProgramProcessorData* GetOrCreate(const CString& name);
    std::vector<CString> GetNames() const;
    void DeleteAll();
};
