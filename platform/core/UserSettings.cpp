#include "UserSettings.h"

#include <mutex>

#include "SpecialFolders.h"

namespace {
std::mutex g_mutex;
CString g_path;
}  // namespace

CString AfxGetUserSettingsIniPath()
{
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (!g_path.IsEmpty())
            return g_path;
    }
    return AfxGetSpecialFolder(CSIDL_APPDATA) + "/kvsettings.ini";
}

void AfxSetUserSettingsIniPath(const char* path)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_path = path ? path : "";
}
