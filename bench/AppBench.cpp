// The program's own costs: start-up to the shown main window (the splash
// wait and the network test aside), and one GUI update tick of the main frame
// with 30 drive windows open on the demo link.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "app/NetworkReachability.h"
#include "framework/tests/SampleDriveDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"

namespace {

std::unique_ptr<CKorvaneApp> StartApp()
{
    auto app = std::make_unique<CKorvaneApp>();
    app->GetStartupOptions().splashWaitMs = 0;
    app->GetStartupOptions().showSplash = false;
    if (!app->InitInstance())
        return nullptr;
    return app;
}

void BM_StartupToMainWindow(benchmark::State& state)
{
    kvtest::SetNetworkAlive(0);
    for (auto _ : state) {
        TempDir home;
        std::unique_ptr<CKorvaneApp> app = StartApp();
        if (!app) {
            state.SkipWithError("start-up failed");
            break;
        }
        state.SetIterationTime(app->GetSecondsToMainWindow());
        app.reset();
        AfxPumpMessages();
    }
}
BENCHMARK(BM_StartupToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GuiTickWith30DriveWindows(benchmark::State& state)
{
    kvtest::SetNetworkAlive(0);
    TempDir home;
    std::unique_ptr<CKorvaneApp> app = StartApp();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (!frame || !frame->OpenDemoCommunication()) {
        state.SkipWithError("the demo link did not open");
        return;
    }
    CSampleDriveDlg::Register(*frame->GetDlgIdMap());
    for (int i = 0; i < 30; ++i)
        frame->GetDlgIdMap()->CreateGui(kSampleWindowName, nullptr, 1);
    frame->KillTimer(kTimerGuiUpdate);  // the benchmark runs the ticks
    AfxPumpMessagesUntil([] { return false; }, 500);
    for (auto _ : state) {
        frame->SendMessage(WM_TIMER, kTimerGuiUpdate);
        // The next tick comes 100 ms later, as the frame's timer gives it, so each
        // window's 0.2 s refresh falls due and its answers have arrived.
        state.PauseTiming();
        AfxPumpMessagesUntil([] { return false; }, 100);
        state.ResumeTiming();
    }
    state.counters["windows"] = frame->GetUpdateList()->GetCount();
    frame->CloseCommunication(0);
    AfxPumpMessages();
    app.reset();
}
BENCHMARK(BM_GuiTickWith30DriveWindows)->Unit(benchmark::kMillisecond)->Iterations(50);
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
