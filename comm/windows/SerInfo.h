// CSerInfo: one serial port found by the enumeration.
#pragma once

#include "platform/core/String.h"

class CSerInfo {
public:
    CString m_devicePath;  // the name under which the port is opened
    CString m_portName;    // empty as enumerated
    CString m_friendlyName;
    BOOL m_usb = FALSE;
    CString m_description;

    // Fills an empty friendly name from the port name and an empty
    // description from the friendly name less a trailing " (...)".
    void CompleteNames();
    static CString WithoutTrailingPart(const CString& text);
};
