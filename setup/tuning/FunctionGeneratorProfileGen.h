// CFunctionGeneratorProfileGen: the repeating step a servo tuning test
// commands: for any time since Start, the value to send.
#pragma once

#include "foundation/HPTimer.h"
#include "setup/tuning/TuningModeSet.h"

class CFunctionGeneratorProfileGen {
public:
    enum Direction { kForward = 0, kReverse = 1, kBidirectional = 2 };

    explicit CFunctionGeneratorProfileGen(CTuningModeSet& modes) : m_modes(modes) {}

    void Start(const TuningContext& context);
    // False once a sample test is over.
    bool GetValue(double& value);
    // The value in drive units of the active loop, held within its register.
    bool GetDriveValue(const TuningContext& context, int& value);
    CString GetStartText() const;

    double m_base = 0;
    double m_amplitude = 100.0;
    double m_duration = 1.0;
    double m_dwell = 1.0;
    double m_period = 2.0;
    int m_steps = -1;  // -1: continuous
    int m_direction = kForward;
    int m_remaining = -1;
    CHPTimer m_stopwatch;
    bool m_running = false;

private:
    CTuningModeSet& m_modes;
};
