#include "comm/link/CommAppServices.h"

#include <atomic>

namespace {
std::atomic<CCommAppServices*> g_services{nullptr};
}

void CCommAppServices::Install(CCommAppServices* services) { g_services = services; }

CCommAppServices* CCommAppServices::Get() { return g_services.load(); }
