// CSynchronizedQueryResponseTable: one drive's shared register requests. Each
// distinct request goes once through the distribution manager; its latest
// answer is kept and every client that shares it is told when it arrives.
#pragma once

#include "distribution/DistMngrResponseReceiver.h"
#include "distribution/SynchronizedQueryResponse.h"
#include "foundation/DThread.h"

class CSynchronizedQueryResponseClient;

class CSynchronizedQueryResponseTable : public CList<CSynchronizedQueryResponse*, CSynchronizedQueryResponse*>,
                                        public CDistMngrResponseReceiver,
                                        public CDThread {
public:
    CSynchronizedQueryResponseTable() = default;
    ~CSynchronizedQueryResponseTable() override;

    CString GetReceiverName() const override { return "SyncQueryTable"; }
    // Queues the answer and wakes the table's thread to hand it on.
    void OnResponse(const CAmpResponseToGui& response) override;

    // The request id; -1 as time makes the request one-shot.
    int AddRequest(const CAmpQryCmdFromGui& query, CSynchronizedQueryResponseClient* client, int time);
    void RemoveClient(int requestId, CSynchronizedQueryResponseClient* client);
    void DetachClient(CSynchronizedQueryResponseClient* client);
    void ResubmitOneShotRequests();
    // Cancels and deletes every request; attached clients forget their keys.
    void DeleteRequests();
    // A copy of the request's answer and its state; false for an unknown id.
    bool GetAnswer(int requestId, CAmpResponseToGui& answer, BYTE& state) const;
    int GetRequestCount() const;

    // One cycle: submit new requests, take the answers and tell the clients.
    void ExecCycle();

protected:
    int Step() override;
    int GetRestMs() override;

private:
    CSynchronizedQueryResponse* FindRequest(int requestId) const;
    void SubmitNewRequests();
    void HandleAnswer(const CAmpResponseToGui& response);
    void DeleteRequest(CSynchronizedQueryResponse* request);

    mutable CMutex m_tableLock;
    CMap<int, int, POSITION, POSITION> m_requestIndex;
    CMap<int, int, POSITION, POSITION> m_queryIndex;
    int m_lastRequestId = 0;
};
