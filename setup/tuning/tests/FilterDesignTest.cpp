#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "setup/tuning/FilterDesign.h"

namespace {

using B = FilterCoefficientBlock;
constexpr double kPi = 3.14159265358979323846;
constexpr double kFs = 10000.0;

FilterArguments Args(double a1, double a2 = 0, double a3 = 0, double a4 = 0)
{
    FilterArguments args;
    args.arg[0] = a1;
    args.arg[1] = a2;
    args.arg[2] = a3;
    args.arg[3] = a4;
    return args;
}

FilterCoefficientBlock Design(int type, const FilterArguments& args, double fs = kFs)
{
    FilterCoefficientBlock block;
    EXPECT_TRUE(GenerateFilterCoefficients(type, args, fs, block)) << GetFilterTypeCode(type).GetString();
    return block;
}

// |H| of the integer block at frequency f, sampled at fs.
double Gain(const FilterCoefficientBlock& block, double f, double fs = kFs)
{
    const double k = std::ldexp(1.0, block[B::kShift]) / 32768.0;
    const std::complex<double> z1 = std::polar(1.0, -2 * kPi * f / fs);
    const std::complex<double> z2 = z1 * z1;
    const auto item = [&block](int i) { return static_cast<double>(block[i]); };
    const std::complex<double> num = k * (item(B::kB0) + item(B::kB1) * z1 + item(B::kB2) * z2);
    const std::complex<double> den = 1.0 - k * (item(B::kNegA1) * z1 + item(B::kNegA2) * z2);
    return std::abs(num / den);
}

double Db(double gain) { return 20 * std::log10(gain); }

// The digital frequency the bilinear transform maps an analog corner to.
double Warped(double f, double fs = kFs) { return std::atan(kPi * f / fs) / (kPi / fs); }

bool PolesInside(const FilterCoefficientBlock& block)
{
    const double k = std::ldexp(1.0, block[B::kShift]) / 32768.0;
    const std::complex<double> a1 = -block[B::kNegA1] * k, a2 = -block[B::kNegA2] * k;
    const std::complex<double> root = std::sqrt(a1 * a1 - 4.0 * a2);
    return std::abs((-a1 + root) / 2.0) < 1 && std::abs((-a1 - root) / 2.0) < 1;
}

long long DcSum(const FilterCoefficientBlock& block)
{
    long long sum = 0;
    for (int item = B::kNegA2; item <= B::kB0; ++item)
        sum += block[item];
    return sum << block[B::kShift];
}

struct DesignCase {
    int type;
    FilterArguments args;
};

const DesignCase kDesigns[] = {
    {kFilterHP1, Args(50)},       {kFilterHP1, Args(400)},          {kFilterLL1, Args(100, 400)},
    {kFilterLL1, Args(800, 200)}, {kFilterLP1, Args(200)},          {kFilterLP1, Args(1500)},
    {kFilterCLP1, Args(300, 900)}, {kFilterCLP1, Args(150, 2000)},   {kFilterLP2, Args(500, 0.7)},
    {kFilterLP2, Args(1200, 0.3)}, {kFilterNTCH2A, Args(500)},       {kFilterNTCH2A, Args(150)},
    {kFilterNTCH2B, Args(400, 0.1, 450, 0.6)}, {kFilterNTCH2B, Args(800, 0.02, 700, 0.9)},
};

}  // namespace

TEST(FilterDesignTest, TustinFormsMatchTheHandDerivedCoefficients)
{
    // Low-pass w/(s+w) with wT = 0.5: (0.5 + 0.5 z^-1) / (2.5 - 1.5 z^-1).
    const TustinCoefficients lp = TustinFirstOrder(0, 0.5, 1, 0.5, 1.0);
    EXPECT_DOUBLE_EQ(lp.b0, 0.2);
    EXPECT_DOUBLE_EQ(lp.b1, 0.2);
    EXPECT_DOUBLE_EQ(lp.a1, -0.6);
    EXPECT_EQ(lp.b2, 0);
    EXPECT_EQ(lp.a2, 0);
    // 1 / (s^2 + s + 1) with T = 2: D = 4 + 4 + 4 = 12.
    const TustinCoefficients second = TustinSecondOrder(0, 0, 1, 1, 1, 1, 2.0);
    EXPECT_DOUBLE_EQ(second.b0, 4.0 / 12);
    EXPECT_DOUBLE_EQ(second.b1, 8.0 / 12);
    EXPECT_DOUBLE_EQ(second.b2, 4.0 / 12);
    EXPECT_DOUBLE_EQ(second.a1, 0.0);
    EXPECT_DOUBLE_EQ(second.a2, 4.0 / 12);
    const TustinCoefficients degenerate = TustinFirstOrder(1, 1, 0, 0, 1.0);
    EXPECT_EQ(degenerate.b0, 0);
    EXPECT_EQ(TustinSecondOrder(1, 1, 1, 0, 0, 0, 1.0).a2, 0);
}

