// CCommManagerTraceClientList: the registered trace clients, under a lock.
#pragma once

#include "comm/trace/CommManagerTraceClient.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CCommManagerTraceClientList {
public:
    CCommManagerTraceClientList() = default;
    // Clients that outlive the list are told so they do not call back.
    ~CCommManagerTraceClientList();
    CCommManagerTraceClientList(const CCommManagerTraceClientList&) = delete;
    CCommManagerTraceClientList& operator=(const CCommManagerTraceClientList&) = delete;

    // FALSE when the client is registered already.
    BOOL AddClient(CCommManagerTraceClient* client);
    void RemoveClient(CCommManagerTraceClient* client);
    void Trace(const CAmpMsg& message, DWORD tag);
    int GetCount();

private:
    CMutex m_lock;
    CList<CCommManagerTraceClient*> m_clients;
};
