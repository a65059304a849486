// The drive window ground of the drive mode window tests: the drives run at
// a servo frequency and the drive mode windows are registered.
#pragma once

#include "DialogReadings.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "setup/motor/windows/MotorWindowClasses.h"

class MotorDemoTest : public DriveWindowDemoTest, protected MotorDialogReadings {
protected:
    void PrepareDrives() override
    {
        for (int drive : {kKreln, kTavro})
            SetServoFrequency(drive);
    }
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override { RegisterMotorModeWindows(registry); }
    bool IsOpen(const char* className, int drive = kTavro) const { return m_frame.m_list.FindItem(className, drive) != nullptr; }
};
