// INI files with the original platform's rules: section and key names are
// case-insensitive, values are trimmed and lose one pair of enclosing quotes,
// a missing key yields the caller's default, and files are written with CR LF.
#pragma once

#include "WinTypes.h"

// With section null: all section names; with key null: all keys of the section;
// both as NUL-separated lists ending in a double NUL. Returns the characters copied.
DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                              DWORD outSize, const char* fileName);
UINT GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* fileName);
// Key null deletes the section; value null deletes the key.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* fileName);
// "key=value" entries, NUL-separated and ending in a double NUL.
DWORD GetPrivateProfileSection(const char* section, char* out, DWORD outSize, const char* fileName);
// Replaces a section's entries with "key=value" entries given as a NUL-separated list.
BOOL WritePrivateProfileSection(const char* section, const char* entries, const char* fileName);
DWORD GetPrivateProfileSectionNames(char* out, DWORD outSize, const char* fileName);
