#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "setup/tuning/CurrentLoopTuning.h"

namespace {

constexpr double kTwoPi = 6.28318530718;

struct TestWindow : CCurrentLoopTuningWindow {
    double GetResistanceField() override { return resistance; }
    double GetInductanceField() override { return inductance; }
    double GetBusVoltsField() override { return volts; }
    int GetPhase() override { return phase; }
    bool IsFineTuning() override { return fine; }
    bool ReadDriveGains(CurrentLoopMotorValues& values) override
    {
        values = drive;
        return driveReadable;
    }
    void ShowMessage(const CString& text) override { messages.push_back(std::string(text)); }
    void SetAutoTuneResults(int gip, int gii, int gim, int bandwidth) override
    {
        results = {gip, gii, gim, bandwidth};
    }

    double resistance = 100, inductance = 200, volts = 320;
    int phase = 3;
    bool fine = false;
    CurrentLoopMotorValues drive;
    bool driveReadable = true;
    std::vector<std::string> messages;
    std::vector<int> results;
};

CurrentLoopConversions Conversions(double currentGain = 0.002, double servoFreq = 8000, double cs = 10)
{
    CurrentLoopConversions c;
    c.cs = cs;
    c.servoFreq = servoFreq;
    c.currentGain = currentGain;
    return c;
}

// The closed loop the sweep looks at, written out here from the loop's parts.
double ClosedLoopDb(const CurrentLoopConversions& conv, CurrentLoopMotorValues v, int phase, double f)
{
    if (phase != 1) {
        v.Resistance /= 2;
        v.Inductance /= 2;
        v.BusVolts = static_cast<int>(v.BusVolts / std::sqrt(3.0));
    }
    const double e = static_cast<int>(conv.currentGain * 3276700) / 100.0;
    const double fs = static_cast<int>(2 * conv.servoFreq);
    const double w = kTwoPi * f;
    const std::complex<double> pi(v.ProportionalGain / 32768.0, -v.IntegralGain * fs / (w * 32768.0));
    const std::complex<double> motor(v.Resistance / 100.0, w * v.Inductance / 100000.0);
    const std::complex<double> open = static_cast<double>(v.BusVolts) * v.MasterGain * pi / motor;
    const std::complex<double> delay = 1.0 / std::complex<double>(1, w * 33.2e-6);
    return 20 * std::log10(std::abs(open / (1.0 + open * delay / e)) / e);
}

}  // namespace

TEST(CurrentLoopTuningTest, ProportionalAndIntegralGainEdges)
{
    EXPECT_EQ(CalcCurrentProportionalGain(655, 0, 10, 1000, 100, 200), CalcCurrentProportionalGain(655, 1, 10, 1000, 100, 200));
    EXPECT_EQ(CalcCurrentProportionalGain(655, 320, 0, 1000, 100, 200), 0) << "GIM 0";
    EXPECT_EQ(CalcCurrentProportionalGain(655, -5, 1, 1000, 100, 200), 0) << "negative volts";
    EXPECT_EQ(CalcCurrentProportionalGain(655000, 1, 1, 5000, 10000, 20000), 32767) << "capped";
    EXPECT_LT(CalcCurrentProportionalGain(-655, 320, 1, 1000, 100, 200), 0) << "negative results stay";
    // 0.51 ohm, 1 mH at 1 kHz: sqrt(0.51^2 + 6.283^2) * 6.55 * 3276.7 / 320.
    EXPECT_EQ(CalcCurrentProportionalGain(655, 320, 10, 1000, 100, 200), 423);

    // Integral: the larger of the loop's corner and the motor's, over fs, times 2 pi GIP.
    EXPECT_EQ(CalcCurrentIntegralGain(10, 1000, 100, 200, 1000, 16000), 39) << "BW/10 = 100 > 79.6 Hz";
    EXPECT_EQ(CalcCurrentIntegralGain(20, 1000, 100, 200, 1000, 16000), 79) << "CS above 15: BW/5";
    EXPECT_EQ(CalcCurrentIntegralGain(10, 1000, 1000, 200, 100, 16000), 313) << "the motor's corner is higher";
    EXPECT_EQ(CalcCurrentIntegralGain(10, 1000, 100, 200, 1000, 0), 0);
    EXPECT_EQ(CalcCurrentIntegralGain(10, 30000, 100, 0, 5000, 1), 32767);
}

