#include "setup/io/windows/IoWindowFiles.h"

#include "platform/core/SpecialFolders.h"

namespace {
CString g_factoryIni;
}  // namespace

CString IoFactoryIniPath()
{
    return g_factoryIni.IsEmpty() ? AfxGetModuleFilePath("kvfact.ini") : g_factoryIni;
}

void SetIoFactoryIniPath(const CString& path) { g_factoryIni = path; }
