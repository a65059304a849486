#include "comm/trace/CommManagerTraceClientList.h"

#include "platform/core/SingleLock.h"

CCommManagerTraceClientList::~CCommManagerTraceClientList()
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos = m_clients.GetHeadPosition();
    while (pos)
        m_clients.GetNext(pos)->m_owner = nullptr;
    m_clients.RemoveAll();
}

BOOL CCommManagerTraceClientList::AddClient(CCommManagerTraceClient* client)
{
    if (!client)
        return FALSE;
    CSingleLock lock(&m_lock, TRUE);
    if (m_clients.Find(client) || client->m_owner)
        return FALSE;
    m_clients.AddTail(client);
    client->m_owner = this;
    return TRUE;
}

void CCommManagerTraceClientList::RemoveClient(CCommManagerTraceClient* client)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos = m_clients.Find(client);
    if (!pos)
        return;
    m_clients.RemoveAt(pos);
    client->m_owner = nullptr;
    client->DiscardItems();
}

void CCommManagerTraceClientList::Trace(const CAmpMsg& message, DWORD tag)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos = m_clients.GetHeadPosition();
    while (pos)
        m_clients.GetNext(pos)->AddItem(message, tag);
}

int CCommManagerTraceClientList::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_clients.GetCount();
}
