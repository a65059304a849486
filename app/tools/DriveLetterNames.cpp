#include "DriveLetterNames.h"

#include <cctype>
#include <cstdlib>
#include <set>

CString DriveIndexToName(int index)
{
    if (index < 0 || index >= kDriveLetterNameCount)
        return CString();
    CString name;
    if (index > 25)
        name += static_cast<char>('A' + index / 26 - 1);
    name += static_cast<char>('A' + index % 26);
    return name;
}

int DriveNameToIndex(const CString& name)
{
    if (name.IsEmpty())
        return -1;
    const auto letter = [&name](int at) { return std::toupper(static_cast<unsigned char>(name[at])) - 'A'; };
    if (name.GetLength() == 1)
        return letter(0);
    return (letter(0) + 1) * 26 + letter(1);
}

namespace {
// Names compare by their text: a stored name that is not a letter code has no meaningful index.
CString NameKey(const CString& name)
{
    CString key = name;
    key.MakeUpper();
    return key;
}
}  // namespace

bool ParseDriveAddress(const CString& text, long& value)
{
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return false;
    char* end = nullptr;
    value = std::strtol(trimmed, &end, 10);
    return end && *end == '\0';
}

int ValidateDriveNameRows(const std::vector<DriveNameRow>& rows, CString& message, bool& addressFault)
{
    addressFault = false;
    std::set<CString> names;
    for (size_t row = 0; row < rows.size(); ++row)
        if (!names.insert(NameKey(rows[row].name)).second) {
            message = "Duplicate drive name found.";
            return static_cast<int>(row);
        }
    std::set<long> addresses;
    for (size_t row = 0; row < rows.size(); ++row) {
        long value = 0;
        if (ParseDriveAddress(rows[row].address, value) && !addresses.insert(value).second) {
            message = "Duplicate drive address name found.";
            addressFault = true;
            return static_cast<int>(row);
        }
    }
    for (size_t row = 0; row < rows.size(); ++row) {
        long value = 0;
        if (!ParseDriveAddress(rows[row].address, value) || value < 0 || value > kHighestDriveAddress) {
            message.Format("Drive address out of range. Please enter a number between 0 and %u.", kHighestDriveAddress);
            addressFault = true;
            return static_cast<int>(row);
        }
    }
    return -1;
}

int ProposeDriveAddress(const std::vector<DriveNameRow>& rows)
{
    long highest = 0;
    std::set<long> used;
    for (const DriveNameRow& row : rows) {
        long value = 0;
        if (ParseDriveAddress(row.address, value)) {
            used.insert(value);
            highest = std::max(highest, value);
        }
    }
    if (highest + 1 <= kHighestDriveAddress)
        return static_cast<int>(highest + 1);
    for (int address = 1; address <= kHighestDriveAddress; ++address)
        if (!used.count(address))
            return address;
    return 0;
}

int ProposeDriveNameIndex(const std::vector<DriveNameRow>& rows)
{
    int highest = -1;
    std::set<CString> used;
    for (const DriveNameRow& row : rows) {
        used.insert(NameKey(row.name));
        const int index = DriveNameToIndex(row.name);
        if (index < kDriveLetterNameCount && DriveIndexToName(index) == NameKey(row.name))
            highest = std::max(highest, index);
    }
    if (highest + 1 < kDriveLetterNameCount && !used.count(DriveIndexToName(highest + 1)))
        return highest + 1;
    for (int index = 0; index < kDriveLetterNameCount; ++index)
        if (!used.count(DriveIndexToName(index)))
            return index;
    return 0;
}
