// Where the tuning windows find their settings files: the user's settings,
// the filter presets beside them, and the factory settings beside the
// program. Tests point them elsewhere.
#pragma once

#include "platform/core/String.h"

CString TuningUserIniPath();
CString TuningFiltersIniPath();
CString TuningFactoryIniPath();
// Empty texts return to the defaults.
void SetTuningFilePaths(const CString& filtersIni, const CString& factoryIni);
