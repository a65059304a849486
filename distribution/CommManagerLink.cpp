#include "distribution/CommManagerLink.h"

#include "comm/link/CommManager.h"

void CCommManagerLink::SubmitJob(const CAmpQryCmdFromDistMngr& job) { m_manager.SubmitJob(job); }

int CCommManagerLink::CancelJob(DWORD jobId) { return m_manager.CancelJob(jobId); }

bool CCommManagerLink::PopResponse(CAmpResponseToDistMngr& out) { return m_manager.GetResponseList().PopResponse(out); }

void CCommManagerLink::AddQueryOvertimeSample(int address, DWORD lateMs)
{
    m_manager.GetStatistics().AddSample(kStatQueryOvertime, lateMs, address);
}

int CCommManagerLink::EnterSynchronousMode() { return m_manager.EnterSynchronousMode(); }

void CCommManagerLink::LeaveSynchronousMode() { m_manager.LeaveSynchronousMode(); }

int CCommManagerLink::SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int timeoutMs)
{
    return m_manager.SendReceiveSynchronous(message, response, timeoutMs);
}

bool CCommManagerLink::SetAnswerTaker(CDThread* taker)
{
    m_manager.SetResponseTaker(taker);
    return true;
}
