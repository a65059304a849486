// Where message texts find a drive's name: the communication manager's
// drive-name map, once one is installed. Without one, no drive has a name.
#pragma once

#include "platform/core/String.h"

class CDriveNameSource {
public:
    virtual ~CDriveNameSource() = default;
    // True with the name when the address has one.
    virtual bool FindDriveName(int address, CString& name) const = 0;

    static void Install(const CDriveNameSource* source);
    // Removes the source when it is the one installed.
    static void Uninstall(const CDriveNameSource* source);
    static bool Lookup(int address, CString& name);
};
