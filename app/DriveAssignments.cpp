#include "DriveAssignments.h"

#include <cstdlib>
#include <string>

#include "platform/core/IniFile.h"

namespace {
constexpr int kLongestEntry = 79;
constexpr int kHighestCount = 10000;  // more entries than any link can hold is a damaged file
}  // namespace

void CDriveAssignments::Set(const CString& name, int address)
{
    for (auto& entry : m_entries)
        if (entry.first == name) {
            entry.second = address;
            return;
        }
    m_entries.emplace_back(name, address);
}

int CDriveAssignments::Load(const char* userIni, const char* factoryIni)
{
    const char* ini = userIni && *userIni ? userIni : "";
    int count = static_cast<int>(GetPrivateProfileInt(kSection, "DriveCount", -1, ini));
    if (count <= 0) {
        ini = factoryIni ? factoryIni : "";
        count = static_cast<int>(GetPrivateProfileInt(kSection, "DriveCount", -1, ini));
        if (count == -1)
            return 0;
    }
    m_entries.clear();
    if (count <= 0) {
        Set(kDefaultName, 1);
        return 1;
    }
    ReadEntries(std::min(count, kHighestCount), ini);
    return 1;
}

void CDriveAssignments::ReadEntries(int count, const char* ini)
{
    for (int i = 1; i <= count; ++i) {
        CString key;
        key.Format("Drive%d", i);
        char value[kLongestEntry + 1] = {};
        GetPrivateProfileString(kSection, key, key, value, sizeof value, ini);
        const CString text = value;
        const int comma = text.Find(',');
        if (comma < 0 || text.GetLength() <= 1)
            continue;
        CString number = text.Left(comma);
        number.Trim();
        const int address = std::atoi(number);
        CString name = text.Mid(comma + 1);
        const int next = name.Find(',');
        if (next >= 0)
            name = name.Left(next);
        Set(name, address == 0 ? 31 : address);
    }
}

int CDriveAssignments::Save(const char* userIni) const
{
    if (!userIni || !*userIni)
        return 0;
    std::string entries;
    auto add = [&entries](const CString& line) {
        entries += line.GetString();
        entries += '\0';
    };
    CString line;
    line.Format("DriveCount=%d", GetCount());
    add(line);
    int i = 1;
    for (const auto& [name, address] : m_entries) {
        line.Format("Drive%d=%u,%s", i++, static_cast<unsigned>(address == 31 ? 0 : address), name.GetString());
        add(line);
    }
    entries += '\0';
    return WritePrivateProfileSection(kSection, entries.c_str(), userIni) ? 1 : 0;
}

bool CDriveAssignments::FindName(int address, CString& name) const
{
    for (const auto& entry : m_entries)
        if (entry.second == address) {
            name = entry.first;
            return true;
        }
    return false;
}

bool CDriveAssignments::FindAddress(const CString& name, int& address) const
{
    for (const auto& entry : m_entries)
        if (entry.first == name) {
            address = entry.second;
            return true;
        }
    return false;
}

void CDriveAssignments::GetAll(CList<CDriveAssignment>& out) const
{
    for (const auto& [name, address] : m_entries)
        out.AddTail(CDriveAssignment(address, name));
}
