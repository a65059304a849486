// CAmplifierData: one connected drive as the drive scan found it.
#pragma once

#include "platform/core/String.h"

// Family codes the drive scan gives.
enum DriveFamily : int {
    kFamilyZuvan = 1,
    kFamilyKreln = 2,
    kFamilyTavro = 4,
    kFamilyCommModule = 8,
    kFamilyUnknown = 16,
};

class CAmplifierData {
public:
    CAmplifierData() = default;
    CAmplifierData(int address, int family, const CString& name) : m_address(address), m_family(family), m_name(name) {}

    int m_address = 0;
    int m_family = 0;
    DWORD m_data = 0;  // bits 0x1000 and 0x2000 are status bits kept by the main window
    CString m_name;
};
