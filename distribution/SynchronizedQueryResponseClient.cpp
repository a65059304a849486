#include "distribution/SynchronizedQueryResponseClient.h"

#include "distribution/SynchronizedQueryResponseTable.h"
#include "platform/core/SingleLock.h"

CSynchronizedQueryResponseClient::~CSynchronizedQueryResponseClient()
{
    if (CSynchronizedQueryResponseTable* table = GetTable())
        table->DetachClient(this);
}

void CSynchronizedQueryResponseClient::AttachToTable(CSynchronizedQueryResponseTable* table)
{
    CSingleLock lock(&m_lock, TRUE);
    m_table = table;
}

CSynchronizedQueryResponseTable* CSynchronizedQueryResponseClient::GetTable() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_table;
}

void CSynchronizedQueryResponseClient::ClearTable()
{
    CSingleLock lock(&m_lock, TRUE);
    m_table = nullptr;
}

bool CSynchronizedQueryResponseClient::HasSyncQuery(int key) const
{
    CSingleLock lock(&m_lock, TRUE);
    int requestId;
    return m_requestOfKey.Lookup(key, requestId) != FALSE;
}

bool CSynchronizedQueryResponseClient::RegisterRequest(int key, CAmpQryCmdFromGui& query, int time)
{
    CSynchronizedQueryResponseTable* table = GetTable();
    if (!table || HasSyncQuery(key))
        return false;
    const int requestId = table->AddRequest(query, this, time);
    CSingleLock lock(&m_lock, TRUE);
    m_requestOfKey.SetAt(key, requestId);
    m_keyOfRequest.SetAt(requestId, key);
    return true;
}

bool CSynchronizedQueryResponseClient::AddSyncQuery(int key, BYTE address, WORD code, int time)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    return RegisterRequest(key, query, time);
}

bool CSynchronizedQueryResponseClient::AddSyncQueryWithArgument(int key, BYTE address, WORD argumentCode,
                                                                WORD argumentValue, WORD code, int time)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    query.AddCommand(argumentCode, static_cast<LONG>(argumentValue));
    return RegisterRequest(key, query, time);
}

bool CSynchronizedQueryResponseClient::GetSyncAnswer(int key, LONG& out, int widthFlag) const
{
    CSynchronizedQueryResponseTable* table;
    int requestId;
    {
        CSingleLock lock(&m_lock, TRUE);
        table = m_table;
        if (!table || !m_requestOfKey.Lookup(key, requestId))
            return false;
    }
    CAmpResponseToGui answer;
    BYTE state;
    if (!table->GetAnswer(requestId, answer, state) || state != kSyncAnswered)
        return false;
    // A time-out or a drive error is no register value.
    if (answer.m_error != 0)
        return false;
    out = widthFlag ? answer.GetValue() : answer.m_value;
    return true;
}

bool CSynchronizedQueryResponseClient::KeyOfRequest(int requestId, int& key) const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_keyOfRequest.Lookup(requestId, key) != FALSE;
}

void CSynchronizedQueryResponseClient::ForgetRequest(int requestId)
{
    CSingleLock lock(&m_lock, TRUE);
    int key;
    if (m_keyOfRequest.Lookup(requestId, key)) {
        m_keyOfRequest.RemoveKey(requestId);
        m_requestOfKey.RemoveKey(key);
    }
}

bool CSynchronizedQueryResponseClient::WasTold() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_told != 0;
}

void CSynchronizedQueryResponseClient::SetTold()
{
    CSingleLock lock(&m_lock, TRUE);
    m_told = 1;
}
