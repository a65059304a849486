// The demo link with the test frame ticking, the bound-controls window
// registered and a simulator that records the write frames it receives, so a
// test can check the width a value was sent with.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <vector>

#include "BoundControlsDlg.h"
#include "SettingsListDlg.h"
#include "TestListEngine.h"
#include "TestFrame.h"
#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/link/CommManager.h"
#include "comm/link/CommPortFactory.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

struct WriteFrame {
    int address;
    int code;
    int width;
    LONG value;
};

class RecordingSimulator : public CCommunicationsModuleSimulator {
public:
    int Write(int count, const BYTE* bytes) override
    {
        Record(count, bytes);
        return CCommunicationsModuleSimulator::Write(count, bytes);
    }
    std::vector<WriteFrame> Writes()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_writes;
    }
    size_t CountWrites(int code)
    {
        size_t count = 0;
        for (const WriteFrame& frame : Writes())
            count += frame.code == code;
        return count;
    }
    // The last write of a register; width 0 when none came.
    WriteFrame LastWrite(int code)
    {
        WriteFrame found{0, code, 0, 0};
        for (const WriteFrame& frame : Writes())
            if (frame.code == code)
                found = frame;
        return found;
    }

private:
    void Record(int count, const BYTE* bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int at = 0; at + 4 <= count;) {
            const int width = bytes[at] >> 5;
            if (width > 4 || at + 4 + width > count || bytes[at + 3 + width] != static_cast<BYTE>(bytes[at] ^ 0xFF)) {
                ++at;  // not a frame start: look on from the next byte
                continue;
            }
            if (width > 0) {
                DWORD raw = 0;
                for (int i = 0; i < width; ++i)
                    raw |= static_cast<DWORD>(bytes[at + 3 + i]) << (8 * i);
                LONG value = static_cast<LONG>(raw);
                if (width < 4 && (raw & (1u << (8 * width - 1))))
                    value = static_cast<LONG>(raw | (~0u << (8 * width)));
                m_writes.push_back({bytes[at] & 31, (bytes[at + 1] << 8) | bytes[at + 2], width, value});
            }
            at += 4 + width;
        }
    }
    std::mutex m_mutex;
    std::vector<WriteFrame> m_writes;
};

class RecordingPortFactory : public CCommPortFactory {
public:
    CQVXCommPort* CreateSerialPort(const CString&, DWORD, int, int, int) override { return nullptr; }
    CQVXCommPort* CreateUdpPort(const CString&, const BYTE*) override { return nullptr; }
    CQVXCommPort* CreateDemoPort() override { return m_simulator = new RecordingSimulator; }
    RecordingSimulator* m_simulator = nullptr;
};

class BoundControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        m_comm.SetPortFactory(&m_factory);
        ASSERT_EQ(m_comm.OpenDemoCommunications(), 1);
        CDistManager::Install(&m_dist);
        ASSERT_TRUE(m_dist.Start());
        m_params.SetDistManager(&m_dist);
        AfxTakeScriptedMessageLog();
        CBoundControlsDlg::Register(m_frame.m_registry);
        CSettingsListDlg::Register(m_frame.m_registry);
        m_frame.m_list.Initialise(&m_params);
        m_frame.m_list.SetInteractive(0);
        m_frame.StartTicking();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        m_params.RemoveAllDrives();
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
        AfxTakeScriptedMessageLog();
        EXPECT_EQ(CBoundControlsDlg::s_alive, 0);
        EXPECT_EQ(CSettingsListDlg::s_alive, 0);
    }

    CBoundControlsDlg* Open()
    {
        auto* dlg = dynamic_cast<CBoundControlsDlg*>(m_frame.m_registry.CreateGui(kBoundWindowName, nullptr, 1));
        if (dlg && dlg->GetDrive() != 1)
            dlg->SetDrive(1, 1);
        return dlg;
    }
    LONG ModelValue(int address, int code)
    {
        LONG value = 0;
        m_factory.m_simulator->Model().GetRegister(address, code, value);
        return value;
    }
    void SetModelValue(int address, int code, LONG value)
    {
        m_factory.m_simulator->Model().SetRegister(address, code, value, 1);
    }
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 10000); }
    static CString Text(CWnd* wnd)
    {
        CString text;
        wnd->GetWindowText(text);
        return text;
    }
    std::vector<std::string> MessageLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : m_app.m_debugLines)
            if (line.rfind("MSGBOX:", 0) == 0)
                lines.push_back(line);
        return lines;
    }
    // The colour of a point of a window's client area as drawn now.
    static COLORREF PixelOf(CWnd* wnd, int x, int y)
    {
        CRect client;
        wnd->GetClientRect(&client);
        CBitmap image;
        image.CreateCompatibleBitmap(nullptr, client.Width(), client.Height());
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&image);
        wnd->PrintWindow(&dc, PW_CLIENTONLY);
        dc.SelectObject(static_cast<CBitmap*>(nullptr));
        return image.GetPixel(x < 0 ? client.Width() + x : x, y < 0 ? client.Height() + y : y);
    }

    TempDir m_home;
    TestListEngineScope m_engines;
    TestAppServices m_app;
    RecordingPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
    CGlobalParameterTable m_params;
    TestFrame m_frame;
};
