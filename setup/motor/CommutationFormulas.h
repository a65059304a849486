// Phase lead, current ramp and timer tick conversions between the drive's
// raw registers and the values the commutation windows show.
#pragma once

#include <optional>

struct PhaseLeadInputs {
    int motorKind = 0;       // MC: 0 rotary, 1 linear
    int gvs = 0;             // gain-velocity scale, 1..30
    double lines = 0;        // entered lines (rotary) or resolution
    double servoFreq = 0;    // servo frequency
    int controlSystem = 0;   // conversion parameter 6
};

class CCommutationFormulas {
public:
    // The entered phase lead as a CPL value: limited, normalised, clamped
    // to 16 bits before it becomes an integer.
    static int PhaseLeadToCpl(double phaseLead, const PhaseLeadInputs& in);
    // The phase lead a CPL value shows; 0 when it cannot be computed.
    static double CplToPhaseLead(int cpl, const PhaseLeadInputs& in);

    // The ramp between two currents (amps): nothing when the final current
    // is not above the initial one or the register would leave 0..32767.
    static std::optional<double> RampSeconds(int cir, double initialAmps, double finalAmps);
    static std::optional<int> RampCir(double seconds, double initialAmps, double finalAmps);

    // Timer ticks of 10.24 ms; nothing outside the register's range.
    static double TimerTickSeconds(int ctt);
    static std::optional<int> TimerTicks(double seconds);

    // A rotary pole entry on the configuration page: rounded, an odd count
    // lowered by one, then clamped to 2..100; outOfRange tells whether the
    // range message is due.
    static int ConfigPagePoles(double entered, bool& outOfRange);

    // The commutation window's poles entry: the value the edit shows (an odd
    // rotary count lowered by one) and the pole value the motor takes, if any.
    static int KrelnPolesShown(int entered, bool rotary);
    static std::optional<int> KrelnPolesTaken(int entered, bool rotary);
    // Its lines entry: the line value the motor takes, if any (linear: um
    // entered, 0.01 um kept).
    static std::optional<double> KrelnLinesTaken(double entered, bool rotary, double current);
    // 65534 angle units make 360 degrees.
    static double AngleDegrees(double raw) { return raw * 360.0 / 65534.0; }
    static double AngleUnits(double degrees) { return degrees * 65534.0 / 360.0; }

    static constexpr int kMaxCir = 32767;
    static constexpr int kMinCtt = -32768;
    static constexpr int kMaxCtt = 32767;
};
