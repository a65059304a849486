// CQvxMoveBuilderStep: one step of a drive's motion profile: a control mode
// with its command, a trigger with its value, and what happens when it fires.
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

class CQvxMoveBuilderStepArray;

enum ProfileControlType : int { kControlCurrent = 0, kControlTorque = 1, kControlVelocity = 2, kControlPosition = 3 };
enum ProfileTriggerType : int {
    kTriggerTime = 0,
    kTriggerTorque = 1,
    kTriggerTorqueSensV = 2,
    kTriggerVelocity = 3,
    kTriggerPositionAbs = 4,
    kTriggerPositionInc = 5,
    kTriggerDigitalInput = 6,
};
enum ProfileAction : int {
    kActionStopDisable = 0,
    kActionStopZeroCurrent = 1,
    kActionStopZeroVelocity = 2,
    kActionStopHoldPosition = 3,
    kActionNextStep = 4,
};

class CQvxMoveBuilderStep {
public:
    CQvxMoveBuilderStep() = default;
    explicit CQvxMoveBuilderStep(CQvxMoveBuilderStepArray* owner) : m_owner(owner) {}

    // Action << 8 | TriggerType << 4 | ControlType, four bits each.
    DWORD PackedWord() const;
    void Unpack(DWORD word);

    // The texts of the step's types; "<ERROR>" for a code that has none.
    CString ControlTypeText(bool torqueSensor) const;
    CString TriggerTypeText() const;
    CString ActionText() const;

    int m_controlType = kControlVelocity;
    int m_triggerType = kTriggerTime;
    int m_action = kActionStopDisable;
    int m_controlValue = 0;
    int m_triggerValue = 0;
    CQvxMoveBuilderStepArray* m_owner = nullptr;
    int m_received = 0;
};
