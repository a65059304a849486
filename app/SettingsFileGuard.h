// A settings file that cannot be read, or is not text, is moved aside (kept
// for the user, never overwritten) before the program writes a new one.
#pragma once

#include "platform/core/String.h"

// 0 when the file is missing or sound; 1 when it was damaged and moved aside
// (message says so and names both files); -1 when it was damaged and could not
// be moved (message says so; the caller must not write it).
int SetAsideDamagedSettingsFile(const CString& path, CString& message);
