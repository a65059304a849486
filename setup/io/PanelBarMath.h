// The control panel's set-point bar arithmetic: clamps, the click target and
// the marker's place, apart from the window that draws them.
#pragma once

#include "platform/core/WinTypes.h"

class CPanelOptionsMode;
class CPanelScaling;

class CPanelBarMath {
public:
    // The value after a step up or down, held within the mode's Min and Max.
    static double Stepped(const CPanelOptionsMode& mode, double value, double amount, int up);
    // The fraction -1 (left edge) .. 1 (right edge) of a click at x on a bar.
    static double ClickFraction(int x, int left, int width);
    // The value a click proposes: whole counts in position mode, whole drive units in velocity mode.
    static double ClickTarget(const CPanelOptionsMode& mode, const CPanelScaling& scaling, int x, int left,
                              int width);
    // The marker's x within left + 2 .. right - 2; a mode with Max <= Min puts it at the left.
    static int MarkerX(const CPanelOptionsMode& mode, double value, int left, int right);
    // Limits read with Max <= Min are no limits: that mode takes its defaults.
    static bool LimitsUsable(const CPanelOptionsMode& mode);
};
