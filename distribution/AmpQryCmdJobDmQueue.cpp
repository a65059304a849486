#include "AmpQryCmdJobDmQueue.h"

void CAmpQryCmdJobDmQueue::Append(CAmpQryCmdJobDm* job)
{
    m_jobIndex.SetAt(job->m_jobId, m_jobs.AddTail(job));
}

CAmpQryCmdJobDm* CAmpQryCmdJobDmQueue::FindJob(DWORD jobId) const
{
    POSITION pos = nullptr;
    return m_jobIndex.Lookup(jobId, pos) ? m_jobs.GetAt(pos) : nullptr;
}

CAmpQryCmdJobDm* CAmpQryCmdJobDmQueue::FindJobOfQuery(DWORD queryId) const
{
    POSITION pos = nullptr;
    return m_queryIndex.Lookup(queryId, pos) ? m_jobs.GetAt(pos) : nullptr;
}

void CAmpQryCmdJobDmQueue::IndexQuery(DWORD queryId, DWORD jobId)
{
    POSITION pos = nullptr;
    if (m_jobIndex.Lookup(jobId, pos))
        m_queryIndex.SetAt(queryId, pos);
}

void CAmpQryCmdJobDmQueue::UnindexQuery(DWORD queryId) { m_queryIndex.RemoveKey(queryId); }

void CAmpQryCmdJobDmQueue::Remove(DWORD jobId)
{
    POSITION pos = nullptr;
    if (!m_jobIndex.Lookup(jobId, pos))
        return;
    CAmpQryCmdJobDm* job = m_jobs.GetAt(pos);
    for (POSITION r = job->m_receivers.GetHeadPosition(); r;) {
        const DWORD queryId = job->m_receivers.GetNext(r).m_queryId;
        POSITION queryPos = nullptr;
        if (m_queryIndex.Lookup(queryId, queryPos) && queryPos == pos)
            m_queryIndex.RemoveKey(queryId);
    }
    m_jobIndex.RemoveKey(jobId);
    m_jobs.RemoveAt(pos);
    delete job;
}

void CAmpQryCmdJobDmQueue::RemoveAll()
{
    while (!m_jobs.IsEmpty())
        delete m_jobs.RemoveHead();
    m_jobIndex.RemoveAll();
    m_queryIndex.RemoveAll();
}
