// The current loop's arithmetic: PI gains from the motor's resistance,
// inductance and bus voltage, and the bandwidth back from gains. Pure
// computations; what the tuning window supplies comes through
// CCurrentLoopTuningWindow.
#pragma once

#include "platform/core/String.h"

// Drive units: resistance 0.01 ohm, inductance 0.01 mH (both line to line), volts.
struct CurrentLoopMotorValues {
    int Resistance = 0;
    int Inductance = 0;
    int MasterGain = 0;
    int BusVolts = 0;
    int ProportionalGain = 0;
    int IntegralGain = 0;
};

// GPD_CS, GPD_SERVO_FREQ_I, GPD_A2E_CURRENT_GAIN.
struct CurrentLoopConversions {
    double cs = 0;
    double servoFreq = 0;
    double currentGain = 0;
};

// What the computations read of the setup motor parameters window and tell it.
class CCurrentLoopTuningWindow {
public:
    virtual ~CCurrentLoopTuningWindow() = default;
    // The resistance, inductance and bus voltage fields in drive units.
    virtual double GetResistanceField() = 0;
    virtual double GetInductanceField() = 0;
    virtual double GetBusVoltsField() = 0;
    // 1 single-phase; anything else three-phase.
    virtual int GetPhase() = 0;
    // The "Fine Tuning" box: checked, the bandwidth comes from the closed-loop sweep.
    virtual bool IsFineTuning() = 0;
    // The drive's present GIP, GII and GIM; false when they cannot be read.
    virtual bool ReadDriveGains(CurrentLoopMotorValues& values) = 0;
    virtual void ShowMessage(const CString& text) = 0;
    virtual void SetAutoTuneResults(int proportionalGain, int integralGain, int masterGain, int bandwidth) = 0;
};

constexpr int kCurrentGainMax = 32767;
extern const char* const kCouldNotReceiveValues;    // "Could not receive values. Please try again"
extern const char* const kProportionalSaturation;  // the saturation message

// trunc(GPD_A2E_CURRENT_GAIN x 3276700) and trunc(2 x GPD_SERVO_FREQ_I).
int CurrentScaleOf(const CurrentLoopConversions& conversions);
int SampleRateOf(const CurrentLoopConversions& conversions);

int CalcCurrentProportionalGain(int A, int V, int GIM, int BW, double R, double L);
int CalcCurrentIntegralGain(int CS, int GIP, int R, int L, int BW, double fs);
// Raises a non-positive Inductance in the record to 1.
double BandwidthFromProportionalGain(CurrentLoopMotorValues& values, const CurrentLoopConversions& conversions);
// The closed loop swept from 100 Hz: the first frequency below -2.9 dB, less 50.
int EffectiveBandwidthFromResponse(const CurrentLoopConversions& conversions, const CurrentLoopMotorValues& values,
                                   int phase);
double CurrentLoopBandwidthByMode(CCurrentLoopTuningWindow& window, const CurrentLoopConversions& conversions,
                                  const CurrentLoopMotorValues& values, int mode);
double CalcCurrentLoopBandwidth(int masterGain, int resistance, int inductance, int proportionalGain, int busVolts,
                                double currentGain);
void FitManualCurrentGains(CCurrentLoopTuningWindow& window, const CurrentLoopConversions& conversions, int& outGIP,
                           int& outGII, int& inOutGIM, int& inOutBW);
void AutoTuneCurrentLoop(CCurrentLoopTuningWindow& window, const CurrentLoopConversions& conversions);
// Auto-tuning's target: the crossover at which the motor's lag (phase R and L
// in drive units) and a 55 microsecond delay leave 45 degrees, at most 4200 Hz.
int CurrentLoopTargetBandwidth(double phaseResistance, double phaseInductance);

// Rounding half away from zero, and reals turned into integers without
// undefined results: NaN gives 0, values beyond an int are held at its ends.
int RoundToInt(double x);
int TruncToInt(double x);