TEST(CurrentLoopTuningTest, TheBandwidthReadBackIsTheOneDesignedFor)
{
    const CurrentLoopConversions conv = Conversions();
    const int A = static_cast<int>(conv.currentGain * 3276700);
    for (int phase : {1, 3}) {
        for (int R : {50, 200, 800}) {
            for (int L : {100, 500, 2500}) {
                for (int V : {48, 320}) {
                    for (int BW : {500, 1500}) {
                        const double R2 = phase == 1 ? 2.0 * R : R, L2 = phase == 1 ? 2.0 * L : L;
                        const int V2 = phase == 1 ? V : static_cast<int>(V / std::sqrt(3.0));
                        const int gim = 4;
                        const int gip = CalcCurrentProportionalGain(A, V2, gim, BW, R2, L2);
                        if (gip >= 32767 || gip < 50)
                            continue;  // outside the register, or too coarse to read back
                        CurrentLoopMotorValues values;
                        values.Resistance = static_cast<int>(R2);
                        values.Inductance = static_cast<int>(L2);
                        values.MasterGain = gim;
                        values.BusVolts = V2;
                        values.ProportionalGain = gip;
                        const double back = BandwidthFromProportionalGain(values, conv);
                        EXPECT_NEAR(back, BW, 0.01 * BW + 2) << phase << " phase, R " << R << ", L " << L << ", V " << V;
                    }
                }
            }
        }
    }
    CurrentLoopMotorValues values;
    values.Resistance = 100;
    values.Inductance = 0;  // raised to 1
    values.MasterGain = 1;
    values.BusVolts = 1;
    values.ProportionalGain = 1;  // an impedance below the resistance term
    EXPECT_EQ(BandwidthFromProportionalGain(values, conv), 0);
    EXPECT_EQ(values.Inductance, 1);
    EXPECT_EQ(CalcCurrentLoopBandwidth(4, 200, 400, 3000, 320, 0.002),
              [&] {
                  CurrentLoopMotorValues v;
                  v.MasterGain = 4;
                  v.Resistance = 200;
                  v.Inductance = 400;
                  v.ProportionalGain = 3000;
                  v.BusVolts = 320;
                  return BandwidthFromProportionalGain(v, Conversions(0.002, 0, 0));
              }());
}

TEST(CurrentLoopTuningTest, TheSweepStopsAtTheFirstPointBelowItsThreshold)
{
    const CurrentLoopConversions conv = Conversions();
    for (int phase : {1, 3}) {
        for (int gip : {300, 1500, 6000}) {
            CurrentLoopMotorValues v;
            v.Resistance = 200;
            v.Inductance = 400;
            v.MasterGain = 4;
            v.BusVolts = 320;
            v.ProportionalGain = gip;
            v.IntegralGain = gip / 10;
            int expected = 5050;
            for (int f = 100; f <= 5100; f += 100) {
                if (ClosedLoopDb(conv, v, phase, f) < -2.9) {
                    expected = f - 50;
                    break;
                }
            }
            const CurrentLoopMotorValues before = v;
            EXPECT_EQ(EffectiveBandwidthFromResponse(conv, v, phase), expected) << phase << " phase, GIP " << gip;
            EXPECT_EQ(EffectiveBandwidthFromResponse(conv, v, phase), expected) << "the record is not changed";
            EXPECT_EQ(v.Resistance, before.Resistance);
        }
    }
    CurrentLoopMotorValues weak;
    weak.Resistance = 200;
    weak.Inductance = 400;
    weak.MasterGain = 1;
    weak.BusVolts = 1;
    weak.ProportionalGain = 1;
    EXPECT_EQ(EffectiveBandwidthFromResponse(conv, weak, 1), 50) << "already below at 100 Hz";
    EXPECT_EQ(EffectiveBandwidthFromResponse(Conversions(0), weak, 1), 5050) << "no current scale: never below";
}

