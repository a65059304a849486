// The application profile: what the original kept in the registry, kept in
// "profile.ini" in the config folder. Sections and entries as the program names them.
#pragma once

#include "String.h"

void AfxSetRegistryKey(const char* key);
CString AfxGetRegistryKey();
CString AfxGetProfilePath();
CString AfxGetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
UINT AfxGetProfileInt(const char* section, const char* entry, int defaultValue);
BOOL AfxWriteProfileString(const char* section, const char* entry, const char* value);
BOOL AfxWriteProfileInt(const char* section, const char* entry, int value);
// Binary values are kept as hexadecimal text.
BOOL AfxGetProfileBinary(const char* section, const char* entry, BYTE** data, UINT* bytes);
BOOL AfxWriteProfileBinary(const char* section, const char* entry, const BYTE* data, UINT bytes);
