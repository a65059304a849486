#include "distribution/DmQueryVar.h"

#include "distribution/DistManager.h"
#include "platform/core/SingleLock.h"

CDmQueryVar::~CDmQueryVar()
{
    Cancel();
    // Before this object's members go, so no answer arrives into them.
    CancelAllQueries();
}

bool CDmQueryVar::Query(BYTE address, WORD code, WORD time, BYTE flags)
{
    // Cancel has cleared the answer; clearing it again after the send would drop
    // one that came at once (a read joining a job that already has its answer).
    Cancel();
    const int queryId = SendQuery(address, code, time, flags);
    CSingleLock lock(&m_lock, TRUE);
    m_queryId = queryId;
    return queryId != -1;
}

bool CDmQueryVar::QueryWithArgument(BYTE address, WORD code, WORD argumentCode, WORD argumentValue, WORD time)
{
    Cancel();
    const int queryId =
        SendQueryWithArgument(address, code, argumentCode, argumentValue, time, kQryOneShot | kQryNotify);
    CSingleLock lock(&m_lock, TRUE);
    m_queryId = queryId;
    return queryId != -1;
}

void CDmQueryVar::Cancel()
{
    int queryId;
    {
        CSingleLock lock(&m_lock, TRUE);
        m_cancelling = 1;
        m_hasResponse = 0;
        m_changed = 0;
        queryId = m_queryId;
    }
    if (queryId != -1)
        CancelQuery(queryId);
    CSingleLock lock(&m_lock, TRUE);
    m_queryId = -1;
    m_cancelling = 0;
}

void CDmQueryVar::OnResponse(const CAmpResponseToGui& response)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_cancelling)
        return;
    if (!m_hasResponse || response.m_value != m_lastResponse.m_value || response.m_error != 0) {
        m_lastResponse = response;
        m_changed = 1;
    }
    m_hasResponse = 1;
}

int CDmQueryVar::HasResponse() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_hasResponse;
}

int CDmQueryVar::HasChanged(int reset)
{
    CSingleLock lock(&m_lock, TRUE);
    const int changed = m_changed;
    if (reset)
        m_changed = 0;
    return changed;
}

bool CDmQueryVar::GetRawValue(LONG& out) const
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_hasResponse || m_lastResponse.m_error != 0)
        return false;
    out = m_lastResponse.m_value;
    return true;
}

bool CDmQueryVar::GetValue(LONG& out, WORD* error) const
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_hasResponse)
        return false;
    out = m_lastResponse.GetValue();
    if (error) {
        *error = m_lastResponse.m_error;
        return true;
    }
    return m_lastResponse.m_error == 0;
}