TEST(FilterDesignTest, ScalingPicksTheShiftOfTheLargestCoefficient)
{
    TustinCoefficients real;
    real.b0 = 1.0;
    ScaledCoefficients s = ScaleFilterCoefficients(real);
    EXPECT_EQ(s.shift, 0);
    EXPECT_EQ(s.b0, 32767) << "1.0 clamps";
    real.a1 = -1.5;
    real.b0 = 0.25;
    s = ScaleFilterCoefficients(real);
    EXPECT_EQ(s.shift, 1);
    EXPECT_EQ(s.a1, -24576);
    EXPECT_EQ(s.b0, 4096);
    real = TustinCoefficients();
    real.b1 = -0.50001 / 32768;  // half away from zero
    EXPECT_EQ(ScaleFilterCoefficients(real).b1, -1);
    EXPECT_EQ(ScaleFilterCoefficients(TustinCoefficients()).shift, 0);
}

TEST(FilterDesignTest, NoneIsThePassThroughBlockAndIsGuessedBack)
{
    const FilterCoefficientBlock none = Design(kFilterNone, Args(0));
    FilterCoefficientBlock expected;
    expected[B::kB0] = 32767;
    EXPECT_EQ(none, expected);
    FilterRealCoefficients real;
    ASSERT_TRUE(FilterCoefficientsToReal(none, real));
    EXPECT_EQ(ClassifyFilterCoefficients(real, 1 / kFs), kFilterNone);
}

TEST(FilterDesignTest, DesignsHaveTheirTypesGainStableIntegersAndFitBack)
{
    for (const auto& [type, args] : kDesigns) {
        SCOPED_TRACE(std::string(GetFilterTypeCode(type)) + " " + std::to_string(args.arg[0]));
        const FilterCoefficientBlock block = Design(type, args);
        EXPECT_TRUE(PolesInside(block));
        if (type == kFilterHP1) {
            EXPECT_EQ(block[B::kB0], -block[B::kB1]);
            EXPECT_NEAR(Gain(block, 0), 0, 1e-12);
            EXPECT_NEAR(Gain(block, kFs / 2), 1, 0.002);
        } else {
            EXPECT_EQ(DcSum(block), 32768);
            EXPECT_NEAR(Gain(block, 0), 1, 1e-9);
        }
        FilterRealCoefficients real;
        ASSERT_TRUE(FilterCoefficientsToReal(block, real));
        FilterArguments fitted;
        ASSERT_TRUE(FitFilterArguments(type, real, 1 / kFs, fitted));
        const int count = type == kFilterNTCH2B ? 4 : (type == kFilterLL1 || type == kFilterCLP1 || type == kFilterLP2) ? 2 : 1;
        for (int i = 0; i < count; ++i)
            EXPECT_NEAR(fitted.arg[i], args.arg[i], 0.02 * std::fabs(args.arg[i]) + 0.02) << "argument " << i + 1;
    }
}

TEST(FilterDesignTest, CornersLandWhereTheTransformMapsThem)
{
    for (double f : {100.0, 700.0, 2000.0}) {
        EXPECT_NEAR(Db(Gain(Design(kFilterLP1, Args(f)), Warped(f))), -3.0103, 0.05) << f;
        EXPECT_NEAR(Db(Gain(Design(kFilterHP1, Args(f)), Warped(f))), -3.0103, 0.05) << f;
        for (double zeta : {0.2, 0.5}) {
            EXPECT_NEAR(Gain(Design(kFilterLP2, Args(f, zeta)), Warped(f)), 1 / (2 * zeta), 0.01 / zeta) << f;
        }
    }
    // A notch with z1 = 0 has a zero on the circle at its first frequency.
    EXPECT_LT(Db(Gain(Design(kFilterNTCH2B, Args(1000, 0, 1200, 0.7)), Warped(1000))), -60);
    // The fixed-shape notch is as deep as its prototype at its first frequency.
    const double w1 = 2 * kPi * 500 / std::sqrt(0.995), w2 = 1.1 * w1;
    const double prototype = (w2 * w2 / (w1 * w1)) * (0.1 * w1 * w1) /
                             std::abs(std::complex<double>(w2 * w2 - w1 * w1, 1.6 * w2 * w1));
    EXPECT_NEAR(Db(prototype), -23.3, 0.05);
    EXPECT_NEAR(Db(Gain(Design(kFilterNTCH2A, Args(500)), Warped(w1 / (2 * kPi)))), Db(prototype), 0.3);
}

