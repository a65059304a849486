#include "setup/tuning/ProfileStepUnits.h"

#include <cmath>

void ProfileUnitContext::SetTorqueWord(DWORD word)
{
    torqueConstant = (word & 0xFFFF) / 100.0;
    torqueUnit = static_cast<int>(word >> 16);
}

int ControlUnitKind(const CQvxMoveBuilderStep& step, const ProfileUnitContext& context)
{
    switch (step.m_controlType) {
    case kControlCurrent: return kUnitCurrent;
    case kControlTorque: return context.TorqueSensor() ? kUnitTorqueSensorVolts : kUnitTorque;
    case kControlVelocity:
    case kControlPosition: return kUnitVelocity;
    default: return -1;
    }
}

int TriggerUnitKind(const CQvxMoveBuilderStep& step)
{
    switch (step.m_triggerType) {
    case kTriggerTime: return kUnitTime;
    case kTriggerTorque: return kUnitTorque;
    case kTriggerTorqueSensV: return kUnitTorqueSensorVolts;
    case kTriggerVelocity: return kUnitVelocity;
    case kTriggerPositionAbs:
    case kTriggerPositionInc: return kUnitPosition;
    case kTriggerDigitalInput: return kUnitDigitalInput;
    default: return -1;
    }
}

bool UnitFactor(int kind, const ProfileUnitContext& c, double& factor)
{
    switch (kind) {
    case kUnitTime: factor = 0.01; return true;
    case kUnitCurrent: factor = c.currentGain; return c.haveCurrentGain;
    case kUnitTorque: factor = c.currentGain * c.torqueConstant; return c.haveCurrentGain;
    case kUnitVelocity: factor = c.velocityGain; return c.haveVelocityGain;
    case kUnitTorqueSensorVolts: factor = c.mdl13 / 32767; return c.haveMdl13;
    case kUnitPosition: factor = 1; return true;
    default: return false;
    }
}

CString FormatUnitValue(int kind, int driveValue, const ProfileUnitContext& c, bool withUnits)
{
    if (kind == kUnitDigitalInput)
        return "N/A";
    if (kind < kUnitTime || kind > kUnitPosition)
        return "<ERROR>";
    double factor = 0;
    if (!UnitFactor(kind, c, factor))
        return "<Unavailable>";
    const double value = driveValue * factor;
    const char* format = kind == kUnitPosition ? "%0.0f" : "%0.3f";
    if (withUnits) {
        switch (kind) {
        case kUnitTime: format = "%0.3f s"; break;
        case kUnitCurrent: format = "%0.3f a"; break;
        case kUnitTorque:
            // A unit other than the two known ones has no text: the value alone.
            format = c.TorqueSensor() ? "%0.3f v" : c.torqueUnit == 0 ? "%0.3f Lb-in" : c.torqueUnit == 1 ? "%0.3f Nm" : "%0.3f";
            break;
        case kUnitVelocity: format = c.motorType == 1 ? "%0.3f mm/s" : "%0.3f rpm"; break;
        case kUnitTorqueSensorVolts: format = "%0.3f v"; break;
        case kUnitPosition: format = "%0.0f cts"; break;
        default: break;
        }
    }
    CString text;
    text.Format(format, value);
    return text;
}

void UnitRange(int kind, long long& low, long long& high)
{
    switch (kind) {
    case kUnitTime: low = 0; high = 32767; break;
    case kUnitCurrent: low = -32767; high = 32767; break;
    case kUnitTorque: low = 0; high = 2147483647; break;
    case kUnitVelocity: low = -2147483647; high = 2147483647; break;
    case kUnitTorqueSensorVolts: low = -32768; high = 32767; break;
    case kUnitPosition: low = -2147483648LL; high = 2147483647; break;
    default: low = high = 0; break;
    }
}

bool ParseUnitValue(int kind, double engineering, const ProfileUnitContext& c, int& driveValue)
{
    double factor = 0;
    if (!UnitFactor(kind, c, factor) || factor == 0 || !std::isfinite(engineering))
        return false;
    const double drive = std::trunc(engineering / factor);
    long long low = 0, high = 0;
    UnitRange(kind, low, high);
    if (!(drive >= static_cast<double>(low) && drive <= static_cast<double>(high)))
        return false;
    driveValue = static_cast<int>(drive);
    return true;
}
