// Where the program finds its files. The program folder is the folder of the
// executable (the build puts the factory files there), never the current
// directory, so starting Korvane from anywhere finds the same files. The
// application data folder holds the user's files.
#pragma once

#include "platform/core/String.h"

struct AppPaths {
    CString programFolder;  // with a trailing '/'
    CString dataFolder;     // without a trailing '/'; empty when it could not be found
    CString factoryIni;     // "kvfact.ini"
    CString modelNumberIni; // "ModelNumber.ini"
    CString modelIni;       // "Model.ini"
    CString filtersIni;     // "Filters.ini"; empty without a data folder
    CString userIni;        // "kvsettings.ini"; empty without a data folder
};

// The program-wide paths, filled by SetupSettingsFilePaths.
AppPaths& AfxGetAppPaths();

// out = base + "/Korvane", created; with a trailing '/' when asked. Always 1.
int MakeProductFolder(CString& out, const CString& base, BOOL addSlash);
// Appends "/Application Data", creates it and appends '/'. Always 1.
int AppendApplicationDataFolder(CString& path);
// The common documents folder + "/Korvane", created; 0 when there is none.
int GetCommonDocumentsProductFolder(CString& out, BOOL addSlash);
// Builds the settings paths from the program and data folders. Always 1.
int SetupSettingsFilePaths(const CString& programFolder, const CString& dataFolder);
// Copies "Filters.ini" and "ScopeSettingsV2.dat" from the program folder into
// the data folder when they are missing there; never overwrites. Always 1.
int CopyDefaultDataFiles();
// data folder + "/QvxDatabase/" + name, copied there from the program folder's
// "QvxDatabase" when missing. 0 without a data folder.
int GetDatabaseFilePath(const char* fileName, CString& path);
