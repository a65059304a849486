// The arithmetic of the drive's digital filters: designing a filter of one of
// seven types by the bilinear transform, scaling it into the drive's integer
// block, the way back, guessing a block's type and recovering its arguments.
// Stateless; any thread may call it.
#pragma once

#include <array>

#include "platform/core/String.h"

class CGlobalParameterTable;

enum FilterType : int {
    kFilterNone = 0,
    kFilterHP1 = 1,
    kFilterLL1 = 2,
    kFilterLP1 = 3,
    kFilterCLP1 = 4,
    kFilterLP2 = 5,
    kFilterNTCH2A = 6,
    kFilterNTCH2B = 7,
    kFilterUnknown = 8,
};

// The drive's block: NegA2, NegA1, B2, B1, B0 (integers in -32768..32767,
// real value = integer * 2^Shift / 32768) and Shift (0..15).
struct FilterCoefficientBlock {
    enum Item { kNegA2 = 0, kNegA1, kB2, kB1, kB0, kShift, kItemCount };
    std::array<int, kItemCount> items{};
    int& operator[](int item) { return items[static_cast<size_t>(item)]; }
    int operator[](int item) const { return items[static_cast<size_t>(item)]; }
    bool operator==(const FilterCoefficientBlock& other) const { return items == other.items; }
};

// Packed reals: second order (b0, b1, b2, a1, a2); first order (b0, b1, a1, 0, 0).
struct FilterRealCoefficients {
    std::array<double, 5> c{};
    double& operator[](int i) { return c[static_cast<size_t>(i)]; }
    double operator[](int i) const { return c[static_cast<size_t>(i)]; }
};

// Real coefficients of a section, A1 and A2 not negated.
struct TustinCoefficients {
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

struct FilterArguments {
    double arg[4] = {0, 0, 0, 0};
};

// 2*pi as the drive's tools have always used it.
constexpr double kFilterTwoPi = 6.28318530718;
constexpr double kFilterTwoPiTimes1_1 = 6.9115038378980005;
extern const char* const kInvalidFilterArgument;  // "Invalid filter argument."

TustinCoefficients TustinFirstOrder(double a, double b, double c, double d, double T);
TustinCoefficients TustinSecondOrder(double a, double b, double c, double d, double e, double f, double T);

// The integers of B0, B1, B2, A1, A2 (in that order) and the shift.
struct ScaledCoefficients {
    int b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0, shift = 0;
};
ScaledCoefficients ScaleFilterCoefficients(const TustinCoefficients& real);
void EnforceUnityDcGain(FilterCoefficientBlock& block);

// False, and nothing converted, for a block the drive cannot hold (Shift
// outside 0..15 or an item outside -32768..32767).
bool IsValidFilterBlock(const FilterCoefficientBlock& block);
bool FilterCoefficientsToReal(const FilterCoefficientBlock& block, FilterRealCoefficients& real);

// A numerator within `step` (the value of one integer of the block) of a constant reads as constant.
int ClassifyFilterCoefficients(const FilterRealCoefficients& real, double T, double step = 0.0);
int FitFilterArguments(int type, const FilterRealCoefficients& real, double T, FilterArguments& args);
int CalcFilterArgsFromCoefficients(int& type, int negA1, int negA2, int b0, int b1, int b2, int shift, int guess,
                                   double fs, FilterArguments& args);
int GetDriveFilterType(CGlobalParameterTable& table, int slot, int address, int& type);
CString GetFilterTypeCode(int type);

// Designs the block of one filter. False with "Invalid filter argument." when
// the arguments make no such filter or its integer block would not be the
// filter asked for; the block is then left as it was.
bool GenerateFilterCoefficients(int type, const FilterArguments& args, double fs, FilterCoefficientBlock& block,
                                CString* error = nullptr);
