// CScopeDriveServices: what the scope's sampling asks of the program about the
// drives: whether one is connected, its conversion parameters, a message box and the
// factory settings file.
#pragma once

#include "platform/core/String.h"

class CScopeDriveServices {
public:
    virtual ~CScopeDriveServices() = default;
    virtual bool IsDriveConnected(int address) = 0;
    // False while the value is not known yet.
    virtual bool GetConversionParameter(int address, int id, double& value) = 0;
    // Whether the drive's conversion table has the parameter at all.
    virtual bool HasConversionParameter(int address, int id) = 0;
    virtual void ShowMessage(const char* text) = 0;
    // The factory settings file "kvfact.ini" beside the program.
    virtual CString GetFactorySettingsPath() = 0;
};
