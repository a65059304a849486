// The program's own costs: start-up to the shown main window (the splash
// wait and the network test aside), and one GUI update tick of the main frame
// with 30 of the program's own drive windows, of several kinds, open on the
// demo link.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "app/NetworkReachability.h"
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
    // Windows a user keeps open while tuning and watching a drive; kinds that
    // allow one window only stop adding, the others fill up to 30.
    static const char* const kinds[] = {"CONTROL_PANEL", "STATUS_CONTROL_SIGNALS", "STATUS", "MOTOR_SAFETY",
                                        "ANALOGIO", "DIGITALIO", "TRAJECTORY_GEN", "FILTERS", "SERVO_TUNING",
                                        "ENCODERS", "LAST_FAULTS", "COMMUTATION", "WATCH_REGISTERS", "TERMINAL"};
    for (int round = 0; round < 10 && frame->GetUpdateList()->GetCount() < 30; ++round)
        for (const char* kind : kinds)
            if (frame->GetUpdateList()->GetCount() < 30)
                frame->GetDlgIdMap()->CreateGui(kind, nullptr, 1);
    if (frame->GetUpdateList()->GetCount() < 30) {
        state.SkipWithError(("fewer than 30 drive windows opened: " + std::to_string(frame->GetUpdateList()->GetCount())).c_str());
        return;
    }
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
