#include "DatabaseAppServices.h"

#include <atomic>

namespace {
std::atomic<CDatabaseAppServices*> g_services{nullptr};
}

void CDatabaseAppServices::Install(CDatabaseAppServices* services) { g_services = services; }

CDatabaseAppServices* CDatabaseAppServices::Get() { return g_services; }
