// Engineering units of a profile step's values: which unit each value has,
// its factor from drive units, its text, and the entry ranges.
#pragma once

#include "platform/core/String.h"
#include "setup/tuning/QvxMoveBuilderStep.h"

enum ProfileUnitKind : int {
    kUnitTime = 0,
    kUnitCurrent = 1,
    kUnitTorque = 2,
    kUnitVelocity = 3,
    kUnitTorqueSensorVolts = 4,
    kUnitPosition = 5,
    kUnitDigitalInput = 6,
};

// What the texts need of the drive: the conversion parameters (each may be
// missing) and the torque constant with its unit (0 Lb-in/A, 1 Nm/A).
struct ProfileUnitContext {
    bool haveCurrentGain = false;
    double currentGain = 0;   // GPD_A2E_CURRENT_GAIN
    bool haveVelocityGain = false;
    double velocityGain = 0;  // GPD_A2E_VEL_GAIN
    bool haveMdl13 = false;
    double mdl13 = 0;         // GPD_MDL13
    double firmwareVersion = 0;
    int motorType = 0;        // 1 linear
    double torqueConstant = 0;
    int torqueUnit = 0;

    bool TorqueSensor() const { return firmwareVersion >= 5.2; }
    // Reads the drive's torque constant word: low 16 bits the constant times 100, the unit above.
    void SetTorqueWord(DWORD word);
};

int ControlUnitKind(const CQvxMoveBuilderStep& step, const ProfileUnitContext& context);
int TriggerUnitKind(const CQvxMoveBuilderStep& step);

// The factor from drive units to engineering units; false when the drive has none.
bool UnitFactor(int kind, const ProfileUnitContext& context, double& factor);
// The value in engineering units, with or without its unit; "<Unavailable>"
// without a factor, "<ERROR>" for an unknown kind, "N/A" for digital inputs.
CString FormatUnitValue(int kind, int driveValue, const ProfileUnitContext& context, bool withUnits);
// Drive units from an entered engineering value. False, and `driveValue`
// untouched, when the factor is zero or missing or the value is outside the
// kind's range.
bool ParseUnitValue(int kind, double engineering, const ProfileUnitContext& context, int& driveValue);
// The kind's entry range in drive units.
void UnitRange(int kind, long long& low, long long& high);
