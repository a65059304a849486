#include "NumberHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Rand.h"

double TruncateToStep(double value, double step)
{
    if (step == 0)
        return value;
    return std::trunc(value / step) * step;
}

int ClampToShort(int value)
{
    return std::clamp(value, -32768, 32767);
}

double RoundHalfAway(double value)
{
    return value >= 0 ? std::floor(value + 0.5) : std::ceil(value - 0.5);
}

double ScalePer10000To32767(double value)
{
    return RoundHalfAway(value * 32767 / 10000);
}

double MapRangeRounded(double low, double span, double base, double outputSpan, double x)
{
    if (span == 0)
        return base;
    x = std::clamp(x, std::min(low, low + span), std::max(low, low + span));
    return RoundHalfAway((x - low) * outputSpan / span) + base;
}

double RandomUpTo(double maximum)
{
    return Rand() * maximum / KV_RAND_MAX;
}

double RandomInRange(double low, double high)
{
    return low + Rand() * (high - low) / KV_RAND_MAX;
}

int ClampWithTolerance(double minimum, double maximum, double tolerance, double& value)
{
    if (value < minimum - tolerance) {
        value = minimum;
        return 0;
    }
    if (value > maximum + tolerance) {
        value = maximum;
        return 0;
    }
    return 1;
}

double RoundByFormat(const char* format, double value)
{
    char text[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, format, value);
#pragma GCC diagnostic pop
    return std::atof(text);
}

int NearlyEqualPercent(double a, double b, double percent)
{
    return std::fabs(a - b) < percent * std::max(std::fabs(a), std::fabs(b)) / 100 ? 1 : 0;
}

unsigned BinaryGcd(unsigned a, unsigned b)
{
    if (a == 0)
        return b;
    if (b == 0)
        return a;
    int shift = 0;
    while (((a | b) & 1) == 0) {
        a >>= 1;
        b >>= 1;
        ++shift;
    }
    while ((a & 1) == 0)
        a >>= 1;
    while (a != b) {
        while ((b & 1) == 0)
            b >>= 1;
        while ((a & 1) == 0)
            a >>= 1;
        if (a > b)
            a -= b;
        else if (b > a)
            b -= a;
    }
    return a << shift;
}

namespace {

// 10^n by repeated squaring; n may be negative.
double PowerOfTen(int n)
{
    double result = 1;
    double base = 10;
    unsigned e = static_cast<unsigned>(n < 0 ? -static_cast<long long>(n) : n);
    while (e) {
        if (e & 1)
            result *= base;
        base *= base;
        e >>= 1;
    }
    return n < 0 ? 1 / result : result;
}

}  // namespace

double TruncateToDecimals(double x, int n)
{
    const double d = PowerOfTen(n);
    const double scaled = x * d;
    return (scaled > 0 ? std::floor(scaled) : std::ceil(scaled)) / d;
}

double RoundAwayToHundredths(double x)
{
    return x > 0 ? std::ceil(100 * x) / 100 : std::floor(100 * x) / 100;
}

namespace {

BYTE ScaleChannel(unsigned channel, float percent)
{
    const float scaled = static_cast<float>(channel) * percent / 100.0f;
    if (!(scaled > 0))
        return 0;
    return static_cast<BYTE>(std::min(scaled, 255.0f));
}

}  // namespace

COLORREF ScaleColorPercent(COLORREF colour, float percent)
{
    const BYTE r = ScaleChannel((colour >> 16) & 0xFF, percent);
    const BYTE g = ScaleChannel((colour >> 8) & 0xFF, percent);
    const BYTE b = ScaleChannel(colour & 0xFF, percent);
    return (static_cast<COLORREF>(r) << 16) | (static_cast<COLORREF>(g) << 8) | b;
}

COLORREF LightenColorChannels(COLORREF colour)
{
    COLORREF result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned channel = std::min<unsigned>(((colour >> shift) & 0xFF) + 128, 255);
        result |= channel << shift;
    }
    return result;
}
