#include "setup/io/TavroDigitalInputDefinitions.h"

int CTavroDigitalInputDefinitions::LoadDefinitions(int variant, const CString& factoryFile)
{
    if (variant != 0 && variant != 1)
        return 0;
    const char* pins = variant == 0 ? "TAVRO SERIES INPUT PINS" : "TAVRO SERIES 7350-14 INPUT PINS";
    return LoadFromIni(factoryFile, pins, "TAVRO SERIES INPUT FUNCTIONS", false, true, true);
}
