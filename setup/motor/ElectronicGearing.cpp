#include "setup/motor/ElectronicGearing.h"

#include <cmath>

double CElectronicGearing::LinkRatio(double gearOut, double gearIn)
{
    return gearIn > 0 ? gearOut / gearIn : 0.0;
}

std::uint32_t CElectronicGearing::GearInFactor(double gearIn)
{
    if (!(gearIn > 0))
        return 0;
    const double factor = 4294967295.0 / gearIn;
    return factor >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(factor);
}

int CElectronicGearing::ReverseGearOut(double gearOut)
{
    double reversed = std::trunc(-gearOut);
    if (reversed > 32767)
        reversed = 32767;
    if (reversed < -32768)
        reversed = -32768;
    return static_cast<int>(reversed);
}

int CElectronicGearing::DivisorKind(std::optional<int> hardwareWord23, std::optional<int> firmware)
{
    if (!hardwareWord23 || !firmware)
        return -1;
    if (*firmware <= 418)
        return 0;
    return (*hardwareWord23 & 2) ? 2 : 1;
}

CString CElectronicGearing::DivisorCaption(int kind, int k)
{
    CString text;
    if (kind == 2)
        text.Format("%d", k);
    else if (kind == 0 || kind == 1)
        text.Format("%d", 1 << (k - 1));
    return text;
}

CString CElectronicGearing::DriveValueText(int kind, int v)
{
    const int n = CheckedRadio(v);
    CString text;
    if (kind == 1 && n > 0)
        text.Format("%u", 1u << ((n - 1) % 32));
    else if (kind == 2)
        text.Format("%d", n);
    return text;
}

std::optional<int> CElectronicGearing::EncoderOutputWord(int kind, int checkedRadio, bool reverseAvailable,
                                                         bool reverseChecked, std::optional<int> lastWord)
{
    if (kind < 1)
        return std::nullopt;
    int divisor = checkedRadio;
    if (divisor == 0) {
        // Only the reverse changes; the divisor stays as the drive holds it.
        if (!reverseAvailable || !lastWord)
            return std::nullopt;
        divisor = *lastWord & 127;
    }
    if (reverseAvailable && reverseChecked)
        divisor |= kReverseBit;
    return divisor;
}
