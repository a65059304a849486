// CDemoLoopModel: a simple second-order model of a drive's closed loop for the
// demo link, so a step command shows a believable response with overshoot.
// It is stepped once per simulator cycle (20 ms), never by the wall clock,
// so cycles run by hand give the same curve as the simulator's thread.
#pragma once

class CDemoLoopModel {
public:
    static constexpr double kCycleSeconds = 0.02;

    // The loop takes a new command; the first one brings the model to life.
    void Command(double target);
    bool IsActive() const { return m_active; }
    // One cycle; returns the measured value.
    double Step();
    double Value() const { return m_value; }
    void Reset() { *this = CDemoLoopModel(); }

private:
    // About 2 Hz natural frequency, damping 0.3: roughly 37 % overshoot that settles in under a second.
    static constexpr double kNaturalRadPerSecond = 12.5;
    static constexpr double kDamping = 0.3;

    double m_target = 0;
    double m_value = 0;
    double m_rate = 0;
    bool m_active = false;
};
