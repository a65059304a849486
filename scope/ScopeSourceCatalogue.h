// The signals a drive offers the scope, read from the factory settings for the
// drive's control-software type (conversion parameter 6).
#pragma once

#include "ScopeSourceQueryDataList.h"

class CScopeDriveServices;

// 1 with the list filled; 0 (and an empty list) when the drive's type is not
// learned within 5 s or its conversion table has no type parameter.
int BuildDriveScopeSourceList(CScopeSourceQueryDataList& list, int address, CScopeDriveServices& services);
