#include "distribution/AmpMsgNotificationItem.h"

bool CAmpMsgNotificationItem::Matches(const CCompoundAmpMsg& message) const
{
    return m_address == message.m_address && m_code == message.m_code && m_subCommands.IsEqual(message.m_subCommands);
}

CAmpMsgNotificationRcvrInfo* CAmpMsgNotificationItem::FindByQuery(DWORD queryId)
{
    for (POSITION pos = m_entries.GetHeadPosition(); pos;) {
        CAmpMsgNotificationRcvrInfo& entry = m_entries.GetNext(pos);
        if (entry.m_queryId == queryId)
            return &entry;
    }
    return nullptr;
}

CAmpMsgNotificationRcvrInfo* CAmpMsgNotificationItem::FindByReceiver(const CDistMngrResponseReceiver* receiver)
{
    for (POSITION pos = m_entries.GetHeadPosition(); pos;) {
        CAmpMsgNotificationRcvrInfo& entry = m_entries.GetNext(pos);
        if (entry.m_receiver == receiver)
            return &entry;
    }
    return nullptr;
}

bool CAmpMsgNotificationItem::RemoveQuery(DWORD queryId)
{
    for (POSITION pos = m_entries.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (m_entries.GetNext(pos).m_queryId == queryId) {
            m_entries.RemoveAt(at);
            return true;
        }
    }
    return false;
}