TEST(FilterDesignTest, TheGuessNamesWhatWasDesigned)
{
    struct Case {
        int type;
        FilterArguments args;
    };
    const Case cases[] = {
        {kFilterHP1, Args(100)},  {kFilterLP1, Args(300)},  {kFilterLL1, Args(100, 400)},
        {kFilterNTCH2A, Args(300)}, {kFilterNTCH2A, Args(800)}, {kFilterNTCH2B, Args(400, 0.1, 450, 0.6)},
    };
    for (const Case& c : cases) {
        const FilterCoefficientBlock block = Design(c.type, c.args);
        int type = -1;
        FilterArguments args;
        EXPECT_TRUE(CalcFilterArgsFromCoefficients(type, block[B::kNegA1], block[B::kNegA2], block[B::kB0],
                                                   block[B::kB1], block[B::kB2], block[B::kShift], 1, kFs, args));
        EXPECT_EQ(type, c.type) << GetFilterTypeCode(c.type).GetString() << " " << c.args.arg[0];
        if (c.type == kFilterNTCH2A) {
            EXPECT_NEAR(args.arg[0], c.args.arg[0], 0.01 * c.args.arg[0]);
            EXPECT_NEAR(args.arg[1], 0.05, 0.002);
            EXPECT_NEAR(args.arg[3], 0.8, 0.02);
        }
    }
}

TEST(FilterDesignTest, LowPassesAreGuessedDespiteTheirRoundedNumerators)
{
    // In integers the (1, 2, 1) numerator of a low-pass comes out as (5, 11, 5):
    // read within 0.1 percent alone, about a third of these were taken for notches.
    for (double f = 50; f < 3000; f *= 1.15) {
        for (double zeta : {0.2, 0.4, 0.7}) {
            const FilterCoefficientBlock block = Design(kFilterLP2, Args(f, zeta));
            int type = -1;
            FilterArguments args;
            EXPECT_TRUE(CalcFilterArgsFromCoefficients(type, block[B::kNegA1], block[B::kNegA2], block[B::kB0],
                                                       block[B::kB1], block[B::kB2], block[B::kShift], 1, kFs, args));
            EXPECT_EQ(type, kFilterLP2) << f << " Hz, damping " << zeta;
        }
        for (double ratio : {1.5, 3.0, 6.0}) {
            const FilterCoefficientBlock block = Design(kFilterCLP1, Args(f, f * ratio));
            int type = -1;
            FilterArguments args;
            CalcFilterArgsFromCoefficients(type, block[B::kNegA1], block[B::kNegA2], block[B::kB0], block[B::kB1],
                                           block[B::kB2], block[B::kShift], 1, kFs, args);
            EXPECT_EQ(type, kFilterCLP1) << f << " Hz, ratio " << ratio;
        }
    }
}

TEST(FilterDesignTest, UnityCorrectionAdjustsTheLargestItemAndTruncates)
{
    FilterCoefficientBlock block;
    block[B::kNegA1] = 30000;
    block[B::kB1] = 1000;
    block[B::kB0] = 1000;
    EnforceUnityDcGain(block);
    EXPECT_EQ(block[B::kNegA1], 30768) << "NegA1 was the largest";
    block = FilterCoefficientBlock();
    block[B::kNegA2] = -20000;
    block[B::kNegA1] = 10000;
    block[B::kB0] = 5000;
    block[B::kShift] = 1;
    EnforceUnityDcGain(block);  // sum (-5000) * 2 = -10000; grows by 42768 / 2
    EXPECT_EQ(block[B::kNegA1], 10000 + 21384) << "NegA2 is never adjusted";
    block = FilterCoefficientBlock();
    block[B::kB0] = 16384;
    block[B::kShift] = 1;
    EnforceUnityDcGain(block);
    EXPECT_EQ(block[B::kB0], 16384) << "already unity";
}

