#include "distribution/DistMngrResponseReceiver.h"

#include "distribution/DistManager.h"
#include "platform/core/SingleLock.h"

CDistMngrResponseReceiver::~CDistMngrResponseReceiver()
{
    // Writes already asked for still go out; the manager forgets this receiver.
    CancelReadQueries();
    // Also whatever entered the manager without passing through the pending map.
    if (CDistManager* manager = GetDistManager())
        manager->RemoveReceiver(this);
}

CDistManager* CDistMngrResponseReceiver::GetDistManager() const
{
    return m_distManager ? m_distManager : CDistManager::GetInstalled();
}

void CDistMngrResponseReceiver::OnResponse(const CAmpResponseToGui& response)
{
    CSingleLock lock(&m_responseLock, TRUE);
    m_responses.AddTail(response);
    if (m_responseSignal)
        m_responseSignal();
}

void CDistMngrResponseReceiver::SetResponseSignal(std::function<void()> signal)
{
    CSingleLock lock(&m_responseLock, TRUE);
    m_responseSignal = std::move(signal);
}

int CDistMngrResponseReceiver::SubmitQuery(CAmpQryCmdFromGui& query)
{
    CDistManager* manager = GetDistManager();
    if (!manager)
        return -1;
    query.m_receiver = this;
    const int queryId = manager->SubmitQuery(query);
    if (queryId > 0) {
        CSingleLock lock(&m_pendingLock, TRUE);
        m_pending.SetAt(queryId, query);
    }
    return queryId > 0 ? queryId : -1;
}

int CDistMngrResponseReceiver::SendQuery(BYTE address, WORD code, WORD time, BYTE flags)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    query.m_time = time;
    query.m_flags = static_cast<BYTE>(kQryDefault | flags);
    return SubmitQuery(query);
}

int CDistMngrResponseReceiver::SendCommand(BYTE address, WORD code, LONG value)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    query.SetValueAuto(value);
    query.m_time = kCommandTimeHint;
    query.m_flags = kQryCommand;
    return SubmitQuery(query);
}

int CDistMngrResponseReceiver::SendQueryWithArgument(BYTE address, WORD code, WORD argumentCode, WORD argumentValue,
                                                     WORD time, BYTE flags)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    query.AddCommand(argumentCode, static_cast<LONG>(argumentValue));
    query.m_time = time;
    query.m_flags = static_cast<BYTE>(kQryDefault | flags);
    return SubmitQuery(query);
}

int CDistMngrResponseReceiver::SendCommandWithArgument(BYTE address, WORD code, LONG value, WORD argumentCode,
                                                       WORD argumentValue)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    query.SetValueAuto(value);
    query.AddCommand(argumentCode, static_cast<LONG>(argumentValue));
    query.m_time = kCommandTimeHint;
    query.m_flags = kQryCommand;
    return SubmitQuery(query);
}

int CDistMngrResponseReceiver::SendBlockQuery(BYTE address, WORD code, WORD periodMs)
{
    CAmpQryCmdFromGui query;
    query.m_address = address;
    query.m_code = code;
    query.m_time = periodMs;
    query.m_flags = kQryBlockTransfer;
    return SubmitQuery(query);
}

void CDistMngrResponseReceiver::CancelQuery(int queryId)
{
    {
        CSingleLock lock(&m_pendingLock, TRUE);
        m_pending.RemoveKey(queryId);
    }
    if (CDistManager* manager = GetDistManager())
        manager->CancelQuery(static_cast<DWORD>(queryId));
}

void CDistMngrResponseReceiver::CancelAllQueries()
{
    CSingleLock lock(&m_pendingLock, TRUE);
    CDistManager* manager = GetDistManager();
    if (manager) {
        for (POSITION pos = m_pending.GetStartPosition(); pos;) {
            int queryId;
            CAmpQryCmdFromGui query;
            m_pending.GetNextAssoc(pos, queryId, query);
            manager->CancelQuery(static_cast<DWORD>(queryId));
        }
    }
    m_pending.RemoveAll();
}

void CDistMngrResponseReceiver::CancelReadQueries()
{
    CSingleLock lock(&m_pendingLock, TRUE);
    CDistManager* manager = GetDistManager();
    if (manager) {
        for (POSITION pos = m_pending.GetStartPosition(); pos;) {
            int queryId;
            CAmpQryCmdFromGui query;
            m_pending.GetNextAssoc(pos, queryId, query);
            if (query.IsRead())
                manager->CancelQuery(static_cast<DWORD>(queryId));
        }
    }
    m_pending.RemoveAll();
}

bool CDistMngrResponseReceiver::GetNextResponse(CAmpResponseToGui& out)
{
    CSingleLock lock(&m_responseLock, TRUE);
    if (m_responses.IsEmpty())
        return false;
    out = m_responses.RemoveHead();
    return true;
}

int CDistMngrResponseReceiver::GetPendingCount() const
{
    CSingleLock lock(&m_pendingLock, TRUE);
    return m_pending.GetCount();
}

int CDistMngrResponseReceiver::GetResponseCount() const
{
    CSingleLock lock(&m_responseLock, TRUE);
    return m_responses.GetCount();
}

void BeginSynchronousDriveAccess()
{
    if (CDistManager* manager = CDistManager::GetInstalled())
        manager->BeginSynchronousAccess();
}

void EndSynchronousDriveAccess()
{
    if (CDistManager* manager = CDistManager::GetInstalled())
        manager->EndSynchronousAccess();
}

bool SendSynchronousMessage(const CCompoundAmpMsg& message, CAmpResponseMsg& response)
{
    CDistManager* manager = CDistManager::GetInstalled();
    return manager && manager->SendSynchronous(response, message);
}
