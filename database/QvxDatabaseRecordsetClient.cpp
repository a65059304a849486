#include "QvxDatabaseRecordsetClient.h"

#include "QvxDatabaseRecordset.h"

CQvxDatabaseRecordsetClient::~CQvxDatabaseRecordsetClient()
{
    SetRecordset(nullptr);
}

void CQvxDatabaseRecordsetClient::SetRecordset(CQvxDatabaseRecordset* recordset)
{
    if (m_clientList)
        m_clientList->RemoveClient(this);
    if (recordset)
        recordset->clients.AddClient(recordset, this);
}