TEST(CurrentLoopTuningTest, AutoTuningPutsTheCrossoverAtItsPhaseMargin)
{
    for (double Rp : {25.0, 50.0, 150.0, 400.0}) {
        for (double Lp : {50.0, 200.0, 1000.0, 4000.0}) {
            const int bw = CurrentLoopTargetBandwidth(Rp, Lp);
            const auto phase = [&](double f) {
                return (std::atan(kTwoPi * f * Lp / 100000 / (Rp / 100)) + kTwoPi * f * 55e-6) * 180 / 3.14159265359;
            };
            if (bw == 4200) {
                EXPECT_LE(phase(4200), 135.1) << Rp << " " << Lp;
                continue;
            }
            // The whole hertz below the crossover, and the one above it.
            EXPECT_NEAR(phase(bw), 135, 0.1) << "R " << Rp << ", L " << Lp;
            EXPECT_GE(phase(bw + 1), 135 - 0.1);
        }
    }
    EXPECT_EQ(CurrentLoopTargetBandwidth(10000, 1), 4200) << "a nearly resistive motor runs to the cap";

    for (int phase : {1, 3}) {
        TestWindow window;
        window.phase = phase;
        AutoTuneCurrentLoop(window, Conversions());
        ASSERT_EQ(window.results.size(), 4u);
        const double Rp = phase == 1 ? window.resistance : window.resistance * 0.5;
        const double Lp = phase == 1 ? window.inductance : window.inductance * 0.5;
        const int bw = CurrentLoopTargetBandwidth(Rp, Lp);
        // The gains are the ones designed for that bandwidth with the master gain found.
        const double R2 = phase == 1 ? 2 * window.resistance : window.resistance;
        const double L2 = phase == 1 ? 2 * window.inductance : window.inductance;
        const int V2 = static_cast<int>(phase == 1 ? window.volts : window.volts / std::sqrt(3.0));
        const int kp = CalcCurrentProportionalGain(6553, V2, window.results[2], bw, R2, L2);
        const double lag = kTwoPi * bw * 332e-7;
        EXPECT_EQ(window.results[0], static_cast<int>(0.5 * kp * std::sqrt(1 + lag * lag))) << phase;
        EXPECT_GE(kp, 3276);
        EXPECT_LT(kp, 32767);
        EXPECT_LE(window.results[3], 3500);
    }
}

TEST(CurrentLoopTuningTest, AutoTuningCapsItsTargetsAndItsIntegralGain)
{
    TestWindow window;
    window.phase = 1;
    window.resistance = 10000;  // a lag so small the target runs to its cap
    window.inductance = 1;
    AutoTuneCurrentLoop(window, Conversions(0.002, 1));  // a servo frequency of 1 Hz
    ASSERT_EQ(window.results.size(), 4u);
    EXPECT_LE(window.results[1], 32767) << "a low servo frequency cannot push GII past its register";
    EXPECT_LE(window.results[3], 3500);
    TestWindow zero;
    zero.resistance = 0;
    zero.inductance = 0;
    AutoTuneCurrentLoop(zero, Conversions(0.002, 0));
    ASSERT_EQ(zero.results.size(), 4u);
    EXPECT_EQ(zero.results[1], 0) << "no servo frequency: no integral gain";
}

