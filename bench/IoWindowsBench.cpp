// One GUI update tick with the control panel, status, last-faults, control-loop
// signals and register watch windows open on the demo link: well below the 100 ms tick.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/tests/TestFrame.h"
#include "platform/core/Profile.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "setup/io/windows/QvxGuiCPanelDlg.h"
#include "setup/io/windows/QvxGuiStatusControlSignalDlg2.h"
#include "setup/io/windows/QvxLastFaultsLampDlg.h"
#include "setup/io/windows/QvxStatusLampsDlg.h"
#include "setup/io/windows/QvxWatchRegistersDlg.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

namespace {

void BM_GuiTickWithIoWindows(benchmark::State& state)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
    DemoPortFactory factory;
    CCommManager comm;
    comm.SetPortFactory(&factory);
    if (comm.OpenDemoCommunications() != 1) {
        state.SkipWithError("demo link");
        return;
    }
    CCommManagerLink link{comm};
    CDistManager dist{&link};
    CDistManager::Install(&dist);
    dist.Start();
    CGlobalParameterTable table;
    table.SetDistManager(&dist);
    table.AddDrive(1);
    table.AddDrive(2);
    {
        TestFrame frame;
        frame.m_list.Initialise(&table);
        AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
        frame.m_registry.RegisterGui("STATUS", RUNTIME_CLASS(CQvxStatusLampsDlg), 6, 0);
        frame.m_registry.RegisterGui("LAST_FAULTS", RUNTIME_CLASS(CQvxLastFaultsLampDlg), 6, 0);
        frame.m_registry.RegisterGui("SIGNALS", RUNTIME_CLASS(CQvxGuiStatusControlSignalDlg2), 6, 0);
        frame.m_registry.RegisterGui("WATCH", RUNTIME_CLASS(CQvxWatchRegistersDlg), 6, 0);
        frame.m_registry.RegisterGui("CONTROL_PANEL", RUNTIME_CLASS(CQvxGuiCPanelDlg), 6, 0);
        for (const char* name : {"CONTROL_PANEL", "STATUS", "LAST_FAULTS", "SIGNALS", "WATCH"})
            frame.m_registry.CreateGui(name, nullptr, 1);
        // Let the windows reach their periodic updates.
        int ticks = 0;
        AfxPumpMessagesUntil(
            [&] {
                frame.m_list.UpdateAll();
                return ++ticks > 30;
            },
            5000);
        AfxPumpMessagesUntil([] { return false; }, 1500);
        for (auto _ : state) {
            frame.m_list.UpdateAll();
            AfxPumpMessagesUntil([] { return true; }, 0);
        }
        frame.DestroyAllWindows();
    }
    table.RemoveAllDrives();
    dist.Stop();
    CDistManager::Install(nullptr);
    comm.CloseCommunications();
}
BENCHMARK(BM_GuiTickWithIoWindows)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit();
    AfxSetScriptedMode(TRUE);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AfxWinTerm();
    return 0;
}
