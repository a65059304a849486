// CWatchRegisterItem: one register watch, a drive query repeated at its own
// period and shown in one of five number forms.
#pragma once

#include "platform/core/String.h"

enum WatchDisplayAs : int {
    kWatchSigned = 0,
    kWatchUnsigned = 1,
    kWatchHex = 2,
    kWatchBinary = 3,
    kWatchHighBits = 4,
};

class CWatchRegisterItem {
public:
    // The number form of a reply value; width in bytes as the reply carries it.
    static CString FormatValue(DWORD value, int widthBytes, int displayAs, int padAs, int showFormat);

    int m_enabled = 1;
    CString m_queryExpression;
    CString m_description;
    double m_updateSecs = 0.2;
    int m_drive = 0;
    int m_displayAs = kWatchSigned;
    int m_padAs = 2;
    int m_setValueRequested = 0;
    CString m_setValue;
    int m_rowColour = 0xFFFFFF;
    int m_textColour = 0;
    DWORD m_jobId = 0;  // 0: no query running
    CString m_valueText;
    CString m_errorText;
};
