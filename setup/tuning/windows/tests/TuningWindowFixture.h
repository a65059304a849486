// The tuning windows on the demo link: the engine, a frame that ticks the
// open-window list, the conversion table for both drives, and a copy of the
// link traffic so tests can tell exactly what was written.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "TestFrame.h"
#include "comm/trace/CommManagerTraceClient.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/WinApp.h"
#include "setup/tuning/windows/QvxGuiSetupAutoManualTuningDlg.h"
#include "setup/tuning/windows/QvxGuiSetupServoTuningDlg.h"
#include "testing/DemoEngine.h"

class TuningWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine.Open();
        m_table.SetDistManager(&m_engine.m_dist);
        m_table.AddDrive(1);
        m_table.AddDrive(2);
        m_frame.m_list.Initialise(&m_table);
        m_frame.m_registry.RegisterGui("SERVO_TUNING", RUNTIME_CLASS(CQvxGuiSetupServoTuningDlg), 6, 0);
        m_frame.m_registry.RegisterGui("MOTOR_PARAMS", RUNTIME_CLASS(CQvxGuiSetupAutoManualTuningDlg), 6, 0);
        m_engine.m_comm.AddClient(&m_trace);
        m_frame.StartTicking();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        m_engine.m_comm.RemoveClient(&m_trace);
        m_engine.Close();
        m_table.RemoveAllDrives();
        AfxTakeScriptedMessageLog();
    }

    template <class Window>
    Window* Open(const char* name)
    {
        auto* window = static_cast<Window*>(m_frame.m_registry.CreateGui(name, nullptr, 1));
        EXPECT_NE(window, nullptr);
        return window;
    }
    // Values written to a register since the last call, oldest first.
    std::vector<LONG> Writes(int address, WORD code)
    {
        DrainTrace();
        std::vector<LONG> values;
        for (const CAmpMsg& message : m_written)
            if (message.m_address == address && message.m_code == code)
                values.push_back(message.m_value);
        return values;
    }
    // Every register written since the last call.
    std::vector<CAmpMsg> TakeWrites()
    {
        DrainTrace();
        std::vector<CAmpMsg> taken;
        taken.swap(m_written);
        return taken;
    }
    void ClearWrites() { TakeWrites(); }
    bool Until(const std::function<bool()>& condition, int ms = 10000) { return AfxPumpMessagesUntil(condition, ms); }
    void SetModel(int address, WORD code, LONG value)
    {
        m_engine.m_factory.m_simulator->Model().SetRegister(address, code, value, 1);
    }
    static bool Logged(const std::vector<CString>& log, const char* text)
    {
        for (const CString& line : log)
            if (line.Find(text) >= 0)
                return true;
        return false;
    }

    DemoEngine m_engine;
    CGlobalParameterTable m_table;
    TestFrame m_frame;
    CCommManagerTraceClient m_trace;

private:
    void DrainTrace()
    {
        CAmpMsg message;
        DWORD tag = 0;
        while (m_trace.GetNextItem(message, tag))
            if (tag == 1 && message.m_width > 0)
                m_written.push_back(message);
    }
    std::vector<CAmpMsg> m_written;
};
