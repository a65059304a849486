// Number helpers: rounding, clamping, scaling, comparison, random values and colour channels.
#pragma once

#include "platform/core/WinTypes.h"

// The whole part of value / step times step; a zero step leaves the value.
double TruncateToStep(double value, double step);
int ClampToShort(int value);
// Nearest whole number, halves away from zero.
double RoundHalfAway(double value);
double ScalePer10000To32767(double value);
// x clamped to [low, low + span] and mapped onto [base, base + outputSpan],
// rounded half away from zero; a zero span gives base.
double MapRangeRounded(double low, double span, double base, double outputSpan, double x);
double RandomUpTo(double maximum);
double RandomInRange(double low, double high);
// Outside [min - tolerance, max + tolerance] the value becomes the limit and the result is 0.
int ClampWithTolerance(double minimum, double maximum, double tolerance, double& value);
// The value printed with the format (such as "%0.3f") and read back.
double RoundByFormat(const char* format, double value);
// 1 when |a - b| < percent of the larger magnitude (strictly).
int NearlyEqualPercent(double a, double b, double percent);
unsigned BinaryGcd(unsigned a, unsigned b);
// Cut toward zero to n decimal places (n may be negative).
double TruncateToDecimals(double x, int n);
double RoundAwayToHundredths(double x);
// Each channel of 0x00RRGGBB times percent / 100, at most 255.
COLORREF ScaleColorPercent(COLORREF colour, float percent);
// Each channel plus 128, at most 255.
COLORREF LightenColorChannels(COLORREF colour);
