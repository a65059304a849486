// CFirmwareProgramPartData: one drive part of the parts list: its processor,
// which CPUs it programs and each CPU's firmware file.
#pragma once

#include "platform/core/List.h"
#include "platform/core/Map.h"
#include "platform/core/String.h"

class CFirmwareProgramPartData {
public:
    virtual ~CFirmwareProgramPartData() = default;

    bool IsSelected(int cpu) const { return m_selectedCpus.Find(cpu) != nullptr; }
    void SetSelected(int cpu, bool selected);
    // The path shown; "<please select file>" when the file read from the list does not exist.
    CString GetFirmwareFile(int cpu) const;
    // The path as the list holds it, which saving writes back.
    CString GetStoredFirmwareFile(int cpu) const;
    void SetFirmwareFile(int cpu, const CString& path);

    CString m_partNumber;
    CString m_processorName;
    CList<int> m_selectedCpus;
    CMap<int, int, CString, const CString&> m_firmwareFiles;
    // Paths read from the list whose file was missing, kept so a save never loses them.
    CMap<int, int, CString, const CString&> m_missingFiles;
};

extern const char* const kPleaseSelectFile;  // "<please select file>"
