// Edits of the drive's command mode word (13796) and the values the drive mode
// pages derive from it. Every edit starts from the word last read, so bits
// owned by other pages are written back as they were.
#pragma once

#include <array>
#include <optional>

#include "platform/core/String.h"

class CDriveModeWord {
public:
    static constexpr int kVelocity = 2;
    static constexpr int kPosition = 4;
    static constexpr int kPulseFollower = 8;
    static constexpr int kTwoPhase = 16;

    // Velocity Enable: checking leaves two-phase current mode.
    static int VelocityEnable(int last, bool checked);
    // Position Enable: checking leaves two-phase current mode.
    static int PositionEnable(int last, bool checked);
    static int DigitalOnly(int last) { return last & ~kPulseFollower; }
    static int PulseFollower(int last) { return last | kPulseFollower; }
    static int TwoPhase(int last, bool checked);
    // Pulse follower input type (16589): n in the low two bits, the rest kept.
    static int InputType(int lastType, int n) { return n | (lastType & ~3); }

    // Velocity command source (3188) from the radios; nullopt when none is checked.
    static std::optional<int> VelocitySource(bool analog, bool pwm50, bool pwm100);
    // Which of Analog / 50% PWM / 100% PWM shows checked.
    static std::array<bool, 3> VelocityRadios(int mode, int source);

    // "[X] Velocity" / "[  ] Velocity".
    static CString TabCaption(bool enabled, const char* name);
};
