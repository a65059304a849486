// CSynchronizedQueryResponse: one distinct request of a synchronised query
// table, its latest answer and the clients that share it.
#pragma once

#include "distribution/AmpQryCmdFromGui.h"
#include "distribution/AmpResponseToGui.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CSynchronizedQueryResponseClient;

enum SyncRequestState : BYTE {
    kSyncNew = 0,
    kSyncSubmitted = 1,
    kSyncAnswered = 2,
    kSyncRefused = 255,
};

class CSynchronizedQueryResponse {
public:
    CSynchronizedQueryResponse() = default;
    virtual ~CSynchronizedQueryResponse() = default;
    CSynchronizedQueryResponse(const CSynchronizedQueryResponse&) = delete;
    CSynchronizedQueryResponse& operator=(const CSynchronizedQueryResponse&) = delete;

    // Same drive, both reads or both writes, same code, same value for a
    // write, same sub-commands.
    bool IsIdentical(const CAmpQryCmdFromGui& query) const;
    void AddClient(CSynchronizedQueryResponseClient* client);
    bool RemoveClient(CSynchronizedQueryResponseClient* client);
    bool HasClient(CSynchronizedQueryResponseClient* client);
    bool HasClients();

    CAmpQryCmdFromGui m_query;
    CAmpResponseToGui m_answer;
    int m_hasAnswer = 0;  // an answer arrived at some time, so a later one can be compared
    BYTE m_state = kSyncNew;
    int m_queryId = 0;
    int m_requestId = 0;
    CList<CSynchronizedQueryResponseClient*, CSynchronizedQueryResponseClient*> m_clients;
    CMutex m_clientLock;
};
