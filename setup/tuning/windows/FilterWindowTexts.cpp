#include "setup/tuning/windows/FilterWindowTexts.h"

#include <cmath>

namespace {
const char* const kCodes[kFilterTypeCodeCount] = {"NONE", "HP1", "LL1", "LP1", "CLP1", "LP2", "NTCH2A", "NTCH2B"};
const char* const kDescriptions[] = {"No Filter",          "High Pass, 1st Order", "Lead-Lag, 1st Order",
                                     "Low Pass, 1st Order", "Cascaded LP,1st Order", "Low Pass, 2nd Order",
                                     "Notch, 2nd Order A",  "Notch, 2nd Order B",   "Unknown Filter Type"};
const char* const kLabels[kFilterTypeCodeCount][4] = {
    {"", "", "", ""},
    {"BandWidth", "", "", ""},
    {"Lead Frequency", "Lag Frequency", "", ""},
    {"BandWidth", "", "", ""},
    {"BandWidth 1", "BandWidth 2", "", ""},
    {"Natural Frequency", "Damping Ratio", "", ""},
    {"Resonant Frequency", "Numerator Damp Ratio", "Denominator Frequency", "Denominator Damp Ratio"},
    {"Numerator Frequency", "Numerator Damp Ratio", "Denominator Frequency", "Denominator Damp Ratio"},
};
const char* const kTabs[] = {"First Filter", "Second Filter", "Third Filter", "Feedback Filter"};
}  // namespace

const char* FilterTypeCodeAt(int type) { return type >= 0 && type < kFilterTypeCodeCount ? kCodes[type] : ""; }

int FilterTypeFromCode(const CString& code)
{
    for (int type = 0; type < kFilterTypeCodeCount; ++type)
        if (code == kCodes[type])
            return type;
    return 0;
}

CString FilterTypeDescription(int type) { return kDescriptions[type >= 0 && type < kFilterTypeCodeCount ? type : 8]; }

CString FilterArgumentLabel(int type, int argument, bool withColon)
{
    if (type < 0 || type >= kFilterTypeCodeCount || argument < 0 || argument > 3)
        return CString();
    CString label = kLabels[type][argument];
    if (withColon && !label.IsEmpty())
        label += ":";
    return label;
}

CString FilterTabName(int slot) { return slot >= 0 && slot < 4 ? kTabs[slot] : ""; }

double RoundTwoDecimalsAway(double value)
{
    // Hundredths first rounded to what the decimal means, so binary noise
    // (0.05 * 100 = 5.000000000000001) does not push it a step further.
    const double hundredths = std::round(value * 100.0 * 1e6) / 1e6;
    return (value > 0 ? std::ceil(hundredths) : std::floor(hundredths)) / 100.0;
}
