// Texts the filter windows share: type codes, descriptions, argument labels,
// tab names, and the two-decimal rounding of shown arguments.
#pragma once

#include "platform/core/String.h"

constexpr int kFilterTypeCodeCount = 8;  // "NONE" .. "NTCH2B"; the list index is the type

const char* FilterTypeCodeAt(int type);
// The type of a code text; 0 (NONE) for a text that is no type code.
int FilterTypeFromCode(const CString& code);
// "No Filter" .. "Notch, 2nd Order B"; "Unknown Filter Type" for any other type.
CString FilterTypeDescription(int type);
// The label of argument 0..3 for the type, with or without the trailing ':'; empty when the type has none.
CString FilterArgumentLabel(int type, int argument, bool withColon);
// "First Filter" .. "Feedback Filter".
CString FilterTabName(int slot);
// Away from zero to two decimals, as the decimal the value stands for: 0.05 stays 0.05.
double RoundTwoDecimalsAway(double value);
