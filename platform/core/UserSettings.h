// Where the user's settings file ("kvsettings.ini") lives: the application
// data folder, unless the program set another path at start-up.
#pragma once

#include "String.h"

CString AfxGetUserSettingsIniPath();
void AfxSetUserSettingsIniPath(const char* path);
