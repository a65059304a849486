// Gearing arithmetic of the pulse follower (gear out, gear in, gear in factor)
// and the encoder output word (6308) shared by the position mode page and the
// electronic gearing window.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/core/String.h"

class CElectronicGearing {
public:
    static constexpr int kReverseBit = 128;

    // Gear out / gear in; 0 when gear in is not above 0.
    static double LinkRatio(double gearOut, double gearIn);
    // 4294967295 / gear in, truncated; 0 when gear in is not above 0.
    static std::uint32_t GearInFactor(double gearIn);
    // The negated gear out entry, truncated and kept inside the 16-bit range
    // (-32768 gives 32767).
    static int ReverseGearOut(double gearOut);

    // -1 unknown, 0 no divisor, 1 power-of-two divisor, 2 plain divisor.
    static int DivisorKind(std::optional<int> hardwareWord23, std::optional<int> firmware);
    static bool ReverseAvailable(std::optional<int> firmware) { return firmware && *firmware > 422; }
    // Caption of divisor radio k (1 .. 8).
    static CString DivisorCaption(int kind, int k);
    // "Drive value:" text for encoder output word v.
    static CString DriveValueText(int kind, int v);
    // The radio (1 .. 8) the word selects; other values check none.
    static int CheckedRadio(int v) { return v & 127; }
    // The word a send writes, or nullopt when nothing may be written: a
    // divisor nobody chose is never sent.
    static std::optional<int> EncoderOutputWord(int kind, int checkedRadio, bool reverseAvailable,
                                                bool reverseChecked, std::optional<int> lastWord);
};
