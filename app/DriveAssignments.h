// CDriveAssignments: the user's names for drive addresses, in the order they
// were made, kept in section [DRIVE_ASSIGNMENTS] of the user settings file
// (or read from the factory settings file when the user has none). Address 0
// is never stored: 0 in a file means 31, and 31 is written as 0.
#pragma once

#include <utility>
#include <vector>

#include "comm/link/DriveAssignment.h"
#include "platform/core/List.h"

class CDriveAssignments {
public:
    // 1 loaded; 0 when neither file gives a count (the names stay as they were).
    int Load(const char* userIni, const char* factoryIni);
    // Writes the whole section in one file update; 0 when that fails (the file keeps the old section).
    int Save(const char* userIni) const;

    void Set(const CString& name, int address);
    void RemoveAll() { m_entries.clear(); }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // The first name with this address.
    bool FindName(int address, CString& name) const;
    bool FindAddress(const CString& name, int& address) const;
    void GetAll(CList<CDriveAssignment>& out) const;
    const std::vector<std::pair<CString, int>>& Entries() const { return m_entries; }

    static constexpr const char* kSection = "DRIVE_ASSIGNMENTS";
    static constexpr const char* kDefaultName = "A";

private:
    void ReadEntries(int count, const char* ini);
    std::vector<std::pair<CString, int>> m_entries;
};
