// Drive names as letter codes like spreadsheet columns: "A" to "Z", then "AA"
// to "ZZ" (702 names, index 0 to 701), and the checks of a table of address
// and name rows as the drive-name dialog edits it.
#pragma once

#include <vector>

#include "platform/core/String.h"

constexpr int kDriveLetterNameCount = 702;
constexpr int kHighestDriveAddress = 15;
constexpr int kMaxDriveNameRows = 15;

CString DriveIndexToName(int index);
// -1 for an empty name; letters beyond the second do not count.
int DriveNameToIndex(const CString& name);

struct DriveNameRow {
    CString address;  // as typed
    CString name;
};

// The first failing row and its message, in the order duplicate name,
// duplicate address, address out of range; -1 when every row is sound.
int ValidateDriveNameRows(const std::vector<DriveNameRow>& rows, CString& message, bool& addressFault);
// What Add proposes: the next address and name after the highest, or the
// lowest unused where the next would pass 15 or "ZZ".
int ProposeDriveAddress(const std::vector<DriveNameRow>& rows);
int ProposeDriveNameIndex(const std::vector<DriveNameRow>& rows);
// An address as typed; false for a text that is not a whole decimal number.
bool ParseDriveAddress(const CString& text, long& value);
