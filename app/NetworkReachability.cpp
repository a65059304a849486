#include "NetworkReachability.h"

#include <atomic>
#include <chrono>
#include <future>
#include <ifaddrs.h>
#include <net/if.h>
#include <thread>

#include "platform/core/Process.h"

namespace {
std::atomic<int> g_networkAlive{-1};
}  // namespace

namespace kvtest {
void SetNetworkAlive(int alive) { g_networkAlive = alive; }
}  // namespace kvtest

bool IsNetworkAlive()
{
    if (g_networkAlive >= 0)
        return g_networkAlive == 1;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool alive = false;
    for (ifaddrs* entry = list; entry && !alive; entry = entry->ifa_next)
        alive = entry->ifa_addr && (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING) &&
                !(entry->ifa_flags & IFF_LOOPBACK);
    freeifaddrs(list);
    return alive;
}

bool PingHostBounded(const char* host, int seconds)
{
    if (!host || !*host || seconds <= 0)
        return false;
    CString command;
    // "timeout" ends a ping that never returns; -k kills one that ignores the first signal.
    command.Format("timeout -k 1 %d ping -c 1 -W %d %s >/dev/null 2>&1", seconds, std::max(1, seconds - 1),
                   AfxShellQuote(host).GetString());
    return AfxRunShellCommand(command) == 0;
}

ReachabilityResult TestReachability(const CString& host, int pingSeconds, int deadlineMs,
                                    const std::function<void()>& pump)
{
    auto result = std::make_shared<ReachabilityResult>();
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([result, done, host, pingSeconds]() {
        result->networkAlive = IsNetworkAlive();
        result->hostAnswered = result->networkAlive && PingHostBounded(host, pingSeconds);
        *done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
    while (!*done && std::chrono::steady_clock::now() < deadline) {
        if (pump)
            pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!*done) {
        // The ping's own bound ends the worker soon; it only writes its shared result.
        worker.detach();
        ReachabilityResult late;
        late.timedOut = true;
        return late;
    }
    worker.join();
    return *result;
}
