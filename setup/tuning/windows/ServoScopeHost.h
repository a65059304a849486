// CServoScopeHost: how the servo tuning window opens the oscilloscope with a
// settings file of its own; the main frame installs the host it has (a test
// installs a stand-in).
#pragma once

#include "platform/core/String.h"

class CServoScopeHost {
public:
    virtual ~CServoScopeHost() = default;
    virtual CString GetDataFolder() = 0;
    virtual void OpenScope(const CString& settingsFile) = 0;

    static void Install(CServoScopeHost* host);
    static CServoScopeHost* Get();
};
