#include "setup/io/AnalogIoRules.h"

#include <cmath>

namespace {
constexpr long kAuxOutputFlag = 0x100;
constexpr double kFirstAuxVersion = 5.0;
constexpr unsigned short kTachGainRegister = 21091;
constexpr unsigned short kAuxGainRegister = 1075;
constexpr long kTachFeedback = 4;

bool WithoutScaledInput(int ch) { return ch == 10 || ch == 11; }
}  // namespace

bool CAnalogIoRules::TavroAuxPresent(bool flagsRead, long flags, bool versionKnown, double version)
{
    if (!flagsRead || !versionKnown)
        return false;
    return version >= kFirstAuxVersion || (flags & kAuxOutputFlag) != 0;
}

TavroAnalogEnables CAnalogIoRules::TavroEnables(int outputSource, bool auxPresent, int auxSource)
{
    TavroAnalogEnables enables;
    enables.outputTest = outputSource == 0;
    enables.aux = auxPresent;
    enables.auxTest = auxPresent && auxSource == 0;
    return enables;
}

KrelnInputEnables CAnalogIoRules::KrelnInputs(int ch, int mode, int etf, long feedback)
{
    KrelnInputEnables enables;
    const bool position = IsPositionMode(mode);
    enables.primary = !WithoutScaledInput(ch) && !position;
    if (ch == 1)
        enables.gainUnit = "rpm/volt";
    else if (!position)
        enables.gainUnit = IsVelocityMode(mode) ? "rpm/volt" : "amps/volt";
    enables.aux = ch == 9 || (ch > 15 && (etf == 1 || feedback == kTachFeedback));
    return enables;
}

AuxGainBinding CAnalogIoRules::AuxBinding(int etf)
{
    if (etf != 0)
        return {1, kTachGainRegister, "Tach Gain", "Tach Offset"};
    return {0, kAuxGainRegister, "Aux Analog Input Signal Gain", "Aux Analog Input Signal Offset"};
}

bool CAnalogIoRules::WarnsOfZeroInputScale(int ch, long inputScale)
{
    return !WithoutScaledInput(ch) && inputScale == 0;
}

SpinStepSetting CAnalogIoRules::InputGainStep(int mode)
{
    if (IsVelocityMode(mode))
        return {0.01, 1, 0.01};
    return {0.01, 0, 0.0};
}

double CAnalogIoRules::SpinStep(const SpinStepSetting& setting, double perDriveUnit)
{
    if (!setting.inDriveUnits)
        return setting.step;
    const double step = std::fabs(perDriveUnit);
    return step < setting.minimum ? setting.minimum : step;
}
