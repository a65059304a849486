#include "setup/motor/DriveModeWord.h"

int CDriveModeWord::VelocityEnable(int last, bool checked)
{
    return checked ? ((last & ~kTwoPhase) | kVelocity) : (last & ~kVelocity);
}

int CDriveModeWord::PositionEnable(int last, bool checked)
{
    return checked ? ((last | kPosition) & ~kTwoPhase) : (last & ~kPosition);
}

int CDriveModeWord::TwoPhase(int last, bool checked)
{
    return checked ? (last | kTwoPhase) : (last & ~kTwoPhase);
}

std::optional<int> CDriveModeWord::VelocitySource(bool analog, bool pwm50, bool pwm100)
{
    if (analog)
        return 0;
    if (pwm50)
        return 1;
    if (pwm100)
        return 2;
    return std::nullopt;
}

std::array<bool, 3> CDriveModeWord::VelocityRadios(int mode, int source)
{
    std::array<bool, 3> checked{};
    if (mode & kVelocity) {
        for (int i = 0; i < 3; ++i)
            checked[i] = source == i;
    }
    return checked;
}

CString CDriveModeWord::TabCaption(bool enabled, const char* name)
{
    return CString(enabled ? "[X] " : "[  ] ") + name;
}
