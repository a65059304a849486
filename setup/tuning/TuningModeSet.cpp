#include "setup/tuning/TuningModeSet.h"

#include "setup/tuning/TuningInCurrent.h"
#include "setup/tuning/TuningInPosition.h"
#include "setup/tuning/TuningInVelocity.h"

CTuningModeSet::CTuningModeSet()
{
    m_modes[0] = std::make_unique<CTuningInCurrent>(&m_settings);
    m_modes[1] = std::make_unique<CTuningInVelocity>(&m_settings);
    m_modes[2] = std::make_unique<CTuningInPosition>(&m_settings);
}

CTFGAbstractBaseMode& CTuningModeSet::ActiveMode(int flags)
{
    if (flags & kTuningPositionMode)
        return Mode(2);
    return flags & kTuningVelocityMode ? Mode(1) : Mode(0);
}

void CTuningModeSet::LoadRecord(const StepResponseRecord& record)
{
    Mode(0).m_base = record.BaseCurrent;
    Mode(0).m_target = record.TargetCurrent;
    Mode(1).m_base = record.BaseVelocity;
    Mode(1).m_target = record.TargetVelocity;
    Mode(2).m_base = record.BasePosition;
    Mode(2).m_target = record.TargetPosition;
    m_settings = record.Settings();
}

void CTuningModeSet::FillRecord(StepResponseRecord& record) const
{
    record.BaseCurrent = m_modes[0]->m_base;
    record.TargetCurrent = m_modes[0]->m_target;
    record.BaseVelocity = m_modes[1]->m_base;
    record.TargetVelocity = m_modes[1]->m_target;
    record.BasePosition = m_modes[2]->m_base;
    record.TargetPosition = m_modes[2]->m_target;
    record.Duration = m_settings.Duration;
    record.Dwell = m_settings.Dwell;
    record.StepsPerTest = m_settings.StepsPerTest;
    record.Direction = m_settings.Direction;
    record.TestMode = m_settings.TestMode;
}
