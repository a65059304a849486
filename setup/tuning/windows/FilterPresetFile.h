// CFilterPresetFile: the named filter presets of "Filters.ini": one section a
// preset, a type code and four argument texts for each of the four filters.
#pragma once

#include <vector>

#include "platform/core/String.h"

struct FilterPresetRecord {
    CString type = "NONE";  // at most 7 characters
    CString args[4];        // at most 31 characters each
};

class CFilterPresetFile {
public:
    explicit CFilterPresetFile(const CString& path) : m_path(path) {}

    // A missing type reads "NONE", a missing argument ""; overlong texts are cut.
    FilterPresetRecord Read(const CString& preset, int slot) const;
    // False when the file could not be written.
    bool Write(const CString& preset, int slot, const FilterPresetRecord& record) const;
    bool Delete(const CString& preset) const;
    // The section names in file order.
    std::vector<CString> Names() const;
    // A name the file can hold as a section: not empty, no brackets, no line breaks.
    static bool IsValidName(const CString& name);
    static CString TypeKey(int slot);
    static CString ArgumentKey(int slot, int argument);

private:
    CString m_path;
};
