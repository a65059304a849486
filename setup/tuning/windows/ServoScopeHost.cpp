#include "setup/tuning/windows/ServoScopeHost.h"

#include <atomic>

namespace {
std::atomic<CServoScopeHost*> g_host{nullptr};
}

void CServoScopeHost::Install(CServoScopeHost* host) { g_host = host; }

CServoScopeHost* CServoScopeHost::Get() { return g_host; }
