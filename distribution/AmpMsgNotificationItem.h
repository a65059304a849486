// CAmpMsgNotificationItem: one subscribed register (address, code and
// sub-commands) with the receivers that want to hear of its changes.
#pragma once

#include "distribution/AmpMsgNotificationRcvrInfo.h"
#include "comm/protocol/CompoundAmpMsg.h"
#include "platform/core/List.h"


class CAmpMsgNotificationItem : public CCompoundAmpMsg {
public:
    explicit CAmpMsgNotificationItem(const CCompoundAmpMsg& command) : CCompoundAmpMsg(command) {}

    bool Matches(const CCompoundAmpMsg& message) const;
    CAmpMsgNotificationRcvrInfo* FindByQuery(DWORD queryId);
    CAmpMsgNotificationRcvrInfo* FindByReceiver(const CDistMngrResponseReceiver* receiver);
    bool RemoveQuery(DWORD queryId);

    CList<CAmpMsgNotificationRcvrInfo> m_entries;
    LONG m_lastValue = 0;
    int m_hasValue = 0;
};