TEST(FilterDesignTest, FitsAndGuessesRefuseWhatTheyCannotRead)
{
    FilterRealCoefficients real;
    real[0] = 0.5;
    FilterArguments args;
    args.arg[0] = 9;
    EXPECT_EQ(FitFilterArguments(kFilterLP1, real, 0, args), 0);
    EXPECT_EQ(FitFilterArguments(kFilterLP1, real, -1, args), 0);
    EXPECT_EQ(FitFilterArguments(kFilterUnknown, real, 1e-4, args), 0);
    EXPECT_EQ(FitFilterArguments(kFilterNone, real, 1e-4, args), 1);
    EXPECT_EQ(args.arg[0], 0);

    // A second-order block no type fits: the guess writes 8 and fails.
    int type = kFilterLP2;
    EXPECT_EQ(CalcFilterArgsFromCoefficients(type, 0, -30000, 100, 0, -100, 0, 1, kFs, args), 0);
    EXPECT_EQ(type, kFilterUnknown);

    // Blocks the drive cannot hold are never shifted or converted.
    for (int shift : {-1, 16, 40}) {
        type = kFilterLP1;
        EXPECT_EQ(CalcFilterArgsFromCoefficients(type, 30000, 0, 1000, 1000, 0, shift, 0, kFs, args), 0) << shift;
    }
    type = kFilterLP1;
    EXPECT_EQ(CalcFilterArgsFromCoefficients(type, 40000, 0, 1000, 1000, 0, 0, 0, kFs, args), 0);
    FilterCoefficientBlock wide;
    wide[B::kB0] = -32769;
    EXPECT_FALSE(FilterCoefficientsToReal(wide, real));
}

TEST(FilterDesignTest, BlocksWithoutTheTermsOfATypeFitNoType)
{
    // A numerator rounded to zero passes nothing: no type fits it, whatever the denominator or step.
    struct Denominator {
        int negA1, negA2, shift;
    };
    for (const Denominator d : {Denominator{32625, -16241, 1}, Denominator{20000, -8000, 0}, Denominator{16000, -4000, 2}}) {
        int type = kFilterLP2;
        FilterArguments args;
        EXPECT_EQ(CalcFilterArgsFromCoefficients(type, d.negA1, d.negA2, 0, 0, 0, d.shift, 1, kFs, args), 0) << d.negA1;
        EXPECT_EQ(type, kFilterUnknown) << d.negA1;
    }
    // A constant numerator, exactly (1, 2, 1) times a gain, has no s^2 term: it is no notch.
    int type = kFilterNTCH2B;
    FilterArguments args;
    EXPECT_EQ(CalcFilterArgsFromCoefficients(type, 25678, -10594, 325, 650, 325, 1, 0, kFs, args), 0);
    for (double f : {200.0, 800.0, 2000.0}) {
        FilterCoefficientBlock block = Design(kFilterLP2, Args(f, 0.5));
        block[B::kB1] = 2 * block[B::kB0];
        block[B::kB2] = block[B::kB0];
        type = kFilterNTCH2B;
        EXPECT_EQ(CalcFilterArgsFromCoefficients(type, block[B::kNegA1], block[B::kNegA2], block[B::kB0], block[B::kB1],
                                                 block[B::kB2], block[B::kShift], 0, kFs, args),
                  0)
            << f << " Hz";
    }
}

TEST(FilterDesignTest, ArgumentsThatMakeNoSuchFilterAreRefusedAndChangeNothing)
{
    struct Case {
        const char* what;
        int type;
        FilterArguments args;
    };
    const Case cases[] = {
        {"negative frequency", kFilterLP1, Args(-100)},
        {"negative damping", kFilterLP2, Args(500, -0.5)},
        {"LL1 with f1 = 0", kFilterLL1, Args(0, 100)},
        {"NTCH2A with f = 0", kFilterNTCH2A, Args(0)},
        {"NaN", kFilterHP1, Args(std::nan(""))},
        {"LP1 whose NegA1 negates a clamped -32768", kFilterLP1, Args(0.01)},
        {"LL1 whose correction puts B0 at 32768", kFilterLL1, Args(100, 100)},
        {"LP2 with a pole on the circle in integers", kFilterLP2, Args(10, 0.7)},
        {"NTCH2A with a pole on the circle in integers", kFilterNTCH2A, Args(6)},
        {"HP1 with DC gain -1", kFilterHP1, Args(0.03)},
        {"a type that does not exist", 8, Args(100)},
    };
    for (const Case& c : cases) {
        FilterCoefficientBlock block;
        block[B::kB0] = 1234;
        const FilterCoefficientBlock before = block;
        CString error;
        EXPECT_FALSE(GenerateFilterCoefficients(c.type, c.args, kFs, block, &error)) << c.what;
        EXPECT_EQ(std::string(error), "Invalid filter argument.") << c.what;
        EXPECT_EQ(block, before) << c.what;
    }
}

TEST(FilterDesignTest, TypeCodes)
{
    const char* const codes[] = {"NONE", "HP1", "LL1", "LP1", "CLP1", "LP2", "NTCH2A", "NTCH2B", "UNKNOWN"};
    for (int type = 0; type <= 8; ++type)
        EXPECT_EQ(std::string(GetFilterTypeCode(type)), codes[type]);
}
