// CAnalogSignalLists: the signal choices of the analog outputs, read from
// the factory INI file, and the aux input's labels; apart from the window.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/String.h"

// The sources and test levels of the two analog outputs: the aux output's
// registers lie 32 above the analog output's.
constexpr WORD kAnalogOutputSource = 15401;
constexpr WORD kAuxOutputSource = 15433;
constexpr WORD kAnalogOutputTestLevel = 15414;
constexpr WORD kAuxOutputTestLevel = 15446;

struct AnalogListSections {
    CString output;           // empty: no list
    CString aux;              // empty: no list
    int disableAuxOutput = 0;  // the aux output's source and fields are greyed
};

struct AuxInputLabels {
    const char* gain;
    const char* gainUnit;
    const char* offset;
};

class CAnalogSignalLists {
public:
    // From conversion parameter 6 (ch) and parameter 7.
    static AnalogListSections SectionsFor(int ch, int param7);
    // Entries 0 to the section's count in "AO_SIGNAL_COUNT", each its
    // "Source n" text or, missing, the key name; the combo index is the source.
    static void ReadList(const char* factoryIni, const char* section, CStringArray& entries);
    static AuxInputLabels AuxLabels(int ch, double param10);
};
