#include "distribution/SynchronizedQueryResponse.h"

#include "platform/core/SingleLock.h"

bool CSynchronizedQueryResponse::IsIdentical(const CAmpQryCmdFromGui& query) const
{
    if (m_query.m_address != query.m_address || m_query.m_code != query.m_code)
        return false;
    if (m_query.IsRead() != query.IsRead())
        return false;
    if (!query.IsRead() && m_query.m_value != query.m_value)
        return false;
    return m_query.m_subCommands.IsEqual(query.m_subCommands);
}

void CSynchronizedQueryResponse::AddClient(CSynchronizedQueryResponseClient* client)
{
    CSingleLock lock(&m_clientLock, TRUE);
    m_clients.AddTail(client);
}

bool CSynchronizedQueryResponse::RemoveClient(CSynchronizedQueryResponseClient* client)
{
    CSingleLock lock(&m_clientLock, TRUE);
    const POSITION pos = m_clients.Find(client);
    if (!pos)
        return false;
    m_clients.RemoveAt(pos);
    return true;
}

bool CSynchronizedQueryResponse::HasClient(CSynchronizedQueryResponseClient* client)
{
    CSingleLock lock(&m_clientLock, TRUE);
    for (POSITION pos = m_clients.GetHeadPosition(); pos;)
        if (m_clients.GetNext(pos) == client)
            return true;
    return false;
}

bool CSynchronizedQueryResponse::HasClients()
{
    CSingleLock lock(&m_clientLock, TRUE);
    return !m_clients.IsEmpty();
}
