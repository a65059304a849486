#include "AppPaths.h"

#include <sys/stat.h>

#include "platform/core/File.h"
#include "platform/core/SpecialFolders.h"
#include "platform/core/UserSettings.h"

namespace {
// Copies without overwriting; the copy is written aside and renamed, so a failed one leaves nothing.
void CopyIfMissing(const CString& from, const CString& to)
{
    if (CFile::Exists(to) || !CFile::Exists(from))
        return;
    try {
        CFile source(from, CFile::modeRead);
        CFile target(to, CFile::modeCreate | CFile::modeWrite);
        char buffer[65536];
        for (UINT n; (n = source.Read(buffer, sizeof buffer)) > 0;)
            target.Write(buffer, n);
        target.Close();
    } catch (const CException&) {
        // The copy is left out; readers fall back to their defaults.
    }
}
}  // namespace

AppPaths& AfxGetAppPaths()
{
    static AppPaths paths;
    return paths;
}

int MakeProductFolder(CString& out, const CString& base, BOOL addSlash)
{
    out = base + "/Korvane";
    AfxCreateFolders(out);
    if (addSlash)
        out += "/";
    return 1;
}

int AppendApplicationDataFolder(CString& path)
{
    path.TrimRight('/');
    path += "/Application Data";
    AfxCreateFolders(path);
    path += "/";
    return 1;
}

int GetCommonDocumentsProductFolder(CString& out, BOOL addSlash)
{
    const CString common = AfxGetSpecialFolder(CSIDL_COMMON_DOCUMENTS);
    if (common.IsEmpty())
        return 0;
    MakeProductFolder(out, common, FALSE);
    struct stat info {};
    if (stat(out, &info) != 0 || !S_ISDIR(info.st_mode))
        return 0;
    if (addSlash)
        out += "/";
    return 1;
}

int SetupSettingsFilePaths(const CString& programFolder, const CString& dataFolder)
{
    AppPaths& paths = AfxGetAppPaths();
    paths.programFolder = programFolder;
    paths.dataFolder = dataFolder;
    paths.factoryIni = programFolder + "kvfact.ini";
    paths.modelNumberIni = programFolder + "ModelNumber.ini";
    paths.modelIni = programFolder + "Model.ini";
    // Without a data folder there is nowhere to write: the paths stay empty
    // rather than relative, so nothing lands in the current directory.
    paths.filtersIni = dataFolder.IsEmpty() ? CString() : dataFolder + "/Filters.ini";
    paths.userIni = dataFolder.IsEmpty() ? CString() : dataFolder + "/kvsettings.ini";
    AfxSetUserSettingsIniPath(paths.userIni);
    return 1;
}

int CopyDefaultDataFiles()
{
    const AppPaths& paths = AfxGetAppPaths();
    if (paths.dataFolder.IsEmpty())
        return 1;
    CopyIfMissing(paths.programFolder + "Filters.ini", paths.filtersIni);
    CopyIfMissing(paths.programFolder + "ScopeSettingsV2.dat", paths.dataFolder + "/ScopeSettingsV2.dat");
    return 1;
}

int GetDatabaseFilePath(const char* fileName, CString& path)
{
    const AppPaths& paths = AfxGetAppPaths();
    if (paths.dataFolder.IsEmpty())
        return 0;
    const CString folder = paths.dataFolder + "/QvxDatabase";
    AfxCreateFolders(folder);
    path = folder + "/" + fileName;
    CopyIfMissing(paths.programFolder + "QvxDatabase/" + fileName, path);
    return 1;
}
