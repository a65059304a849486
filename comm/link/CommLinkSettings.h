// CCommLinkSettings: the link the interface chooser picked.
#pragma once

#include "platform/core/String.h"

enum CommLinkType : int {
    kLinkSerial = 0,
    kLinkUdp = 1,
};

class CCommLinkSettings {
public:
    static constexpr int kRemoteRecordSize = 54;

    int m_linkType = kLinkSerial;
    int m_binaryCom = 0;
    CString m_description;
    CString m_remoteName;
    BYTE m_remoteRecord[kRemoteRecordSize] = {};  // the module's discovery answer
    CString m_comPort;
};
