#include "setup/tuning/CurrentLoopTuning.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

const char* const kCouldNotReceiveValues = "Could not receive values. Please try again";
const char* const kProportionalSaturation = "You have reached proportional gain saturation!\n        LOWERING BANDWIDTH";

namespace {

constexpr double kTwoPi = 6.28318530718;
constexpr double kPi = 3.14159265359;
constexpr int kMasterGainScanEnd = 512;

int ClampToInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (x <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(x);
}

int CapGain(int gain) { return gain > kCurrentGainMax ? kCurrentGainMax : gain; }

// atan(numerator / denominator) with the limits a zero denominator stands for.
double AtanOfRatio(double numerator, double denominator)
{
    if (denominator == 0)
        return numerator > 0 ? kPi / 2 : numerator < 0 ? -kPi / 2 : 0.0;
    return std::atan(numerator / denominator);
}

}  // namespace

int RoundToInt(double x) { return ClampToInt(x >= 0 ? std::floor(x + 0.5) : std::ceil(x - 0.5)); }

int TruncToInt(double x) { return ClampToInt(std::trunc(x)); }

int CurrentScaleOf(const CurrentLoopConversions& conversions) { return TruncToInt(conversions.currentGain * 3276700); }

int SampleRateOf(const CurrentLoopConversions& conversions) { return TruncToInt(2 * conversions.servoFreq); }

int CalcCurrentProportionalGain(int A, int V, int GIM, int BW, double R, double L)
{
    if (V < 0)
        return 0;
    const double volts = V == 0 ? 1.0 : V;
    const double resistance = R / 200 + 0.01;
    const double reactance = kTwoPi * (L / 200000) * BW;
    const double k = GIM > 0 ? 32767.0 / GIM : 0.0;
    const double gain = std::sqrt(resistance * resistance + reactance * reactance) * (A / 100.0) * k / volts;
    return CapGain(RoundToInt(gain));
}

int CalcCurrentIntegralGain(int CS, int GIP, int R, int L, int BW, double fs)
{
    const double inductance = L / 200000.0;
    const double motorCorner = inductance > 0 ? (R / 200.0) / (kTwoPi * inductance) : 0.0;
    const double loopCorner = CS > 15 ? BW / 5.0 : BW / 10.0;
    const double corner = loopCorner > motorCorner ? loopCorner : motorCorner;
    if (fs <= 0)
        return 0;
    return CapGain(RoundToInt(corner / fs * kTwoPi * GIP));
}

double BandwidthFromProportionalGain(CurrentLoopMotorValues& values, const CurrentLoopConversions& conversions)
{
    const double k = values.MasterGain > 0 ? 32767.0 / values.MasterGain : 0.0;
    int A = CurrentScaleOf(conversions);
    if (A <= 0)
        A = 1;
    if (values.Inductance <= 0)
        values.Inductance = 1;
    const double resistance = values.Resistance / 200.0 + 0.01;
    const double inductance = values.Inductance / 200000.0;
    // Formed in 64 bits: the gain and the volts cannot overflow it.
    const double product = static_cast<double>(static_cast<long long>(values.ProportionalGain) * values.BusVolts);
    const double impedance = k > 0 && A / 100.0 > 0 ? product / (k * A / 100.0) : resistance;
    const double reactance =
        impedance * impedance >= resistance * resistance ? std::sqrt(impedance * impedance - resistance * resistance) : 0.0;
    return inductance > 0 ? RoundToInt(reactance / (2 * kPi * inductance)) : 0.0;
}

int EffectiveBandwidthFromResponse(const CurrentLoopConversions& conversions, const CurrentLoopMotorValues& given,
                                   int phase)
{
    // A copy: a record reused by the caller must not be halved twice.
    CurrentLoopMotorValues values = given;
    const int A = CurrentScaleOf(conversions);
    const int fs = SampleRateOf(conversions);
    if (phase != 1) {
        values.Resistance = TruncToInt(values.Resistance * 0.5);
        values.Inductance = TruncToInt(values.Inductance * 0.5);
        values.BusVolts = TruncToInt(values.BusVolts / std::sqrt(3.0));
    }
    using Complex = std::complex<double>;
    const double e = A / 100.0;
    const double P = static_cast<double>(values.BusVolts) * values.MasterGain;
    for (int f = 100;; f += 100) {
        const double w = kTwoPi * f;
        const Complex controller(values.ProportionalGain / 32768.0, -(values.IntegralGain * static_cast<double>(fs)) / (w * 32768.0));
        const Complex impedance(values.Resistance / 100.0, w * values.Inductance / 100000.0);
        const Complex admittance = impedance == Complex(0, 0) ? Complex(0, 0) : 1.0 / impedance;
        const Complex lag = 1.0 / Complex(1, w * 332 * 1e-7);
        const Complex forward = (P * controller) * admittance;
        const Complex loop = e > 0 ? forward * lag / e : Complex(0, 0);
        const Complex closed = Complex(1, 0) + loop == Complex(0, 0) ? Complex(0, 0) : forward / (1.0 + loop);
        const double magnitude = e > 0 ? 20 * std::log10(std::abs(closed) / e) : 0.0;
        if (magnitude < -2.9)
            return f - 50;
        if (f + 100 >= 5150)
            return 5050;
    }
}

double CurrentLoopBandwidthByMode(CCurrentLoopTuningWindow& window, const CurrentLoopConversions& conversions,
                                  const CurrentLoopMotorValues& values, int mode)
{
    if (mode == 1)
        return EffectiveBandwidthFromResponse(conversions, values, window.GetPhase());
    CurrentLoopMotorValues copy = values;
    return BandwidthFromProportionalGain(copy, conversions);
}

