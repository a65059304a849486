// The whole program at rest, as a user leaves it: processor time (% of one
// core) and wake-ups a second of every thread of the process, measured while
// the program blocks in its own event loop. Four cases, each in a fresh
// process started from this one:
//   no-link        the main window only
//   demo           the demo link open, no window
//   demo-windows   the demo link with Servo Tuning, Control Panel, Terminal
//                  and Watch Registers open
//   demo-scope     the same plus a monitoring oscilloscope
// Usage: program_idle_bench [seconds per run, default 10] [runs, default 3]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "app/NetworkReachability.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "bench/ProcessUsage.h"
#include "testing/TempDir.h"

namespace {

struct Case {
    const char* name;
    bool demo;
    std::vector<const char*> menuItems;
};

const std::vector<Case>& Cases()
{
    static const std::vector<const char*> windows = {"&Setup|Servo T&uning...", "&Setup|&Control Panel",
                                                     "&Tools|Terminal &Window...", "&Tools|Watch Registers"};
    static std::vector<const char*> withScope = [] {
        auto items = windows;
        items.push_back("&Tools|&Oscilloscope");
        return items;
    }();
    static const std::vector<Case> cases = {
        {"no-link", false, {}},
        {"demo", true, {}},
        {"demo-windows", true, windows},
        {"demo-scope", true, withScope},
    };
    return cases;
}

// Runs in the child: sets the case up as a user would, lets it settle, then
// measures while the main thread sits in the program's own event loop.
int RunCase(const Case& c, int seconds)
{
    TempDir home;
    kvtest::SetNetworkAlive(0);
    auto app = std::make_unique<CKorvaneApp>();
    app->GetStartupOptions().splashWaitMs = 0;
    app->GetStartupOptions().showSplash = false;
    if (!app->InitInstance())
        return 2;
    CMainFrame* frame = app->GetMainFrame();
    if (c.demo && !kvtest::ChooseMenuItem(frame, "&File|&Demo"))
        return 3;
    for (const char* item : c.menuItems)
        if (!kvtest::ChooseMenuItem(frame, item)) {
            std::fprintf(stderr, "menu item %s not available\n", item);
            return 4;
        }

    double cpu = 0.0;
    double wakeups = 0.0;
    std::thread meter([&] {
        std::this_thread::sleep_for(std::chrono::seconds(3));  // windows open, first reads answered
        const double cpuBefore = ProcessCpuSeconds();
        const long switchesBefore = ProcessSwitches();
        const auto wallBefore = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        cpu = 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
        // The meter's own sleep ends once.
        wakeups = static_cast<double>(ProcessSwitches() - switchesBefore - 1) / wall;
        AfxPostQuitMessage(0);
    });
    app->Run();
    meter.join();
    std::printf("%-13s cpu %6.2f %% of a core   wake-ups %7.1f /s\n", c.name, cpu, wakeups);
    std::fflush(stdout);
    if (frame && frame->IsCommOpen())
        frame->CloseCommunication(0);
    app.reset();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--case") {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        AfxWinInit();
        AfxSetScriptedMode(TRUE);  // a box nobody answers would hold the run
        const int code = RunCase(Cases().at(static_cast<size_t>(std::atoi(argv[2]))), std::atoi(argv[3]));
        std::_Exit(code);  // the figure is out; tearing down the window system adds nothing
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    for (size_t i = 0; i < Cases().size(); ++i) {
        for (int run = 0; run < runs; ++run) {
            const pid_t child = fork();
            if (child == 0) {
                const std::string index = std::to_string(i);
                const std::string span = std::to_string(seconds);
                execl("/proc/self/exe", argv[0], "--case", index.c_str(), span.c_str(), static_cast<char*>(nullptr));
                std::_Exit(127);
            }
            int status = 0;
            waitpid(child, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                std::printf("%-13s run %d failed (status %d)\n", Cases()[i].name, run + 1, status);
        }
    }
    return 0;
}
