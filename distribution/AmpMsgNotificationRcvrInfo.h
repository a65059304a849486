// CAmpMsgNotificationRcvrInfo: one subscriber of a notification item.
#pragma once

#include "platform/core/WinTypes.h"

class CDistMngrResponseReceiver;

class CAmpMsgNotificationRcvrInfo {
public:
    CDistMngrResponseReceiver* m_receiver = nullptr;  // not owned
    DWORD m_queryId = 0;
    int m_served = 0;  // has had the current value
};
