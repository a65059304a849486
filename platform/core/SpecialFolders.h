// Where the program keeps its files. $KORVANE_HOME, when set, holds them all
// (tests point it at a temporary folder); otherwise the XDG folders are used.
#pragma once

#include "String.h"

constexpr int MAX_PATH = 260;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_APPDATA = 0x001a;
constexpr int CSIDL_LOCAL_APPDATA = 0x001c;
constexpr int CSIDL_COMMON_APPDATA = 0x0023;
constexpr int CSIDL_COMMON_DOCUMENTS = 0x002e;

// Copies the folder into path (MAX_PATH bytes); creates it when asked.
BOOL SHGetSpecialFolderPath(void* owner, char* path, int csidl, BOOL create);
// The folder, created; empty when the folder id is unknown or cannot be made.
CString AfxGetSpecialFolder(int csidl);
// The folder that holds the application profile.
CString AfxGetConfigFolder();
// The folder of the running program ("beside the program").
CString AfxGetModuleFolder();
// A file beside the running program.
CString AfxGetModuleFilePath(const char* name);
// Creates a folder and its parents; TRUE when it exists afterwards.
BOOL AfxCreateFolders(const char* path);
