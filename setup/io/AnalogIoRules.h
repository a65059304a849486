// CAnalogIoRules: what the two analog I/O windows enable, label and step,
// from the drive's model (conversion parameter 6), its command mode and the
// readings they depend on; apart from the windows.
#pragma once

struct TavroAnalogEnables {
    bool outputTest = false;  // the analog output's test row
    bool aux = false;         // every auxiliary output control
    bool auxTest = false;     // the auxiliary output's test row
};

struct KrelnInputEnables {
    bool primary = false;        // gain, offset and dead band of the command input
    bool aux = false;            // the aux input's gain and offset
    const char* gainUnit = "";  // the command input gain's unit label
};

// How the aux input gain pair is bound: the tach gain register or the plain aux gain.
struct AuxGainBinding {
    int tach = 0;
    unsigned short reg = 0;
    const char* gainName = "";
    const char* offsetName = "";
};

// A spin step: fixed, or one drive unit in display units but never below the minimum.
struct SpinStepSetting {
    double step = 0.1;
    int inDriveUnits = 0;
    double minimum = 0.0;
};

class CAnalogIoRules {
public:
    static constexpr int kModeVelocity = 2;
    static constexpr int kModePosition = 4;

    // The aux output exists when hardware flag item 12 was read without error and
    // either the firmware version (conversion parameter 19) is 5 or more or bit 8
    // of the flag word is set. An unknown version counts as no aux output.
    static bool TavroAuxPresent(bool flagsRead, long flags, bool versionKnown, double version);
    static TavroAnalogEnables TavroEnables(int outputSource, bool auxPresent, int auxSource);

    static bool IsVelocityMode(int mode) { return (mode & kModeVelocity) && !(mode & kModePosition); }
    static bool IsPositionMode(int mode) { return (mode & kModePosition) != 0; }
    // ch: conversion parameter 6; etf: conversion parameter 10; feedback: the reading of 3373.
    static KrelnInputEnables KrelnInputs(int ch, int mode, int etf, long feedback);
    static AuxGainBinding AuxBinding(int etf);
    // Drives without a scaled command input (ch 10, 11) never warn; others do while model data 10 is 0.
    static bool WarnsOfZeroInputScale(int ch, long inputScale);
    static SpinStepSetting InputGainStep(int mode);
    // The step a spin moves its edit by; `perDriveUnit` is one drive unit in display units.
    static double SpinStep(const SpinStepSetting& setting, double perDriveUnit);
};
