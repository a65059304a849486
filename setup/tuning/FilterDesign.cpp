#include "setup/tuning/FilterDesign.h"

#include <algorithm>
#include <cmath>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"

const char* const kInvalidFilterArgument = "Invalid filter argument.";

namespace {

constexpr int kItemMin = -32768;
constexpr int kItemMax = 32767;

double Pow2(int shift) { return std::ldexp(1.0, shift); }

int RoundHalfAway(double r) { return static_cast<int>(r >= 0 ? std::floor(r + 0.5) : std::ceil(r - 0.5)); }

int ScaleOne(double x, int shift)
{
    const double r = x / Pow2(shift) * 32768.0;
    if (!(r > kItemMin - 1.0))  // also NaN
        return kItemMin;
    if (r > kItemMax + 1.0)
        return kItemMax;
    return std::clamp(RoundHalfAway(r), kItemMin, kItemMax);
}

bool IsItem(long long value) { return value >= kItemMin && value <= kItemMax; }

// |x - y| < percent of the larger magnitude.
bool Agrees(double x, double y, double percent) { return std::fabs(x - y) < percent * std::max(std::fabs(x), std::fabs(y)) / 100.0; }

// The continuous prototype of a second-order section, s^2 term of the denominator 1.
struct Prototype {
    double F = 0, E = 0, N = 0, Bs = 0, C = 0, A = 0;
};

bool RecoverPrototype(const FilterRealCoefficients& c, double T, Prototype& p)
{
    const double b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[3], a2 = c[4];
    if (a1 - a2 == 1 || a2 == -1)
        return false;
    p.F = -4 * (1 + a1 + a2) / ((a1 - a2 - 1) * T * T);
    p.E = (4 + p.F * T * T) * (1 - a2) / (2 * T * (1 + a2));
    p.N = p.F * T * T + 2 * p.E * T + 4;
    p.Bs = p.N * (b0 - b2) / (4 * T);
    p.C = (p.N * (b2 + b1 / 2) + 2 * T * p.Bs) / (2 * T * T);
    const double twoCT2 = 2 * p.C * T * T, nb1 = p.N * b1;
    p.A = (twoCT2 - nb1) / 8;
    // A difference of equal terms leaves only the rounding of the arithmetic: the term is zero.
    if (std::fabs(p.A) <= 1e-9 * std::max(std::fabs(twoCT2), std::fabs(nb1)) / 8)
        p.A = 0;
    return true;
}

bool FitFirstOrder(int type, const FilterRealCoefficients& c, double T, FilterArguments& out)
{
    const double b0 = c[0], a1 = c[2];
    switch (type) {
    case kFilterHP1:
        if (b0 == 0)
            return false;
        out.arg[0] = 2 * (1 - b0) / (b0 * T) / kFilterTwoPi;
        return true;
    case kFilterLL1: {
        if (a1 == 1)
            return false;
        const double w2 = 2 * (a1 + 1) / (T * (1 - a1));
        const double ratio = (T * w2 * (b0 - 1) + 2 * b0) / 2;
        if (ratio == 0)
            return false;
        out.arg[1] = w2 / kFilterTwoPi;
        out.arg[0] = out.arg[1] / ratio;
        return true;
    }
    case kFilterLP1:
        if (b0 == 1)
            return false;
        out.arg[0] = 2 * b0 / (T * (1 - b0)) / kFilterTwoPi;
        return true;
    default:
        return false;
    }
}

bool FitSecondOrder(int type, const FilterRealCoefficients& c, double T, FilterArguments& out)
{
    Prototype p;
    if (!RecoverPrototype(c, T, p))
        return false;
    switch (type) {
    case kFilterCLP1: {
        const double d = p.E * p.E - 4 * p.C;
        if (d < 0)
            return false;
        const double wh = (p.E + std::sqrt(d)) / 2;
        if (wh == 0)
            return false;
        const double first = wh / kFilterTwoPi, second = p.C / (kFilterTwoPi * wh);
        out.arg[0] = std::min(first, second);
        out.arg[1] = std::max(first, second);
        return true;
    }
    case kFilterLP2: {
        if (p.C <= 0)
            return false;
        const double w = std::sqrt(p.C);
        out.arg[0] = w / kFilterTwoPi;
        out.arg[1] = p.E / (2 * w);
        return true;
    }
    case kFilterNTCH2A: {
        if (p.C <= 0)
            return false;
        const double w2 = std::sqrt(p.C);
        const double z1 = p.Bs * 1.1 / (w2 * 2.42);
        const double v = p.C * (1 - 2 * z1 * z1);
        if (v < 0)
            return false;
        out.arg[0] = std::sqrt(v) / kFilterTwoPiTimes1_1;
        out.arg[1] = z1;
        out.arg[2] = w2 / kFilterTwoPi;
        out.arg[3] = p.E / (2 * w2);
        return true;
    }
    case kFilterNTCH2B: {
        if (p.F <= 0 || p.A == 0)
            return false;
        const double q = p.F / p.A;
        if (q < 0)
            return false;
        const double w1 = std::sqrt(q), w2 = std::sqrt(p.F);
        out.arg[0] = w1 / kFilterTwoPi;
        out.arg[1] = w1 * p.Bs / (2 * p.F);
        out.arg[2] = w2 / kFilterTwoPi;
        out.arg[3] = p.E / (2 * w2);
        return true;
    }
    default:
        return false;
    }
}

bool AllFinite(const FilterArguments& args)
{
    return std::all_of(std::begin(args.arg), std::end(args.arg), [](double a) { return std::isfinite(a); });
}

// Arguments that make no filter of the type: negative or missing frequencies
// and damping, and the divisions by zero of LL1 and NTCH2A.
bool ArgumentsMakeAFilter(int type, const FilterArguments& a)
{
    if (!AllFinite(a))
        return false;
    switch (type) {
    case kFilterNone:
        return true;
    case kFilterHP1:
    case kFilterLP1:
    case kFilterNTCH2A:
        return a.arg[0] > 0;
    case kFilterLL1:
    case kFilterCLP1:
        return a.arg[0] > 0 && a.arg[1] > 0;
    case kFilterLP2:
        return a.arg[0] > 0 && a.arg[1] >= 0;
    case kFilterNTCH2B:
        return a.arg[0] > 0 && a.arg[1] >= 0 && a.arg[2] > 0 && a.arg[3] >= 0;
    default:
        return false;
    }
}

TustinCoefficients DesignReal(int type, const FilterArguments& a, double T)
{
    const double w = kFilterTwoPi * a.arg[0];
    switch (type) {
    case kFilterHP1:
        return TustinFirstOrder(1, 0, 1, w, T);
    case kFilterLL1: {
        const double w1 = w, w2 = kFilterTwoPi * a.arg[1];
        return TustinFirstOrder(w2 / w1, w2, 1, w2, T);
    }
    case kFilterLP1:
        return TustinFirstOrder(0, w, 1, w, T);
    case kFilterCLP1: {
        const double w1 = w, w2 = kFilterTwoPi * a.arg[1];
        return TustinSecondOrder(0, 0, w1 * w2, 1, w1 + w2, w1 * w2, T);
    }
    case kFilterLP2:
        return TustinSecondOrder(0, 0, w * w, 1, 2 * a.arg[1] * w, w * w, T);
    case kFilterNTCH2A: {
        const double w1 = w / std::sqrt(0.995), w2 = 1.1 * w1;
        return TustinSecondOrder(w2 * w2 / (w1 * w1), 0.1 * w2 * w2 / w1, w2 * w2, 1, 1.6 * w2, w2 * w2, T);
    }
    case kFilterNTCH2B: {
        const double w1 = w, z1 = a.arg[1], w2 = kFilterTwoPi * a.arg[2], z2 = a.arg[3];
        return TustinSecondOrder(w2 * w2 / (w1 * w1), 2 * z1 * w2 * w2 / w1, w2 * w2, 1, 2 * z2 * w2, w2 * w2, T);
    }
    default: {
        TustinCoefficients none;
        none.b0 = 1;
        return none;
    }
    }
}

bool IsSecondOrder(int type) { return type >= kFilterCLP1 && type <= kFilterNTCH2B; }

// The poles of the integer block lie inside the unit circle.
bool IsStable(const FilterCoefficientBlock& block)
{
    FilterRealCoefficients real;
    if (!FilterCoefficientsToReal(block, real))
        return false;
    const double a1 = -block[FilterCoefficientBlock::kNegA1] * Pow2(block[FilterCoefficientBlock::kShift]) / 32768.0;
    const double a2 = -block[FilterCoefficientBlock::kNegA2] * Pow2(block[FilterCoefficientBlock::kShift]) / 32768.0;
    // z^2 + a1 z + a2 has both roots inside the circle exactly when |a2| < 1 and |a1| < 1 + a2.
    return std::fabs(a2) < 1 && std::fabs(a1) < 1 + a2;
}

long long DcSum(const FilterCoefficientBlock& block)
{
    long long sum = 0;
    for (int item = FilterCoefficientBlock::kNegA2; item <= FilterCoefficientBlock::kB0; ++item)
        sum += block[item];
    return sum * (1LL << block[FilterCoefficientBlock::kShift]);
}

// The integer block is the filter asked for: holdable, a numerator, stable, and
// with the type's gain at zero frequency.
bool IsBlockOfType(int type, const FilterCoefficientBlock& block)
{
    if (!IsValidFilterBlock(block))
        return false;
    if (type == kFilterNone)
        return true;
    using B = FilterCoefficientBlock;
    if (block[B::kB0] == 0 && block[B::kB1] == 0 && block[B::kB2] == 0)
        return false;
    if (!IsStable(block))
        return false;
    if (type == kFilterHP1)
        return block[B::kB0] + block[B::kB1] + block[B::kB2] == 0;
    return DcSum(block) == 32768;
}

}  // namespace

