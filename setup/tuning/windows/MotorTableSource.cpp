#include "setup/tuning/windows/MotorTableSource.h"

#include <atomic>

namespace {
std::atomic<CMotorTableSource*> g_source{nullptr};
}

void CMotorTableSource::Install(CMotorTableSource* source) { g_source = source; }

CMotorTableSource* CMotorTableSource::Get() { return g_source; }
