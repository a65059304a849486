#include "database/windows/EncoderDatabaseServices.h"

#include <atomic>

namespace {
std::atomic<CEncoderDatabaseServices*> g_services{nullptr};
}

void CEncoderDatabaseServices::Install(CEncoderDatabaseServices* services) { g_services = services; }

CEncoderDatabaseServices* CEncoderDatabaseServices::Get() { return g_services; }
