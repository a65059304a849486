// Motor safety arithmetic: firmware features, the fold-back rate and the
// I2T prediction of the largest current and longest time allowed.
#pragma once

#include <optional>

struct MotorSafetyFeatures {
    bool foldBack = false;          // 4.08 and later
    bool i2tPrediction = false;     // 4.1 and later
    bool overspeedAndFollowing = false;  // 4.13 and later
};

struct FoldBackConversion {
    int controlSystem = 0;   // conversion parameter 6
    double currentGain = 0;  // parameter 9, or parameter 1 when the control system is 1
    double servoFreq = 0;    // parameter 4
};

struct I2tInputs {
    double driveContinuous = 0;  // Ic, amps
    double drivePeak = 0;        // Ip, amps
    int driveThermalCoeff = 0;   // k
    double motorPeak = 0;        // peak current as read, before the sqrt(2)
    double motorContinuous = 0;  // continuous current as read
    double motorTimeConstant = 0;
    double desiredTime = 0;
    double desiredCurrent = 0;
};

struct I2tResult {
    double timeRowCurrent = 0;
    double timeRowTime = 0;
    double currentRowCurrent = 0;
    double currentRowTime = 0;
};

class CMotorSafetyCalc {
public:
    static MotorSafetyFeatures FeaturesForVersion(double firmwareVersion);

    // Raw IFR to amps per second and back (the formula is its own inverse);
    // 0 when it cannot be computed.
    static double FoldBackRate(double x, const FoldBackConversion& conv);
    // The IFR for an entered rate; nothing outside rate(7629) .. rate(1).
    static std::optional<int> FoldBackIfr(double rate, const FoldBackConversion& conv);
    static double MinFoldBackRate(const FoldBackConversion& conv);
    static double MaxFoldBackRate(const FoldBackConversion& conv);

    // Every result is a finite number and never negative zero.
    static I2tResult PredictI2t(const I2tInputs& in);

    static constexpr double kDriveTimeFallback = 32676;
    static constexpr double kMotorTimeFallback = 32767;
};
