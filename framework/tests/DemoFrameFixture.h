// The demo link with the test frame ticking the open-window list, the sample
// drive window, the sample sheet and the scope stand-in registered: the
// ground of the sheet, layout and text-command tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "SampleChildDlg.h"
#include "SampleDriveDlg.h"
#include "SampleSheet.h"
#include "TestFrame.h"
#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

class DemoFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        m_comm.SetPortFactory(&m_factory);
        ASSERT_EQ(m_comm.OpenDemoCommunications(), 1);
        CDistManager::Install(&m_dist);
        ASSERT_TRUE(m_dist.Start());
        AfxTakeScriptedMessageLog();
        CSampleDriveDlg::Register(m_frame.m_registry);
        CSampleSheet::Register(m_frame.m_registry);
        CSampleChildDlg::RegisterTemplate();
        m_frame.m_list.Initialise(nullptr);
        m_frame.m_scope = &m_scope;
        m_frame.StartTicking();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        m_frame.m_list.RemoveItem(&m_scope);
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
        AfxTakeScriptedMessageLog();
        EXPECT_EQ(CSampleDriveDlg::s_alive, 0);
        EXPECT_EQ(CSampleSheet::s_alive, 0);
        EXPECT_EQ(CSampleChildDlg::s_alive, 0);
    }

    CSampleDriveDlg* OpenSample(const char* name = kSampleWindowName)
    {
        return dynamic_cast<CSampleDriveDlg*>(m_frame.m_registry.CreateGui(name, nullptr, 1));
    }
    CSampleSheet* OpenSheet()
    {
        return dynamic_cast<CSampleSheet*>(m_frame.m_registry.CreateGui(kSampleSheetName, nullptr, 1));
    }
    LONG ModelValue(int address, const char* mnemonic)
    {
        LONG value = 0;
        m_factory.m_simulator->Model().GetRegister(address, MnemonicToCode(mnemonic), value);
        return value;
    }
    void SetModelValue(int address, const char* mnemonic, LONG value)
    {
        m_factory.m_simulator->Model().SetRegister(address, MnemonicToCode(mnemonic), value, 1);
    }
    // Runs a command as the command router does; the reply.
    CString Run(const char* command, int runNow = 0)
    {
        CString reply;
        m_frame.m_list.ExecuteCommand(command, reply, runNow);
        return reply;
    }
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 10000); }
    // Lets posted closes and the list's next ticks run.
    static void Settle()
    {
        int rounds = 0;
        AfxPumpMessagesUntil([&] { return ++rounds > 20; }, 2000);
    }
    std::vector<std::string> MessageLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : m_app.m_debugLines)
            if (line.rfind("MSGBOX:", 0) == 0)
                lines.push_back(line);
        return lines;
    }

    TempDir m_home;
    TestAppServices m_app;
    DemoPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
    TestFrame m_frame;
    CScopeStandIn m_scope;
};
