// The tool windows' costs: one debug-watch writer call (goal: at most 2 us)
// and one terminal trace tick with trace on at a busy link's rate (goal: at most 20 ms).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "app/NetworkReachability.h"
#include "app/tools/DebugWatchWindowDlg.h"
#include "app/tools/QvxTerminalDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"

namespace {

// Named values, stopwatches and log lines as the engine threads write them, window shown, log file open.
void BM_DebugWatchWriterCall(benchmark::State& state)
{
    TempDir home;
    CDebugWatchWindowDlg watch;
    watch.OpenLogFile(home.File("DWWLog.txt").c_str());
    watch.Show(nullptr, 1);
    int i = 0;
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: watch.SetWatchValue("ComMngr QSize", ++i); break;
        case 1: watch.LapTimer("CCommManager::ExecCycle Update"); break;
        default: watch.AddMessage(" 12.345: TX @1:VER"); break;
        }
        if ((++i & 1023) == 0) {
            state.PauseTiming();
            watch.Refresh();  // the window's 100 ms drain
            state.ResumeTiming();
        }
    }
    state.SetLabel(state.range(0) == 0 ? "SetWatchValue" : state.range(0) == 1 ? "LapTimer" : "AddMessage");
}
BENCHMARK(BM_DebugWatchWriterCall)->Arg(0)->Arg(1)->Arg(2);

// One 100 ms trace tick draining 1000 traced frames (10 000 frames a second) on the demo link.
void BM_TerminalTraceTick(benchmark::State& state)
{
    TempDir home;
    kvtest::SetNetworkAlive(0);
    auto app = std::make_unique<CKorvaneApp>();
    app->GetStartupOptions().splashWaitMs = 0;
    app->GetStartupOptions().showSplash = false;
    if (!app->InitInstance() || !kvtest::ChooseMenuItem(app->GetMainFrame(), "&File|&Demo")) {
        state.SkipWithError("start-up failed");
        return;
    }
    app->GetMainFrame()->SendMessage(WM_COMMAND, 32799);
    auto* terminal = dynamic_cast<CQvxTerminalDlg*>(app->GetMainFrame()->GetUpdateList()->GetTail());
    if (!terminal) {
        state.SkipWithError("no terminal");
        return;
    }
    terminal->ExecuteLine("trace+:");
    terminal->ExecuteLine("filter+:SSA");
    const BYTE drive = static_cast<BYTE>(terminal->GetDrive());
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 1000; ++i)
            terminal->AddItem(CAmpMsg(i % 3 ? drive : static_cast<BYTE>(drive + 1), static_cast<WORD>(22706 + i % 4), i, 4), i & 1);
        state.ResumeTiming();
        terminal->OnTimer(CQvxTerminalDlg::kTraceTimer);
    }
    terminal->ExecuteLine("trace-:");
    app.reset();
    AfxPumpMessages();
    kvtest::SetNetworkAlive(-1);
}
BENCHMARK(BM_TerminalTraceTick)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    AfxWinInit();
    AfxSetScriptedMode(TRUE);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AfxWinTerm();
    return 0;
}
