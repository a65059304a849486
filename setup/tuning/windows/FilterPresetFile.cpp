#include "setup/tuning/windows/FilterPresetFile.h"

#include <cstring>

#include "platform/core/IniFile.h"

namespace {
constexpr int kTypeLength = 7;
constexpr int kArgumentLength = 31;
const char* const kTypeKeys[] = {"First", "Second", "Third", "Feedback"};
}  // namespace

CString CFilterPresetFile::TypeKey(int slot) { return kTypeKeys[slot]; }

CString CFilterPresetFile::ArgumentKey(int slot, int argument)
{
    CString key;
    key.Format("Arg_%d_%d", slot + 1, argument + 1);
    return key;
}

FilterPresetRecord CFilterPresetFile::Read(const CString& preset, int slot) const
{
    FilterPresetRecord record;
    char buffer[256];
    GetPrivateProfileString(preset, TypeKey(slot), "NONE", buffer, sizeof buffer, m_path);
    record.type = CString(buffer).Left(kTypeLength);
    for (int i = 0; i < 4; ++i) {
        GetPrivateProfileString(preset, ArgumentKey(slot, i), "", buffer, sizeof buffer, m_path);
        record.args[i] = CString(buffer).Left(kArgumentLength);
    }
    return record;
}

bool CFilterPresetFile::Write(const CString& preset, int slot, const FilterPresetRecord& record) const
{
    bool written = WritePrivateProfileString(preset, TypeKey(slot), record.type, m_path) != 0;
    for (int i = 0; i < 4; ++i)
        written = WritePrivateProfileString(preset, ArgumentKey(slot, i), record.args[i], m_path) && written;
    return written;
}

bool CFilterPresetFile::Delete(const CString& preset) const
{
    return WritePrivateProfileString(preset, nullptr, nullptr, m_path) != 0;
}

std::vector<CString> CFilterPresetFile::Names() const
{
    // Sized to the file, so no name is cut or left out.
    std::vector<char> buffer(4096);
    for (;;) {
        const DWORD copied = GetPrivateProfileSectionNames(buffer.data(), static_cast<DWORD>(buffer.size()), m_path);
        if (copied + 2 < buffer.size())
            break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<CString> names;
    for (const char* name = buffer.data(); *name; name += std::strlen(name) + 1)
        names.emplace_back(name);
    return names;
}

bool CFilterPresetFile::IsValidName(const CString& name)
{
    if (name.IsEmpty())
        return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        const char c = name[i];
        if (c == '[' || c == ']' || c == '\r' || c == '\n')
            return false;
    }
    return true;
}
