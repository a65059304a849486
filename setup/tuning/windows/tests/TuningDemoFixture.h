// The drive window ground of the filter and profile window tests: both drives
// run their servo loop at 10 kHz and the tuning files live in the test's home.
#pragma once

#include "framework/tests/DriveWindowDemoTest.h"
#include "setup/tuning/windows/TuningWindowFiles.h"

class TuningDemoTest : public DriveWindowDemoTest {
protected:
    void SetUp() override
    {
        SetTuningFilePaths(m_home.File("Filters.ini").c_str(), m_home.File("kvfact.ini").c_str());
        DriveWindowDemoTest::SetUp();
    }
    void TearDown() override
    {
        DriveWindowDemoTest::TearDown();
        SetTuningFilePaths("", "");
    }
    void PrepareDrives() override
    {
        for (int drive : {kKreln, kTavro})
            SetServoFrequency(drive);
        PrepareModel();
    }
    // Registers the drive holds before the parameter table first reads them.
    virtual void PrepareModel() {}
};
