// CQvxDatabaseRecordsetClientList: the clients of one recordset in the order
// they attached; not owning.
#pragma once

#include <functional>

#include "QvxDatabaseRecordsetClient.h"
#include "platform/core/List.h"

class CQvxDatabaseRecordsetClientList : public CList<CQvxDatabaseRecordsetClient*, CQvxDatabaseRecordsetClient*> {
public:
    CQvxDatabaseRecordsetClientList() = default;
    ~CQvxDatabaseRecordsetClientList() override;
    CQvxDatabaseRecordsetClientList(const CQvxDatabaseRecordsetClientList&) = delete;
    CQvxDatabaseRecordsetClientList& operator=(const CQvxDatabaseRecordsetClientList&) = delete;

    void AddClient(CQvxDatabaseRecordset* recordset, CQvxDatabaseRecordsetClient* client);
    void RemoveClient(CQvxDatabaseRecordsetClient* client);
    // Detaches every client: their recordset becomes null.
    void DetachAll();
    // Calls each client in order; a client that detaches meanwhile is not called.
    void ForEach(const std::function<void(CQvxDatabaseRecordsetClient&)>& call);
};
