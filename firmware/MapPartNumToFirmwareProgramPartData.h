// CMapPartNumToFirmwareProgramPartData: the parts list: part number to part
// record (owned), the processors, and reading and writing the list's INI file.
#pragma once

#include <vector>

#include "firmware/FirmwareProgramPartData.h"
#include "firmware/MapProcessorToFirmwareProgramProcessorData.h"
#include "firmware/OwnedRecordMap.h"

extern const char* const kFactoryKernelFolder;  // "FactoryFlashUpdateSupportFiles"

class CMapPartNumToFirmwareProgramPartData
    : public COwnedRecordMap<CFirmwareProgramPartData, &CFirmwareProgramPartData::m_partNumber> {
public:

    // False with m_error set; a list that stops part-way keeps what was read before the fault.
    bool ReadPartsList(const CString& path);
    // The parts' sections, written in one update of the file: a failure leaves the old list.
    bool WritePartsList(const CString& path);

    CFirmwareProgramPartData* FindPart(const CString& partNumber) const { return Find(partNumber); }
    CFirmwareProgramPartData* GetOrCreatePart(const CString& partNumber) { return GetOrCreate(partNumber); }
    std::vector<CString> GetSortedPartNumbers() const;
    // The kernel file's path under the program folder.
    static CString KernelPath(const CString& programFolder, const CString& kernelName);
    // Kernel files of the part's processor plus its selected firmware files; a half is
    // -1 when one of its files cannot be opened.
    long long GetTotalFileSize(const CFirmwareProgramPartData& part, const CString& programFolder) const;

    CMapProcessorToFirmwareProgramProcessorData m_processors;
    int m_allowFileSelect = 1;
    CString m_error;

private:
    bool ReadProcessor(const CString& path, const CString& section);
    bool ReadPart(const CString& path, const CString& section);
    bool WriteParts(const CString& copy, const CString& path);
};
