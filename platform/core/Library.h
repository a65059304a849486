// Loading a shared library by name at run time (dlopen/dlsym).
#pragma once

#include "String.h"

using HMODULE = void*;
using FARPROC = void (*)();

HMODULE LoadLibrary(const char* fileName);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);
// The loader's last error text, for messages after a failed load.
CString GetLibraryError();
