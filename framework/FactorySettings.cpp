#include "FactorySettings.h"

#include <cstdlib>

#include "platform/core/IniFile.h"

namespace {
CString Read(const char* section, const char* key, const char* defaultValue, const char* ini)
{
    char value[100] = {};
    GetPrivateProfileString(section, key, defaultValue, value, sizeof value, ini ? ini : "");
    return value;
}
}  // namespace

int GetModelDisplayFlags(const char* factoryIni)
{
    int flags = 0;
    if (Read("MODEL DISPLAY", "Debug", "FALSE", factoryIni).CompareNoCase("TRUE") == 0)
        flags |= kDisplayDebug;
    if (Read("MODEL DISPLAY", "InHouse", "FALSE", factoryIni).CompareNoCase("TRUE") == 0)
        flags |= kDisplayInHouse;
    const CString display = Read("MODEL DISPLAY", "CustomerDisplay", "normal configuration", factoryIni);
    if (display.CompareNoCase("factory configuration") == 0)
        flags |= kDisplayFactory;
    else if (display.CompareNoCase("balance") == 0)
        flags |= kDisplayBalance;
    return flags;
}

double GetFunctionUnlockVersion(const char* factoryIni, const char* function)
{
    const CString value = Read("UNLOCK_TAVRO_FUNCTION_VER", function, "-1.0", factoryIni);
    return std::strtod(value, nullptr);
}
