// The records the tuning function generator shares with its modes and the
// servo tuning window: step settings, the drive's conversions, and the
// step-response record kept in the [TUNING] section of the settings file.
#pragma once

#include "platform/core/String.h"

struct TuningStepSettings {
    double Duration = 0.5;   // seconds
    double Dwell = 0.1;      // seconds
    int StepsPerTest = 1;
    int Direction = 1;       // 1 forward, -1 reverse, 0 bidirectional
    int TestMode = 0;        // 0 continuous, 1 sample
};

enum TuningDriveModeFlags : int {
    kTuningVelocityMode = 2,
    kTuningPositionMode = 4,
};

struct TuningContext {
    double velTachGain = 0;   // GPD_A2E_VEL_TACH_GAIN
    double velGain = 0;       // GPD_A2E_VEL_GAIN
    double etf = 0;           // GPD_ETF
    double cs = 0;            // GPD_CS
    double currentGain = 0;   // GPD_A2E_CURRENT_GAIN
    int driveModeFlags = 0;
    int driveMode = 0;
    int motorType = 0;        // 1 linear
};

// The ranges the settings dialog admits.
constexpr double kTuningMinSeconds = 0.01;
constexpr double kTuningMaxSeconds = 60.0;
constexpr int kTuningMaxSteps = 32767;

struct StepResponseRecord {
    double BaseCurrent = 0, TargetCurrent = 5;
    double BaseVelocity = 0, TargetVelocity = 200;
    double BasePosition = 0, TargetPosition = 200;
    double Duration = 0.5, Dwell = 0.1, RiseSlewRate = 1;
    int StepsPerTest = 1, Direction = 1, TestMode = 0;
    double VelocityConversion = 1, CurrentConversion = 1;

    // Reads [TUNING]; a duration, dwell or count outside the dialog's ranges
    // takes its key's default, so a damaged file never gives a zero period.
    void Read(const CString& iniPath);
    // Writes what the dialog's OK writes: keys 4 to 10 and 12 to 15.
    bool Write(const CString& iniPath) const;
    TuningStepSettings Settings() const;
};
