#include "setup/tuning/windows/TuningWindowFiles.h"

#include "comm/link/CommAppServices.h"
#include "platform/core/SpecialFolders.h"
#include "platform/core/UserSettings.h"

namespace {
CString g_filtersIni;
CString g_factoryIni;
}  // namespace

CString TuningUserIniPath()
{
    if (CCommAppServices* app = CCommAppServices::Get()) {
        const CString path = app->GetUserSettingsIniPath();
        if (!path.IsEmpty())
            return path;
    }
    return AfxGetUserSettingsIniPath();
}

CString TuningFiltersIniPath()
{
    if (!g_filtersIni.IsEmpty())
        return g_filtersIni;
    // The presets sit in the application data folder, beside the user's settings.
    const CString user = TuningUserIniPath();
    const int slash = user.ReverseFind('/');
    return (slash >= 0 ? user.Left(slash + 1) : CString()) + "Filters.ini";
}

CString TuningFactoryIniPath()
{
    return g_factoryIni.IsEmpty() ? AfxGetModuleFilePath("kvfact.ini") : g_factoryIni;
}

void SetTuningFilePaths(const CString& filtersIni, const CString& factoryIni)
{
    g_filtersIni = filtersIni;
    g_factoryIni = factoryIni;
}
