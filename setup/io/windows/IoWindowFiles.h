// Where the I/O windows read the factory settings file.
#pragma once

#include "platform/core/String.h"

// "kvfact.ini" beside the program unless a path was set.
CString IoFactoryIniPath();
// Tests and the gallery point the windows at a file of their own; empty restores the default.
void SetIoFactoryIniPath(const CString& path);
