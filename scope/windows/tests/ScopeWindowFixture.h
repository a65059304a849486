// The oscilloscope window on the demo link: drive 1 (Kreln) and drive 2
// (Tavro) streamed by the simulator, conversion parameters answered at once.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "comm/protocol/AmpCommand.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/WinApp.h"
#include "scope/ScopeDriveServices.h"
#include "scope/windows/QvxScopeDlg.h"
#include "testing/DemoEngine.h"

class ScopeDemoServices : public CScopeDriveServices {
public:
    explicit ScopeDemoServices(TestAppServices& app) : m_app(app) {}
    bool IsDriveConnected(int address) override
    {
        for (const CAmplifierData& drive : m_app.Connected())
            if (drive.m_address == address)
                return true;
        return false;
    }
    bool GetConversionParameter(int, int id, double& value) override
    {
        value = id == 6 ? 21.0 : 1.0;
        return true;
    }
    bool HasConversionParameter(int, int) override { return true; }
    void ShowMessage(const char* text) override { AfxEngineMessageBox(text, "Oscilloscope", MB_OK); }
    CString GetFactorySettingsPath() override { return KV_SCOPE_RESOURCES "/kvfact.ini"; }

private:
    TestAppServices& m_app;
};

// The oscilloscope, counting the paints it gets.
class CPaintCountingScope : public CQvxScopeDlg {
public:
    using CQvxScopeDlg::CQvxScopeDlg;
    int paints = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT)
            ++paints;
        return CQvxScopeDlg::WindowProc(message, wParam, lParam);
    }
};

class ScopeWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine.Open();
        AfxTakeScriptedMessageLog();
        m_scope.SetDataFolder(m_engine.m_home.path().c_str());
    }
    void TearDown() override
    {
        m_scope.StopMonitoring();
        m_enabler.CancelAllQueries();
        if (m_scope.GetSafeHwnd())
            m_scope.DestroyWindow();
        m_engine.Close();
    }
    // Channel `trace` shows `command` of drive `address`.
    CScopeSourceData* Assign(int trace, int address, const char* command)
    {
        CScopeSourceData* source = m_scope.m_sources.AddNew();
        source->AmpAddr = address;
        source->Command = command;
        source->Description = command;
        source->UnitsCode = 0;
        source->Enabled = 1;
        m_scope.m_traces[trace].YSourceID = source->SourceID;
        m_scope.m_traces[trace].Enabled = 1;
        m_scope.m_traces[trace].Color = CScopeTraceDataArray::DefaultColor(trace);
        return source;
    }
    void EnableDrive1() { m_enabler.SendCommand(1, static_cast<WORD>(MnemonicToCode("EN")), 1); }
    // Points of a plot trace, with their bounds.
    bool TraceHasPoints(int trace)
    {
        double a, b, c, d;
        return m_scope.GetTraceMinMax(trace, a, b, c, d) != 0;
    }
    CString Text(int id)
    {
        CString text;
        m_scope.GetDlgItem(id)->GetWindowText(text);
        return text;
    }
    int Mode()
    {
        CSingleLock lock(&m_scope.m_scopeLock, TRUE);
        return m_scope.m_scopeMode;
    }

    DemoEngine m_engine;
    CDistMngrResponseReceiver m_enabler;
    ScopeDemoServices m_services{m_engine.m_app};
    CPaintCountingScope m_scope{&m_services};
};
