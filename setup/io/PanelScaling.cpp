#include "setup/io/PanelScaling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kLongMax = 2147483647.0;
constexpr double kLongMin = -2147483648.0;

LONG Truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<LONG>(std::clamp(std::trunc(value), kLongMin, kLongMax));
}

LONG RoundedShort(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = value >= 0 ? std::floor(value + 0.5) : std::ceil(value - 0.5);
    return static_cast<LONG>(std::clamp(rounded, -32768.0, 32767.0));
}

}  // namespace

LONG PanelSaturate(double value)
{
    if (std::isnan(value))
        return 0;
    return Truncated(value >= 0 ? std::floor(value + 0.5) : std::ceil(value - 0.5));
}

LONG PanelRegisterValue(WORD reg, LONG driveValue)
{
    if (reg == 3 || reg == 35)
        return std::clamp<LONG>(driveValue, -32767, 32767);
    return driveValue;
}

int CPanelScaling::ModeOf(int modeValue)
{
    if (modeValue & 4)
        return kPanelModePosition;
    if (modeValue & 2)
        return kPanelModeVelocity;
    return kPanelModeCurrent;
}

int CPanelScaling::EntryOf(int mode)
{
    return mode == kPanelModePosition ? 3 : mode == kPanelModeVelocity ? 1 : 2;
}

double CPanelScaling::VelocityFactor() const
{
    return (m_cs > 15 && m_etf == 1) ? m_tachGain : m_velGain;
}

double CPanelScaling::EngineeringFromDrive(double reading) const
{
    if (m_cs == 1)
        return reading * m_velInduction;
    switch (Mode()) {
    case kPanelModePosition:
        return reading;
    case kPanelModeVelocity:
        return reading * VelocityFactor();
    default:
        return reading * m_currentGain;
    }
}

LONG CPanelScaling::DriveFromEngineering(double value) const
{
    if (m_cs == 1)
        return m_velInduction == 0 ? 0 : RoundedShort(value / m_velInduction);
    switch (Mode()) {
    case kPanelModePosition:
        return Truncated(value);
    case kPanelModeVelocity: {
        const double k = VelocityFactor();
        return k == 0 ? 0 : Truncated(value / k);
    }
    default:
        return m_currentGain == 0 ? 0 : RoundedShort(value / m_currentGain);
    }
}

double CPanelScaling::FineIncrement() const
{
    switch (Mode()) {
    case kPanelModePosition:
        return 1.0;
    case kPanelModeVelocity:
        return VelocityFactor() + 0.001;
    default:
        return m_currentGain + 0.0001;
    }
}
