// The demo link with the test frame ticking the open-window list and the I/O
// windows registered under their names: the Tavro drive at 2, Kreln at 1. The
// windows read the program's own factory file.
#pragma once

#include <vector>

#include "comm/demo/DemoRegisterCodes.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "platform/core/SingleLock.h"
#include "setup/io/windows/IoWindowFiles.h"

class IoWindowsTest : public DriveWindowDemoTest {
protected:
    IoWindowsTest() { m_useTable = false; }
    void SetUp() override
    {
        SetIoFactoryIniPath(KV_FACTORY_INI);
        DriveWindowDemoTest::SetUp();
    }
    void TearDown() override
    {
        DriveWindowDemoTest::TearDown();
        SetIoFactoryIniPath("");
    }
    void PrepareDrives() override { PrepareModel(); }
    void RegisterWindows(CGuiUpdateDlgIdMap&) override { RegisterIoWindows(); }
    virtual void PrepareModel() {}
    virtual void RegisterIoWindows() {}

    CString Run(const char* command)
    {
        CString reply;
        m_frame.m_list.ExecuteCommand(command, reply, 1);
        return reply;
    }
};