TustinCoefficients TustinFirstOrder(double a, double b, double c, double d, double T)
{
    TustinCoefficients out;
    const double D = d * T + 2 * c;
    if (D == 0)
        return out;
    out.b0 = (b * T + 2 * a) / D;
    out.b1 = (b * T - 2 * a) / D;
    out.a1 = (d * T - 2 * c) / D;
    return out;
}

TustinCoefficients TustinSecondOrder(double a, double b, double c, double d, double e, double f, double T)
{
    TustinCoefficients out;
    const double T2 = T * T;
    const double D = f * T2 + 2 * e * T + 4 * d;
    if (D == 0)
        return out;
    out.b0 = (c * T2 + 2 * b * T + 4 * a) / D;
    out.b1 = (2 * c * T2 - 8 * a) / D;
    out.b2 = (c * T2 - 2 * b * T + 4 * a) / D;
    out.a1 = (2 * f * T2 - 8 * d) / D;
    out.a2 = (f * T2 - 2 * e * T + 4 * d) / D;
    return out;
}

ScaledCoefficients ScaleFilterCoefficients(const TustinCoefficients& real)
{
    const double values[] = {real.b0, real.b1, real.b2, real.a1, real.a2};
    double largest = 0;
    for (double v : values)
        largest = std::max(largest, std::fabs(v));
    ScaledCoefficients out;
    if (largest > 0 && std::isfinite(largest))
        out.shift = std::clamp(static_cast<int>(std::ceil(std::log10(largest) / std::log10(2.0))), 0, 15);
    out.b0 = ScaleOne(real.b0, out.shift);
    out.b1 = ScaleOne(real.b1, out.shift);
    out.b2 = ScaleOne(real.b2, out.shift);
    out.a1 = ScaleOne(real.a1, out.shift);
    out.a2 = ScaleOne(real.a2, out.shift);
    return out;
}

