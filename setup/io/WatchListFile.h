// The watch list file ".wls": a property-bag archive holding the watch
// window's display settings and its list.
#pragma once

#include "platform/core/String.h"

class CWatchRegisterList;
class CWatchDisplaySettings;

class CWatchListFile {
public:
    // The whole file is read and checked before anything changes: on failure
    // list and settings are as they were and error says why.
    static int Load(const char* path, CWatchRegisterList& list, CWatchDisplaySettings& settings, CString& error);
    // A failed save leaves the previous file whole.
    static int Save(const char* path, const CWatchRegisterList& list, const CWatchDisplaySettings& settings,
                    CString& error);
};
