#include "distribution/SynchronizedQueryResponseTable.h"

#include "distribution/SynchronizedQueryResponseClient.h"
#include "platform/core/SingleLock.h"

CSynchronizedQueryResponseTable::~CSynchronizedQueryResponseTable()
{
    StopThread(1);
    DeleteRequests();
}

int CSynchronizedQueryResponseTable::Step()
{
    ExecCycle();
    return 0;
}

void CSynchronizedQueryResponseTable::OnResponse(const CAmpResponseToGui& response)
{
    CDistMngrResponseReceiver::OnResponse(response);
    Wake();
}

// A cycle submits every new request and hands on every answer, so after one
// only answers that came meanwhile, or new requests, give it work.
int CSynchronizedQueryResponseTable::GetRestMs()
{
    if (GetResponseCount() > 0)
        return GetPeriod();
    CSingleLock lock(&m_tableLock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;)
        if (GetNext(pos)->m_state == kSyncNew)
            return GetPeriod();
    return kRestUntilWoken;
}

CSynchronizedQueryResponse* CSynchronizedQueryResponseTable::FindRequest(int requestId) const
{
    POSITION pos = nullptr;
    return m_requestIndex.Lookup(requestId, pos) ? GetAt(pos) : nullptr;
}

int CSynchronizedQueryResponseTable::AddRequest(const CAmpQryCmdFromGui& query, CSynchronizedQueryResponseClient* client,
                                                int time)
{
    CSingleLock lock(&m_tableLock, TRUE);
    CSynchronizedQueryResponse* request = nullptr;
    for (POSITION pos = GetHeadPosition(); pos && !request;) {
        CSynchronizedQueryResponse* candidate = GetNext(pos);
        if (candidate->IsIdentical(query))
            request = candidate;
    }
    if (!request) {
        request = new CSynchronizedQueryResponse;
        request->m_query = query;
        if (time == -1) {
            request->m_query.m_flags |= kQryOneShot | kQryNotify;
            request->m_query.m_time = kCommandTimeHint;
        } else {
            request->m_query.m_flags |= kQryNotify;
            request->m_query.m_time = static_cast<WORD>(time);
        }
        request->m_requestId = ++m_lastRequestId;
        m_requestIndex.SetAt(request->m_requestId, AddTail(request));
    }
    request->AddClient(client);
    Wake();
    return request->m_requestId;
}

void CSynchronizedQueryResponseTable::RemoveClient(int requestId, CSynchronizedQueryResponseClient* client)
{
    int queryToCancel = 0;
    {
        CSingleLock lock(&m_tableLock, TRUE);
        CSynchronizedQueryResponse* request = FindRequest(requestId);
        if (!request)
            return;
        request->RemoveClient(client);
        client->ForgetRequest(requestId);
        if (request->HasClients())
            return;
        if (request->m_state == kSyncSubmitted || request->m_state == kSyncAnswered)
            queryToCancel = request->m_queryId;
        if (request->m_queryId > 0)
            m_queryIndex.RemoveKey(request->m_queryId);
        POSITION pos = nullptr;
        m_requestIndex.Lookup(requestId, pos);
        m_requestIndex.RemoveKey(requestId);
        RemoveAt(pos);
        delete request;
    }
    if (queryToCancel > 0)
        CancelQuery(queryToCancel);
}

void CSynchronizedQueryResponseTable::DetachClient(CSynchronizedQueryResponseClient* client)
{
    CList<int> requestIds;
    {
        CSingleLock lock(&m_tableLock, TRUE);
        for (POSITION pos = GetHeadPosition(); pos;) {
            CSynchronizedQueryResponse* request = GetNext(pos);
            if (request->HasClient(client))
                requestIds.AddTail(request->m_requestId);
        }
    }
    for (POSITION pos = requestIds.GetHeadPosition(); pos;)
        RemoveClient(requestIds.GetNext(pos), client);
    client->ClearTable();
}

void CSynchronizedQueryResponseTable::ResubmitOneShotRequests()
{
    CSingleLock lock(&m_tableLock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;) {
        CSynchronizedQueryResponse* request = GetNext(pos);
        if (!(request->m_query.m_flags & kQryOneShot))
            continue;
        // The old query still holds a subscription; the new one takes its place.
        if (request->m_queryId > 0) {
            m_queryIndex.RemoveKey(request->m_queryId);
            CancelQuery(request->m_queryId);
            request->m_queryId = 0;
        }
        request->m_state = kSyncNew;
    }
    Wake();
}

void CSynchronizedQueryResponseTable::DeleteRequests()
{
    CSingleLock lock(&m_tableLock, TRUE);
    while (!IsEmpty()) {
        CSynchronizedQueryResponse* request = RemoveHead();
        if (request->m_queryId > 0)
            CancelQuery(request->m_queryId);
        CSingleLock clients(&request->m_clientLock, TRUE);
        for (POSITION pos = request->m_clients.GetHeadPosition(); pos;)
            request->m_clients.GetNext(pos)->ForgetRequest(request->m_requestId);
        clients.Unlock();
        delete request;
    }
    m_requestIndex.RemoveAll();
    m_queryIndex.RemoveAll();
}

bool CSynchronizedQueryResponseTable::GetAnswer(int requestId, CAmpResponseToGui& answer, BYTE& state) const
{
    CSingleLock lock(&m_tableLock, TRUE);
    const CSynchronizedQueryResponse* request = FindRequest(requestId);
    if (!request)
        return false;
    answer = request->m_answer;
    state = request->m_state;
    return true;
}

int CSynchronizedQueryResponseTable::GetRequestCount() const
{
    CSingleLock lock(&m_tableLock, TRUE);
    return GetCount();
}

void CSynchronizedQueryResponseTable::ExecCycle()
{
    SubmitNewRequests();
    CAmpResponseToGui response;
    while (GetNextResponse(response))
        HandleAnswer(response);
}

void CSynchronizedQueryResponseTable::SubmitNewRequests()
{
    CSingleLock lock(&m_tableLock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CSynchronizedQueryResponse* request = GetNext(pos);
        if (request->m_state != kSyncNew)
            continue;
        CAmpQryCmdFromGui query(request->m_query);
        const int queryId = SubmitQuery(query);
        if (queryId < 1) {
            request->m_state = kSyncRefused;
            continue;
        }
        request->m_state = kSyncSubmitted;
        request->m_queryId = queryId;
        m_queryIndex.SetAt(queryId, at);
    }
}

void CSynchronizedQueryResponseTable::HandleAnswer(const CAmpResponseToGui& response)
{
    CSingleLock lock(&m_tableLock, TRUE);
    POSITION pos = nullptr;
    if (!m_queryIndex.Lookup(static_cast<int>(response.m_queryId), pos))
        return;
    CSynchronizedQueryResponse* request = GetAt(pos);
    const bool changed = !request->m_hasAnswer || request->m_answer.m_value != response.m_value ||
                         request->m_answer.m_width != response.m_width || request->m_answer.m_error != response.m_error;
    request->m_answer = response;
    request->m_hasAnswer = 1;
    if (request->m_state == kSyncSubmitted)
        request->m_state = kSyncAnswered;

    CSingleLock clients(&request->m_clientLock, TRUE);
    for (POSITION c = request->m_clients.GetHeadPosition(); c;) {
        CSynchronizedQueryResponseClient* client = request->m_clients.GetNext(c);
        int key;
        if (!client->KeyOfRequest(request->m_requestId, key))
            continue;
        if (!changed && client->WasTold())
            continue;
        client->OnSyncResponse(key);
        client->SetTold();
    }
}