void EnforceUnityDcGain(FilterCoefficientBlock& block)
{
    using B = FilterCoefficientBlock;
    const long long sum = DcSum(block);
    if (sum == 32768)
        return;
    const auto bigger = [&block](int item, std::initializer_list<int> others) {
        return std::all_of(others.begin(), others.end(),
                           [&](int other) { return std::abs(block[item]) > std::abs(block[other]); });
    };
    int item = B::kNegA1;
    if (bigger(B::kB0, {B::kNegA2, B::kNegA1, B::kB2, B::kB1}))
        item = B::kB0;
    else if (bigger(B::kB1, {B::kNegA2, B::kNegA1, B::kB2}))
        item = B::kB1;
    else if (bigger(B::kB2, {B::kNegA2, B::kNegA1}))
        item = B::kB2;
    block[item] += static_cast<int>((32768 - sum) / (1LL << block[B::kShift]));
}

bool IsValidFilterBlock(const FilterCoefficientBlock& block)
{
    using B = FilterCoefficientBlock;
    if (block[B::kShift] < 0 || block[B::kShift] > 15)
        return false;
    for (int item = B::kNegA2; item <= B::kB0; ++item) {
        if (!IsItem(block[item]))
            return false;
    }
    return true;
}

bool FilterCoefficientsToReal(const FilterCoefficientBlock& block, FilterRealCoefficients& real)
{
    using B = FilterCoefficientBlock;
    if (!IsValidFilterBlock(block))
        return false;
    const int shift = block[B::kShift];
    const auto value = [&](int item) { return static_cast<double>(static_cast<long long>(block[item]) << shift) / 32768.0; };
    real = FilterRealCoefficients();
    if (block[B::kNegA2] == 0 && block[B::kB2] == 0) {
        real[0] = value(B::kB0);
        real[1] = value(B::kB1);
        real[2] = -value(B::kNegA1);
    } else {
        real[0] = value(B::kB0);
        real[1] = value(B::kB1);
        real[2] = value(B::kB2);
        real[3] = -value(B::kNegA1);
        real[4] = -value(B::kNegA2);
    }
    return true;
}