TEST(CurrentLoopTuningTest, SaturatedManualFitTakesItsBandwidthFromTheFineTuningBox)
{
    TestWindow window;
    window.resistance = 100;
    window.inductance = 10000;
    window.volts = 48;
    window.drive.ProportionalGain = 32000;
    window.drive.IntegralGain = 500;
    window.drive.MasterGain = 8;
    for (bool fine : {false, true}) {
        window.fine = fine;
        window.messages.clear();
        int gip = 0, gii = 0, gim = 1, bw = 4000;
        FitManualCurrentGains(window, Conversions(0.0006, 16000, 16), gip, gii, gim, bw);
        ASSERT_EQ(gip, 32767) << fine;
        CurrentLoopMotorValues fitted = window.drive;
        fitted.Resistance = 100;
        fitted.Inductance = 10000;
        fitted.BusVolts = 48;
        fitted.MasterGain = gim;
        const double expected = fine ? EffectiveBandwidthFromResponse(Conversions(0.0006, 16000, 16), fitted, 3)
                                     : BandwidthFromProportionalGain(fitted, Conversions(0.0006, 16000, 16));
        EXPECT_EQ(bw, static_cast<int>(expected)) << fine;
        if (!fine) {
            EXPECT_EQ(bw, 3886);
            EXPECT_EQ(gii, 5000);
        }
    }
}

TEST(CurrentLoopTuningTest, ManualFitScansTheMasterGainAndReportsSaturation)
{
    TestWindow window;
    window.resistance = 100;
    window.inductance = 200;
    window.volts = 320;
    int gip = 0, gii = 0, gim = 1, bw = 1000;
    FitManualCurrentGains(window, Conversions(), gip, gii, gim, bw);
    EXPECT_EQ(gip, CalcCurrentProportionalGain(6553, 320, gim, 1000, 100, 200));
    EXPECT_LT(gip, 32767);
    EXPECT_GT(gip, 32767 / 4) << "rescaled to use the register";
    EXPECT_EQ(gii, CalcCurrentIntegralGain(10, gip, 100, 200, 1000, 16000));
    EXPECT_TRUE(window.messages.empty());

    // A gain that saturates at every master gain: the scan ends at 511 and the bandwidth comes down.
    TestWindow hard;
    hard.resistance = 20000;
    hard.inductance = 50000;
    hard.volts = 1;
    hard.drive.ProportionalGain = 20000;
    hard.drive.IntegralGain = 100;
    gim = 1;
    bw = 5000;
    FitManualCurrentGains(hard, Conversions(2.0), gip, gii, gim, bw);
    EXPECT_EQ(gip, 32767);
    EXPECT_EQ(gim, 512) << "511 rescaled stays 511, then one more";
    ASSERT_EQ(hard.messages.size(), 1u);
    EXPECT_EQ(hard.messages[0], "You have reached proportional gain saturation!\n        LOWERING BANDWIDTH");
    EXPECT_EQ(bw, 0) << "box clear: the bandwidth of the drive's gain, whose impedance is below the resistance";
    hard.fine = true;
    gim = 1;
    bw = 5000;
    FitManualCurrentGains(hard, Conversions(2.0), gip, gii, gim, bw);
    EXPECT_EQ(bw, 50) << "box checked: the sweep, below -2.9 dB at 100 Hz already";
    hard.fine = false;

    hard.messages.clear();
    hard.driveReadable = false;
    gim = 1;
    bw = 5000;
    FitManualCurrentGains(hard, Conversions(2.0), gip, gii, gim, bw);
    ASSERT_EQ(hard.messages.size(), 2u);
    EXPECT_EQ(hard.messages[0], "Could not receive values. Please try again");
    EXPECT_EQ(bw, 5000);

    // A master gain of 0 or less starts the scan from 1 instead of saturating.
    for (int start : {0, -3}) {
        TestWindow fresh;
        gim = start;
        bw = 1000;
        FitManualCurrentGains(fresh, Conversions(), gip, gii, gim, bw);
        EXPECT_TRUE(fresh.messages.empty()) << start;
        EXPECT_GE(gim, 1);
        EXPECT_LT(gip, 32767);
    }
}
