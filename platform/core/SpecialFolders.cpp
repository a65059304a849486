#include "SpecialFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CString EnvOr(const char* name, const CString& fallback)
{
    const char* value = std::getenv(name);
    return (value && *value) ? CString(value) : fallback;
}

CString HomeFolder() { return EnvOr("HOME", "/tmp"); }

CString FolderFor(int csidl)
{
    const char* home = std::getenv("KORVANE_HOME");
    if (home && *home) {
        const CString base(home);
        switch (csidl) {
        case CSIDL_PERSONAL: return base + "/documents";
        case CSIDL_COMMON_DOCUMENTS: return base + "/common";
        case CSIDL_APPDATA:
        case CSIDL_LOCAL_APPDATA:
        case CSIDL_COMMON_APPDATA: return base + "/appdata";
        case -1: return base + "/config";
        default: return CString();
        }
    }
    const CString data = EnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share") + "/korvane";
    switch (csidl) {
    case CSIDL_PERSONAL: return EnvOr("XDG_DOCUMENTS_DIR", HomeFolder() + "/Documents");
    case CSIDL_COMMON_DOCUMENTS: return data + "/common";
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA:
    case CSIDL_COMMON_APPDATA: return data;
    case -1: return EnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config") + "/korvane";
    default: return CString();
    }
}

}  // namespace

BOOL AfxCreateFolders(const char* path)
{
    if (!path || !*path)
        return FALSE;
    CString partial;
    const CString full(path);
    for (int i = 0; i <= full.GetLength(); ++i) {
        if (i == full.GetLength() || (full[i] == '/' && i > 0)) {
            partial = full.Left(i);
            if (mkdir(partial, 0777) != 0 && errno != EEXIST)
                return FALSE;
        }
    }
    struct stat st {};
    return (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) ? TRUE : FALSE;
}

CString AfxGetSpecialFolder(int csidl)
{
    const CString folder = FolderFor(csidl);
    if (folder.IsEmpty() || !AfxCreateFolders(folder))
        return CString();
    return folder;
}

BOOL SHGetSpecialFolderPath(void* /*owner*/, char* path, int csidl, BOOL create)
{
    const CString folder = create ? AfxGetSpecialFolder(csidl) : FolderFor(csidl);
    if (folder.IsEmpty() || folder.GetLength() >= MAX_PATH)
        return FALSE;
    std::memcpy(path, folder.GetString(), static_cast<size_t>(folder.GetLength()) + 1);
    return TRUE;
}

CString AfxGetConfigFolder() { return AfxGetSpecialFolder(-1); }

CString AfxGetModuleFolder()
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return CString(".");
    CString exe(buffer, static_cast<int>(n));
    return exe.Left(exe.ReverseFind('/'));
}

CString AfxGetModuleFilePath(const char* name)
{
    CString folder = AfxGetModuleFolder();
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    return folder + name;
}
