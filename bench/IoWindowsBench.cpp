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
        AfxWriteProfileInt("GENERAL", "DFLTDRV", 2);
        frame.m_registry.RegisterGui("STATUS", RUNTIME_CLASS(CQvxStatusLampsDlg), 6, 0);
        frame.m_registry.RegisterGui("LAST_FAULTS", RUNTIME_CLASS(CQvxLastFaultsLampDlg), 6, 0);
        frame.m_registry.RegisterGui("SIGNALS", RUNTIME_CLASS(CQvxGuiStatusControlSignalDlg2), 6, 0);
        frame.m_registry.RegisterGui("WATCH", RUNTIME_CLASS(CQvxWatchRegistersDlg), 6, 0);
        frame.m_registry.RegisterGui("CONTROL_PANEL", RUNTIME_CLASS(CQvxGuiCPanelDlg), 6, 0);
        auto* panel = dynamic_cast<CQvxGuiCPanelDlg*>(frame.m_registry.CreateGui("CONTROL_PANEL", nullptr, 1));
        for (const char* name : {"STATUS", "LAST_FAULTS", "SIGNALS", "WATCH"})
            frame.m_registry.CreateGui(name, nullptr, 1);
        // Let the windows reach their periodic updates, the frame ticking as the program's does.
        frame.StartTicking();
        AfxPumpMessagesUntil(
            [&] {
                for (POSITION pos = frame.m_list.GetHeadPosition(); pos;)
                    if (!frame.m_list.GetNext(pos)->AreStagesDone())
                        return false;
                return panel && panel->IsReady() && panel->Bar(0).m_drawnX >= 0;
            },
            10000);
        frame.StopTicking();
        if (!panel || !panel->IsReady() || panel->Bar(0).m_drawnX < 0)
            state.SkipWithError("the control panel did not start");
        // A skipped benchmark runs no iteration.
        for (auto _ : state) {
            // Untimed: the windows' update periods run out while replies come in.
            state.PauseTiming();
            AfxPumpMessagesUntil([] { return false; }, 200);
            state.ResumeTiming();
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
BENCHMARK(BM_GuiTickWithIoWindows)->Unit(benchmark::kMicrosecond)->Iterations(40);

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
