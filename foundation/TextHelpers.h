// Text helpers: number formatting, list and markup readers, identifiers and
// digit groups. None keeps state between calls.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/String.h"

// digits >= 0: fixed notation with that many decimals; < 0: -digits significant digits.
CString FormatDouble(double value, int digits);
// mm:ss.hh, minutes wrapping at 100; a negative span gets a leading "-".
CString FormatTimeSpan(double seconds);
CString FormatInt(int value);
// sizeCode 0, 1, 2: the low 8, 16 or 32 bits (other codes: 32).
CString FormatBinary(DWORD value, int sizeCode);
CString FormatHex(DWORD value, int sizeCode);
// The numbers of the set bits, lowest first, separated by ",".
CString FormatBitList(DWORD value);
CString FormatRangeMessage(const char* name, BOOL adjusted, double minimum, double maximum);

// "1,3,5-7" appends 1 3 5 6 7; 0 (and nothing appended) on a bad character or item.
int ParseIntegerList(const char* text, CList<int, int>& values);
// The value between <tag ...> and </tag>, or of an empty element <tag .../>;
// the offset after the element, or -1. The tag matches as a prefix of the name.
int ExtractTaggedValue(const char* tag, const CString& text, CString& value, CMapStringToString* attributes,
                       int start);
// Two hex digits a byte into at most capacity bytes; the byte count, or -1 at
// the first character that is not a hex digit (a lone last digit included).
int HexToBytes(const char* text, int capacity, BYTE* bytes);
// Cuts trailing characters below "!" in place; 1 when the rest is a number
// made of digits, at most one "." and an optional leading "-".
int TrimAndCheckNumber(char* buffer);
int StringArraysEqual(const CStringArray& a, const CStringArray& b);
// Appends each token (runs of delimiters separate them), trimmed of white space.
void SplitToStringList(const CString& text, const char* delimiters, CStringList& list);
// Appends every string followed by the separator, the last one included.
void JoinStringList(const CStringList& list, const char* separator, CString& text);
CString MakeIdentifier(const CString& text);
int StartsLikeNumber(const CString& text);
// "1234567.89" -> "1,234,567.89"; a group size below 1 leaves the text as it is.
CString InsertDigitGroupSeparators(const CString& number, const char* separator, int groupSize);
// Removes every occurrence, also those a removal forms; an empty substring removes nothing.
CString RemoveAllSubstrings(const CString& text, const char* substring);