double CalcCurrentLoopBandwidth(int masterGain, int resistance, int inductance, int proportionalGain, int busVolts,
                                double currentGain)
{
    CurrentLoopMotorValues values;
    values.MasterGain = masterGain;
    values.Resistance = resistance;
    values.Inductance = inductance;
    values.ProportionalGain = proportionalGain;
    values.BusVolts = busVolts;
    CurrentLoopConversions conversions;
    conversions.currentGain = currentGain;
    return BandwidthFromProportionalGain(values, conversions);
}

void FitManualCurrentGains(CCurrentLoopTuningWindow& window, const CurrentLoopConversions& conversions, int& outGIP,
                           int& outGII, int& inOutGIM, int& inOutBW)
{
    const int R = TruncToInt(window.GetResistanceField());
    const int L = TruncToInt(window.GetInductanceField());
    const int V = TruncToInt(window.GetBusVoltsField());
    const int A = CurrentScaleOf(conversions);
    const int fs = SampleRateOf(conversions);
    // A master gain of 0 or less would give a gain of 0 at every step: start from a valid one.
    int GIM = std::max(inOutGIM, 1);
    int GIP = 0;
    do {
        GIP = CalcCurrentProportionalGain(A, V, GIM, inOutBW, R, L);
        ++GIM;
    } while (GIP == kCurrentGainMax && GIM < kMasterGainScanEnd);
    const int scanned = GIM - 1;
    GIM = GIP > 0 ? TruncToInt(scanned / (32767.0 / GIP) + 0.56) : 0;
    GIM = std::max(GIM, 1);
    GIP = CalcCurrentProportionalGain(A, V, GIM, inOutBW, R, L);
    if (GIP == kCurrentGainMax) {
        ++GIM;
        GIP = CalcCurrentProportionalGain(A, V, GIM, inOutBW, R, L);
    }
    if (GIP == kCurrentGainMax) {
        CurrentLoopMotorValues drive;
        if (window.ReadDriveGains(drive)) {
            drive.Resistance = R;
            drive.Inductance = L;
            drive.BusVolts = V;
            drive.MasterGain = GIM;
            inOutBW = TruncToInt(CurrentLoopBandwidthByMode(window, conversions, drive, window.IsFineTuning() ? 1 : 2));
        } else {
            window.ShowMessage(kCouldNotReceiveValues);
        }
        window.ShowMessage(kProportionalSaturation);
    }
    outGIP = GIP;
    outGII = CalcCurrentIntegralGain(TruncToInt(conversions.cs), GIP, R, L, inOutBW, fs);
    inOutGIM = GIM;
}

int CurrentLoopTargetBandwidth(double Rp, double Lp)
{
    double period = 1.0 / 2700;
    for (int i = 0; i < 6; ++i) {
        const double phi = AtanOfRatio(kTwoPi * Lp / 100000, period * Rp / 100);
        period = 0.0003455751918949 / (2.3561944901925003 - phi);
    }
    return TruncToInt(std::min(1 / period, 4200.0));
}

void AutoTuneCurrentLoop(CCurrentLoopTuningWindow& window, const CurrentLoopConversions& conversions)
{
    const int R = TruncToInt(window.GetResistanceField());
    const int L = TruncToInt(window.GetInductanceField());
    const int V = TruncToInt(window.GetBusVoltsField());
    const bool single = window.GetPhase() == 1;
    const double Rp = single ? R : R * 0.5;
    const double Lp = single ? L : L * 0.5;

    const int BW = CurrentLoopTargetBandwidth(Rp, Lp);

    const double R2 = single ? 2.0 * R : R;
    const double L2 = single ? 2.0 * L : L;
    const int V2 = TruncToInt(single ? V : V / std::sqrt(3.0));
    const int A = CurrentScaleOf(conversions);
    int GIM = 1;
    int Kp = 0;
    // Each pass halves the gain; the bound only guards against inputs that never let it fall.
    for (int pass = 0; pass < 64; ++pass) {
        Kp = CalcCurrentProportionalGain(A, V2, GIM, BW, R2, L2);
        GIM = TruncToInt(2.0 * GIM);
        if (Kp < 3276 && GIM > 2)
            GIM = TruncToInt(GIM * 0.25);
        if (!(Kp >= kCurrentGainMax || (Kp < 3276 && GIM > 2)))
            break;
    }
    GIM = TruncToInt(GIM * 0.5);

    const double lag = kTwoPi * BW * 1e-7 * 332;
    const int GIP = CapGain(TruncToInt(0.5 * Kp * std::sqrt(1 + lag * lag)));
    const int fs = SampleRateOf(conversions);
    const double phi5k = AtanOfRatio(31.4159265359 * Lp, Rp) * 180 / kPi;
    const double theta = std::min(28.0, 96 - phi5k) * kPi / 180;
    // Capped like the proportional gain: a low servo frequency pushed it past its register.
    const int GII = fs > 0 ? CapGain(TruncToInt(std::tan(theta) * kTwoPi * BW * GIP / fs)) : 0;

    CurrentLoopMotorValues values;
    values.Resistance = R;
    values.Inductance = L;
    values.MasterGain = GIM;
    values.BusVolts = V;
    values.ProportionalGain = GIP;
    values.IntegralGain = GII;
    const int effective = std::min(EffectiveBandwidthFromResponse(conversions, values, window.GetPhase()), 3500);
    window.SetAutoTuneResults(GIP, GII, GIM, effective);
}
