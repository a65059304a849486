#include "setup/io/TavroDigitalOutputDefinitions.h"

int CTavroDigitalOutputDefinitions::LoadDefinitions(int variant, const CString& factoryFile)
{
    if (variant != 0 && variant != 1)
        return 0;
    const char* pins = variant == 0 ? "TAVRO SERIES OUTPUT PINS" : "TAVRO SERIES 7350-14 OUTPUT PINS";
    return LoadFromIni(factoryFile, pins, "TAVRO SERIES OUTPUT FUNCTIONS", true, false, false);
}
