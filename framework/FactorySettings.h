// What the factory settings file ("kvfact.ini") tells the windows.
#pragma once

#include "platform/core/String.h"

// Bits of the model display flags.
enum ModelDisplayFlags : int {
    kDisplayFactory = 1,
    kDisplayDebug = 2,
    kDisplayInHouse = 4,
    kDisplayBalance = 8,
};

// [MODEL DISPLAY]: Debug, InHouse, CustomerDisplay; comparisons ignore case.
int GetModelDisplayFlags(const char* factoryIni);
// [UNLOCK_TAVRO_FUNCTION_VER] <function>: the least firmware version that offers it; -1.0 when not given.
double GetFunctionUnlockVersion(const char* factoryIni, const char* function);
