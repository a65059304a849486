#include "setup/io/AnalogSignalLists.h"

#include "platform/core/IniFile.h"

namespace {
constexpr const char* kFw3 = "Analog_Out_SIGNALS_FW3";
// Far beyond any drive's signal count: a damaged count must not fill a combo for minutes.
constexpr int kMaxSources = 1024;
}  // namespace

AnalogListSections CAnalogSignalLists::SectionsFor(int ch, int param7)
{
    AnalogListSections sections;
    if (ch == 9) {
        sections.output = "Analog_Out_SIGNALS_TWO_PH";
    } else if (ch > 15) {
        sections.output = sections.aux = "Analog_Out_SIGNALS_Kreln";
    } else if (ch == 13) {
        sections.output = sections.aux = kFw3;
        sections.disableAuxOutput = param7 != 1;
    } else {
        sections.output = kFw3;
        if (param7 == 1)
            sections.aux = kFw3;
    }
    return sections;
}

void CAnalogSignalLists::ReadList(const char* factoryIni, const char* section, CStringArray& entries)
{
    entries.RemoveAll();
    int count = static_cast<int>(GetPrivateProfileInt("AO_SIGNAL_COUNT", section, 0, factoryIni));
    if (count < 0)
        count = 0;
    if (count > kMaxSources)
        count = kMaxSources;
    for (int i = 0; i <= count; ++i) {
        CString key;
        key.Format("Source %d", i);
        char text[80] = {};
        GetPrivateProfileString(section, key, key, text, sizeof text, factoryIni);
        entries.Add(CString(text));
    }
}

AuxInputLabels CAnalogSignalLists::AuxLabels(int ch, double param10)
{
    if (ch > 15 && param10 != 0)
        return {"Tach Scale:", "volt/krpm", "Tach Offset:"};
    return {"Signal Gain:", "amps/volt", "Signal Offset:"};
}
