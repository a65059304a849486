#include "QvxDatabaseRecordsetClientList.h"

#include <vector>

CQvxDatabaseRecordsetClientList::~CQvxDatabaseRecordsetClientList()
{
    DetachAll();
}

void CQvxDatabaseRecordsetClientList::AddClient(CQvxDatabaseRecordset* recordset, CQvxDatabaseRecordsetClient* client)
{
    if (!client)
        return;
    client->m_recordset = recordset;
    client->m_clientList = this;
    if (!Find(client))
        AddTail(client);
}

void CQvxDatabaseRecordsetClientList::RemoveClient(CQvxDatabaseRecordsetClient* client)
{
    if (const POSITION pos = Find(client))
        RemoveAt(pos);
    if (client && client->m_clientList == this) {
        client->m_recordset = nullptr;
        client->m_clientList = nullptr;
    }
}

void CQvxDatabaseRecordsetClientList::DetachAll()
{
    while (!IsEmpty()) {
        CQvxDatabaseRecordsetClient* client = RemoveHead();
        client->m_recordset = nullptr;
        client->m_clientList = nullptr;
    }
}

void CQvxDatabaseRecordsetClientList::ForEach(const std::function<void(CQvxDatabaseRecordsetClient&)>& call)
{
    std::vector<CQvxDatabaseRecordsetClient*> snapshot;
    for (POSITION pos = GetHeadPosition(); pos;)
        snapshot.push_back(GetNext(pos));
    for (CQvxDatabaseRecordsetClient* client : snapshot) {
        if (Find(client))
            call(*client);
    }
}
