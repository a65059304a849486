// Whether the cloud host can be reached, asked at start-up without freezing
// the window: the check runs on a worker thread, bounded in time, while the
// GUI thread keeps handling its messages.
#pragma once

#include <functional>

#include "platform/core/String.h"

// True when an interface other than loopback is up and has an address.
bool IsNetworkAlive();
// One ping, ended after `seconds` (the system's "ping" on PATH, under "timeout").
bool PingHostBounded(const char* host, int seconds);

struct ReachabilityResult {
    bool networkAlive = false;
    bool hostAnswered = false;
    bool timedOut = false;
};

// Runs the network test (network up, then a ping of the host) on a worker
// thread; `pump` runs on the calling thread while it waits. The ping is bounded
// by pingSeconds, the whole wait by deadlineMs.
ReachabilityResult TestReachability(const CString& host, int pingSeconds, int deadlineMs,
                                    const std::function<void()>& pump);

namespace kvtest {
// -1 asks the system (the default), 0 reports no network, 1 reports a network.
void SetNetworkAlive(int alive);
}  // namespace kvtest
