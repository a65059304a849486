// The demo link with a parameter table and the test frame ticking the
// open-window list: the ground of drive window tests. New windows take the
// Tavro drive (address 2).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "comm/demo/DemoRegisterCodes.h"
#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/tests/TestFrame.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

class DriveWindowDemoTest : public ::testing::Test {
protected:
    static constexpr int kKreln = 1;
    static constexpr int kTavro = 2;

    void SetUp() override
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        m_comm.SetPortFactory(&m_factory);
        ASSERT_EQ(m_comm.OpenDemoCommunications(), 1);
        PrepareDrives();
        CDistManager::Install(&m_dist);
        ASSERT_TRUE(m_dist.Start());
        if (m_useTable) {
            m_table.SetDistManager(&m_dist);
            m_table.AddDrive(kKreln);
            m_table.AddDrive(kTavro);
        }
        m_frame.m_list.Initialise(m_useTable ? &m_table : nullptr);
        RegisterWindows(m_frame.m_registry);
        AfxWriteProfileInt("GENERAL", "DFLTDRV", kTavro);
        m_frame.StartTicking();
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        if (m_useTable)
            m_table.RemoveAllDrives();
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
        AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
        AfxTakeScriptedMessageLog();
    }
    // Before the distribution starts: registers the windows read at once.
    virtual void PrepareDrives() {}
    // Windows found by name that the program would register.
    virtual void RegisterWindows(CGuiUpdateDlgIdMap& /*registry*/) {}

    CDemoRegisterModel& Model() { return m_factory.m_simulator->Model(); }
    LONG Register(int drive, int code)
    {
        LONG value = 0;
        Model().GetRegister(drive, code, value);
        return value;
    }
    void SetRegister(int drive, int code, LONG value) { Model().SetRegister(drive, code, value, 1); }
    // An entry of an indexed register, read without disturbing its index.
    LONG Indexed(int drive, int code, int indexCode, int index)
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        const LONG saved = Register(drive, indexCode);
        SetRegister(drive, indexCode, index);
        const LONG value = Register(drive, code);
        SetRegister(drive, indexCode, saved);
        return value;
    }
    void SetIndexed(int drive, int code, int indexCode, int index, LONG value)
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        const LONG saved = Register(drive, indexCode);
        SetRegister(drive, indexCode, index);
        SetRegister(drive, code, value);
        SetRegister(drive, indexCode, saved);
    }
    // fs = MDL12 * MDL11 * 1e6 / (4 * PWM) = 10 kHz: gains that need a servo frequency have one.
    void SetServoFrequency(int drive)
    {
        using namespace demo_codes;
        SetIndexed(drive, MDL, MDI, 11, 1);
        SetIndexed(drive, MDL, MDI, 12, 40);
        SetRegister(drive, MnemonicToCode("PWM"), 1000);
    }
    // A generous deadline: it costs only a failing test, and sanitizer builds on a loaded machine are slow.
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 30000); }
    static void Settle()
    {
        int rounds = 0;
        AfxPumpMessagesUntil([&] { return ++rounds > 10; }, 2000);
    }
    // Boxes shown since the last call, text only.
    static std::vector<CString> Boxes() { return AfxTakeScriptedMessageLog(); }
    // Whether one of the message boxes shown holds the text.
    static bool Shown(const std::vector<CString>& boxes, const char* text)
    {
        for (const CString& box : boxes)
            if (box.Find(text) >= 0)
                return true;
        return false;
    }

    TempDir m_home;
    TestAppServices m_app;
    DemoPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
    // Windows that read conversion parameters need the table; others do without.
    bool m_useTable = true;
    CGlobalParameterTable m_table;
    TestFrame m_frame;
};