int ClassifyFilterCoefficients(const FilterRealCoefficients& c, double T, double step)
{
    const double tol = std::max(1.0, std::fabs(c[0])) / 100.0;
    if (std::fabs(c[0] - 1) < tol && c[1] == 0 && c[2] == 0 && c[3] == 0 && c[4] == 0)
        return kFilterNone;
    if (c[3] == 0 && c[4] == 0) {
        if (c[0] == -c[1])
            return kFilterHP1;
        return c[0] == c[1] ? kFilterLP1 : kFilterLL1;
    }
    FilterArguments args;
    // A constant numerator is (1, 2, 1) times a gain; in integers b1 may be off by one step.
    // A numerator of zero passes nothing: it is no low-pass, whatever the step.
    const auto same = [step](double x, double y) { return Agrees(x, y, 0.1) || std::fabs(x - y) <= step; };
    const bool numerator = c[0] != 0 || c[1] != 0 || c[2] != 0;
    if (numerator && same(c[0], c[2]) && same(c[2], c[1] / 2)) {
        if (!FitFilterArguments(kFilterLP2, c, T, args))
            return kFilterCLP1;
        const bool damped = (args.arg[0] > 0 && args.arg[0] <= 1) || (args.arg[1] > 0 && args.arg[1] <= 1);
        return damped ? kFilterLP2 : kFilterCLP1;
    }
    if (FitFilterArguments(kFilterNTCH2A, c, T, args)) {
        const bool fixedShape = std::fabs(args.arg[1] - 0.05) < 0.002 && std::fabs(args.arg[3] - 0.8) < 0.02;
        if (fixedShape)
            return kFilterNTCH2A;
    }
    // Never name a type whose own fit fails.
    return FitFilterArguments(kFilterNTCH2B, c, T, args) ? kFilterNTCH2B : kFilterUnknown;
}

