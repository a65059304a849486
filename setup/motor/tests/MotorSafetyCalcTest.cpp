#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "setup/motor/MotorSafetyCalc.h"

namespace {
I2tInputs Typical()
{
    I2tInputs in;
    in.driveContinuous = 10;
    in.drivePeak = 20;
    in.driveThermalCoeff = 100;  // tau 33.268 s
    in.motorPeak = 10;           // Pk 14.142
    in.motorContinuous = 5;      // Cm 7.071
    in.motorTimeConstant = 60;
    in.desiredTime = 10;
    in.desiredCurrent = 15;
    return in;
}

std::string Shown(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", value);
    return text;
}
}  // namespace

TEST(MotorSafetyCalcTest, FirmwareFeatures)
{
    struct Case {
        double version;
        bool foldBack, i2t, overspeed;
    } const cases[] = {
        {4.07, false, false, false}, {4.08, true, false, false}, {4.09, true, false, false},
        {4.1, true, true, false},    {4.12, true, true, false},  {4.13, true, true, true},
        {5.0, true, true, true},     {0.0, false, false, false},
    };
    for (const Case& c : cases) {
        const MotorSafetyFeatures f = CMotorSafetyCalc::FeaturesForVersion(c.version);
        EXPECT_EQ(f.foldBack, c.foldBack) << c.version;
        EXPECT_EQ(f.i2tPrediction, c.i2t) << c.version;
        EXPECT_EQ(f.overspeedAndFollowing, c.overspeed) << c.version;
    }
}

TEST(MotorSafetyCalcTest, FoldBackRateBothWaysAndItsRange)
{
    const FoldBackConversion older{2, 10, 16000};
    EXPECT_NEAR(CMotorSafetyCalc::FoldBackRate(1000, older), 1298.87, 0.01);
    EXPECT_NEAR(CMotorSafetyCalc::MinFoldBackRate(older), 170.26, 0.01);
    const FoldBackConversion newer{16, 10, 16000};
    EXPECT_DOUBLE_EQ(CMotorSafetyCalc::FoldBackRate(3200, newer), 100);
    EXPECT_EQ(CMotorSafetyCalc::FoldBackIfr(100, newer), 3200);
    EXPECT_EQ(CMotorSafetyCalc::FoldBackIfr(320000, newer), 1);
    EXPECT_FALSE(CMotorSafetyCalc::FoldBackIfr(41, newer));       // below rate(7629)
    EXPECT_FALSE(CMotorSafetyCalc::FoldBackIfr(320001, newer));   // above rate(1)
    for (const FoldBackConversion bad : {FoldBackConversion{16, 10, 0}, FoldBackConversion{16, 10, -1}}) {
        EXPECT_EQ(CMotorSafetyCalc::FoldBackRate(3200, bad), 0);
        EXPECT_FALSE(CMotorSafetyCalc::FoldBackIfr(100, bad));
    }
    EXPECT_EQ(CMotorSafetyCalc::FoldBackRate(0, newer), 0);
    EXPECT_EQ(CMotorSafetyCalc::FoldBackRate(-5, newer), 0);
}

TEST(MotorSafetyCalcTest, I2tPredictionOfTheTypicalMotor)
{
    const I2tResult r = CMotorSafetyCalc::PredictI2t(Typical());
    EXPECT_EQ(Shown(r.timeRowCurrent), "14.14");  // the motor peak wins
    EXPECT_EQ(Shown(r.timeRowTime), "10.00");
    EXPECT_EQ(Shown(r.currentRowCurrent), "14.14");
    EXPECT_EQ(Shown(r.currentRowTime), "17.26");  // motor: -60 ln 0.75; drive: 23.06

    I2tInputs tight = Typical();
    tight.motorPeak = 100;
    tight.motorContinuous = 100;
    tight.desiredTime = 100;
    const I2tResult t = CMotorSafetyCalc::PredictI2t(tight);
    EXPECT_EQ(Shown(t.timeRowCurrent), "10.26");  // sqrt(100 / (1 - exp(-100 / 33.268)))
}

TEST(MotorSafetyCalcTest, CurrentNotAboveTheContinuousRatingsGivesTheFallback)
{
    I2tInputs in = Typical();
    in.desiredCurrent = 5;  // below Ic 10 and Cm 7.07
    EXPECT_EQ(Shown(CMotorSafetyCalc::PredictI2t(in).currentRowTime), "32676.00");
    in.desiredCurrent = 9;  // above Cm only: the motor time is finite, the drive's falls back
    const double motorTime = -60 * std::log(1 - (50.0 / 81.0));
    EXPECT_NEAR(CMotorSafetyCalc::PredictI2t(in).currentRowTime, motorTime, 1e-9);
}

TEST(MotorSafetyCalcTest, DegenerateInputsStillGiveNumbersAndNoNegativeZero)
{
    I2tInputs zeroK = Typical();
    zeroK.driveThermalCoeff = 0;
    I2tInputs zeroTime = Typical();
    zeroTime.desiredTime = 0;
    I2tInputs zeroMotor = Typical();
    zeroMotor.motorTimeConstant = 0;
    zeroMotor.motorPeak = 0;
    I2tInputs allZero;
    I2tInputs negative = Typical();
    negative.desiredTime = -3;
    negative.desiredCurrent = -0.001;
    for (const I2tInputs& in : {zeroK, zeroTime, zeroMotor, allZero, negative}) {
        const I2tResult r = CMotorSafetyCalc::PredictI2t(in);
        for (double v : {r.timeRowCurrent, r.timeRowTime, r.currentRowCurrent, r.currentRowTime}) {
            EXPECT_TRUE(std::isfinite(v));
            EXPECT_NE(Shown(v), "-0.00");
            EXPECT_EQ(Shown(v).find("nan"), std::string::npos);
        }
    }
}
