#include "setup/io/PanelBarMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "setup/io/PanelOptionsMode.h"
#include "setup/io/PanelScaling.h"

double CPanelBarMath::Stepped(const CPanelOptionsMode& mode, double value, double amount, int up)
{
    const double next = up ? value + amount : value - amount;
    return std::clamp(next, std::min(mode.Min(), mode.Max()), std::max(mode.Min(), mode.Max()));
}

double CPanelBarMath::ClickFraction(int x, int left, int width)
{
    const int half = width / 2;
    if (half == 0)
        return 0.0;
    return static_cast<double>(std::abs(x - left) - half) / (width / 2.0);
}

double CPanelBarMath::ClickTarget(const CPanelOptionsMode& mode, const CPanelScaling& scaling, int x, int left,
                                  int width)
{
    const double f = ClickFraction(x, left, width);
    double target = mode.Min() + (f + 1.0) / 2.0 * (mode.Max() - mode.Min());
    if (scaling.Mode() == kPanelModePosition)
        target = target >= 0 ? std::floor(target + 0.5) : std::ceil(target - 0.5);
    else if (scaling.Mode() == kPanelModeVelocity)
        target = scaling.EngineeringFromDrive(scaling.DriveFromEngineering(target));
    return target;
}

int CPanelBarMath::MarkerX(const CPanelOptionsMode& mode, double value, int left, int right)
{
    const int width = right - left;
    double x = left + 2;
    if (mode.Max() > mode.Min())
        x = (value - mode.Min()) / (mode.Max() - mode.Min()) * width;
    if (std::isnan(x))
        x = left + 2;
    return static_cast<int>(std::clamp(x, static_cast<double>(left + 2), static_cast<double>(right - 2)));
}

bool CPanelBarMath::LimitsUsable(const CPanelOptionsMode& mode) { return mode.Max() > mode.Min(); }