int FitFilterArguments(int type, const FilterRealCoefficients& real, double T, FilterArguments& args)
{
    args = FilterArguments();
    if (!(T > 0))
        return 0;
    if (type == kFilterUnknown)
        return 0;
    if (type == kFilterNone || type > kFilterUnknown || type < 0)
        return 1;
    FilterArguments found;
    const bool ok = IsSecondOrder(type) ? FitSecondOrder(type, real, T, found) : FitFirstOrder(type, real, T, found);
    if (!ok || !AllFinite(found))
        return 0;
    args = found;
    return 1;
}

int CalcFilterArgsFromCoefficients(int& type, int negA1, int negA2, int b0, int b1, int b2, int shift, int guess,
                                   double fs, FilterArguments& args)
{
    args = FilterArguments();
    FilterCoefficientBlock block;
    using B = FilterCoefficientBlock;
    block[B::kNegA2] = negA2;
    block[B::kNegA1] = negA1;
    block[B::kB2] = b2;
    block[B::kB1] = b1;
    block[B::kB0] = b0;
    block[B::kShift] = shift;
    FilterRealCoefficients real;
    if (!FilterCoefficientsToReal(block, real))
        return 0;
    const double T = fs > 0 ? 1.0 / fs : 0.0;
    if (guess) {
        type = ClassifyFilterCoefficients(real, T, std::ldexp(1.0, shift) / 32768.0);
        if (type == kFilterUnknown)
            return 0;
    }
    return FitFilterArguments(type, real, T, args);
}

int GetDriveFilterType(CGlobalParameterTable& table, int slot, int address, int& type)
{
    double value = 0;
    if (slot < 0 || slot > 3 || !table.GetParameterValue(address, GPD_WFT, value) || value == -1)
        return 0;
    const auto word = static_cast<std::uint32_t>(static_cast<std::int64_t>(value));
    type = static_cast<int>((word >> (8 * slot)) & 0xFF);
    return 1;
}

CString GetFilterTypeCode(int type)
{
    static const char* const kCodes[] = {"NONE", "HP1", "LL1", "LP1", "CLP1", "LP2", "NTCH2A", "NTCH2B", "UNKNOWN"};
    return type >= 0 && type <= kFilterUnknown ? kCodes[type] : "UNKNOWN";
}

bool GenerateFilterCoefficients(int type, const FilterArguments& args, double fs, FilterCoefficientBlock& block,
                                CString* error)
{
    const auto refuse = [error] {
        if (error)
            *error = kInvalidFilterArgument;
        return false;
    };
    if (type < kFilterNone || type > kFilterNTCH2B || !ArgumentsMakeAFilter(type, args) || !std::isfinite(fs))
        return refuse();
    const double T = fs != 0 ? 1.0 / fs : 0.0;
    const ScaledCoefficients s = ScaleFilterCoefficients(DesignReal(type, args, T));
    using B = FilterCoefficientBlock;
    FilterCoefficientBlock designed;
    // The block holds the denominator negated; a clamped -32768 negates out of range, which the check below refuses.
    const auto negate = [](int v) { return -static_cast<long long>(v); };
    const long long negA1 = negate(s.a1), negA2 = IsSecondOrder(type) ? negate(s.a2) : 0;
    if (!IsItem(negA1) || !IsItem(negA2))
        return refuse();
    designed[B::kNegA2] = static_cast<int>(negA2);
    designed[B::kNegA1] = static_cast<int>(negA1);
    designed[B::kB2] = IsSecondOrder(type) ? s.b2 : 0;
    designed[B::kB1] = s.b1;
    designed[B::kB0] = s.b0;
    designed[B::kShift] = s.shift;
    if (type == kFilterNone) {
        designed = FilterCoefficientBlock();
        designed[B::kB0] = s.b0;
        designed[B::kShift] = s.shift;
    } else if (type != kFilterHP1) {
        EnforceUnityDcGain(designed);
    }
    if (!IsBlockOfType(type, designed))
        return refuse();
    block = designed;
    return 1;
}
