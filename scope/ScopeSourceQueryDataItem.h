// CScopeSourceQueryDataItem: one signal a drive offers the scope, as its
// control-software type lists it in the factory settings.
#pragma once

#include "platform/core/String.h"

class CScopeSourceQueryDataItem {
public:
    CScopeSourceQueryDataItem() = default;
    CScopeSourceQueryDataItem(const CString& name, const CString& command, int unitsCode, int updateMs)
        : m_name(name), m_command(command), m_unitsCode(unitsCode), m_updateMs(updateMs)
    {
    }

    CString m_name;     // display name
    CString m_command;  // drive mnemonic, without a "CMD_" prefix
    int m_unitsCode = -1;
    int m_updateMs = 0;
};
