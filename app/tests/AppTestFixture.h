// Starts the real application object headless in a fresh $KORVANE_HOME, the
// way the program starts, with the splash wait shortened and the network
// answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "app/NetworkReachability.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/TestHttpServer.h"

// A "ping" first on PATH that answers at once, or never.
class FakePing {
public:
    FakePing(const TempDir& dir, bool answers)
    {
        const std::string bin = dir.File("bin");
        std::filesystem::create_directory(bin);
        std::ofstream(bin + "/ping") << (answers ? "#!/bin/sh\nexit 0\n" : "#!/bin/sh\nexec sleep 600\n");
        std::filesystem::permissions(bin + "/ping", std::filesystem::perms::owner_all);
        m_oldPath = std::getenv("PATH");
        setenv("PATH", (bin + ":" + m_oldPath).c_str(), 1);
    }
    ~FakePing() { setenv("PATH", m_oldPath.c_str(), 1); }

private:
    std::string m_oldPath;
};

// A database stand-in that counts what the program asked of it.
class CountingDatabase : public CAppDatabase {
public:
    bool HasCloudManagementWindow() const override { return true; }
    bool ToggleCloudManagementWindow() override
    {
        m_visible = !m_visible;
        ++m_toggles;
        return true;
    }
    bool IsCloudManagementWindowVisible() const override { return m_visible; }
    bool CanClose() override { return m_mayClose && CAppDatabase::CanClose(); }
    int m_toggles = 0;
    bool m_visible = false;
    bool m_mayClose = true;
};

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the application object (without starting it).
    CKorvaneApp& MakeApp();
    // Starts it; the frame is shown when this returns TRUE.
    BOOL Start();
    // Closes the main frame with its close button, as the user does.
    void CloseFrame();
    CMainFrame* Frame() const { return m_app ? m_app->GetMainFrame() : nullptr; }
    CountingDatabase* Database() const { return m_database; }
    // The scripted message boxes shown since the last call.
    static std::vector<CString> Messages()
    {
        std::vector<CString> texts = AfxTakeScriptedMessageLog();
        for (CString& text : texts)
            if (text.Left(7) == "MSGBOX:")
                text = text.Mid(7);
        return texts;
    }
    static bool Wait(const std::function<bool()>& condition, int ms = 10000)
    {
        return AfxPumpMessagesUntil(condition, ms);
    }
    // What the frame's fault manager holds once its pending alerts are processed, oldest first.
    std::vector<CFaultLogItem> Alerts();
    int CountAlerts(const char* key);
    // The cloud answers the start-up synchronisation with one motor and one encoder.
    void AnswerCloudSync();
    // The colour at a client point of a window, read from its image.
    static COLORREF PixelOf(CWnd* window, int x, int y);

    TempDir m_home;
    // The cloud service as start-up meets it: never a host off this machine.
    TestHttpServer m_cloud;
    static constexpr const char* kCloudPath = "/7C41D0A9E35B2F86/";
    std::unique_ptr<CKorvaneApp> m_app;
    CountingDatabase* m_database = nullptr;
};
