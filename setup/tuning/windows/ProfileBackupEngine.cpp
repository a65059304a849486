#include "setup/tuning/windows/ProfileBackupEngine.h"

namespace {
CProfileBackupEngine* g_engine = nullptr;
}

void CProfileBackupEngine::Install(CProfileBackupEngine* engine) { g_engine = engine; }
CProfileBackupEngine* CProfileBackupEngine::Get() { return g_engine; }
