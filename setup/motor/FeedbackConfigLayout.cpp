#include "setup/motor/FeedbackConfigLayout.h"

#include <algorithm>

#include "setup/motor/CommutationConfigLayout.h"

namespace {
bool Has(int mask, int bits)
{
    return (mask & bits) != 0;
}

int FaultWriter(int mask, bool resolver)
{
    if (Has(mask, kFeedbackQuadrature | kFeedbackSinCos))
        return kFaultWriterEncoder;
    if (Has(mask, kFeedbackAbsEncoder))
        return kFaultWriterAbsEncoder;
    if (resolver)
        return kFaultWriterResolver;
    return kFaultWriterNone;
}
}  // namespace

FeedbackLayoutResult CFeedbackConfigLayout::Arrange(int mask, int motorType, bool resolverSupported)
{
    FeedbackLayoutResult r;
    r.resolverSelected = resolverSupported && Has(mask, kFeedbackResolver);
    const bool absEncoder = Has(mask, kFeedbackAbsEncoder);
    const bool sinCos = Has(mask, kFeedbackSinCos);
    if (Has(mask, kFeedbackQuadrature | kFeedbackSinCos))
        r.leftGroups.push_back(8);
    if (absEncoder)
        r.leftGroups.push_back(9);
    if (r.resolverSelected && !absEncoder)
        r.leftGroups.push_back(18);
    if (absEncoder)
        r.rightGroups.push_back(20);
    if (sinCos)
        r.rightGroups.push_back(10);
    if (r.resolverSelected)
        r.rightGroups.push_back(11);
    r.calibrationShown = motorType == kMotorBrushless && (sinCos || r.resolverSelected);
    if (r.calibrationShown)
        r.rightGroups.push_back(15);
    if (Has(mask, kFeedbackTach))
        r.rightGroups.push_back(12);
    r.simulatedBitsWritable = r.resolverSelected;
    r.interpolationWritable = sinCos;
    r.faultWriter = FaultWriter(mask, r.resolverSelected);
    return r;
}

std::vector<int> CFeedbackConfigLayout::DivisorChoices(long long lines)
{
    std::vector<int> choices;
    for (int i = 1; i <= 8; ++i) {
        if (lines % i == 0)
            choices.push_back(i);
    }
    return choices;
}

EncoderOutputWord CFeedbackConfigLayout::DecodeOutputWord(int word)
{
    EncoderOutputWord decoded;
    decoded.divisor = word & 0x0F;
    decoded.ezMode = (word >> 4) & 0x07;
    decoded.reverse = (word & 0x80) != 0;
    return decoded;
}

int CFeedbackConfigLayout::ComposeOutputWord(int lastRead, std::optional<int> divisor, std::optional<int> ezMode)
{
    int word = lastRead;
    if (divisor)
        word = (word & ~0x0F) | (*divisor & 0x0F);
    if (ezMode)
        word = (word & ~0x70) | ((*ezMode & 0x07) << 4);
    return word;
}

int CFeedbackConfigLayout::PackBits(int cds, int align)
{
    return std::clamp(cds, 0, 15) | (std::clamp(align, 0, 15) << 4);
}

int CFeedbackConfigLayout::PackShifts(int position, int velocity)
{
    return std::clamp(position, 0, 31) | (std::clamp(velocity, 0, 31) << 8);
}

std::optional<int> CFeedbackConfigLayout::LineCountForBits(int bits)
{
    if (bits < 11 || bits > 14)
        return std::nullopt;
    return 1 << (bits - 2);
}

const char* CFeedbackConfigLayout::ProtocolName(int protocol)
{
    static const char* const kNames[] = {"BiSS-C", "Endat2.2", "T-format"};
    return protocol >= 0 && protocol <= 2 ? kNames[protocol] : "";
}

const char* CFeedbackConfigLayout::EzModeName(int mode)
{
    static const char* const kNames[] = {"Straight Pass Through", "Gated with EA and EB high", "Gated with EA high",
                                         "Gated with EB high", "One full encoder period"};
    if (mode < 0)
        return "";
    return mode <= 4 ? kNames[mode] : "Reserved";
}
