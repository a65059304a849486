// CControlSignalRules: which companion boxes of the control-loop signals
// window are usable, from the command mode and conversion parameters 6 and 5.
#pragma once

// A box's state: usable, greyed, or blanked (caption one blank, greyed).
enum SignalBoxState : int { kBoxEnabled = 0, kBoxDisabled = 1, kBoxBlanked = 2 };

struct ControlSignalBoxes {
    int currentCommanded = kBoxEnabled;   // 1475
    int velocityMeasured = kBoxEnabled;   // 1479
    int velocityCommanded = kBoxEnabled;  // 1484
    int velocityError = kBoxEnabled;      // 1482
    int positionCommanded = kBoxEnabled;  // 1490
    int positionError = kBoxEnabled;      // 2500
    int positionMeasured = kBoxEnabled;   // 1493
    int rpmEnabled = 1;
    const char* rpmCaption = "Rpm";
};

class CControlSignalRules {
public:
    static ControlSignalBoxes Apply(int modeValue, int cs, int linear);
};
