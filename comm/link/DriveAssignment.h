// CDriveAssignment: a drive address with the name the user gave it.
#pragma once

#include "platform/core/String.h"

class CDriveAssignment {
public:
    CDriveAssignment() = default;
    CDriveAssignment(int address, const CString& name) : m_address(address), m_name(name) {}

    int m_address = 0;
    CString m_name;
};
