#include "comm/link/AmpQryCmdJobCmQueue.h"

#include "platform/core/SingleLock.h"

int BlockTransferClass(WORD code, LONG value)
{
    if (code < kCodeOSA || code > kCodeOSD)
        return 0;
    return static_cast<DWORD>(value) < 65536u ? 2 : 1;
}

BOOL CAmpQryCmdJobCmQueue::AddJob(CAmpQryCmdJobCm* job)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION existing;
    if (m_index.Lookup(job->m_jobId, existing)) {
        delete job;
        return FALSE;
    }
    m_index.SetAt(job->m_jobId, m_jobs.AddTail(job));
    return TRUE;
}

void CAmpQryCmdJobCmQueue::AddFollowUpJob(CAmpQryCmdJobCm* job)
{
    CSingleLock lock(&m_lock, TRUE);
    const POSITION pos = m_jobs.AddTail(job);
    POSITION existing;
    if (!m_index.Lookup(job->m_jobId, existing))
        m_index.SetAt(job->m_jobId, pos);
}

BOOL CAmpQryCmdJobCmQueue::Contains(DWORD jobId)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION existing;
    return m_index.Lookup(jobId, existing);
}

CAmpQryCmdJobCm* CAmpQryCmdJobCmQueue::Find(DWORD jobId, POSITION* where)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos;
    if (!m_index.Lookup(jobId, pos))
        return nullptr;
    if (where)
        *where = pos;
    return m_jobs.GetAt(pos);
}

void CAmpQryCmdJobCmQueue::RemoveAt(POSITION pos)
{
    CSingleLock lock(&m_lock, TRUE);
    CAmpQryCmdJobCm* job = m_jobs.GetAt(pos);
    if (m_cursor == pos) {
        POSITION next = pos;
        m_jobs.GetNext(next);
        m_cursor = next;
    }
    POSITION indexed;
    if (m_index.Lookup(job->m_jobId, indexed) && indexed == pos) {
        m_index.RemoveKey(job->m_jobId);
        // Another job of that id (a follow-up) takes over the index.
        POSITION other = m_jobs.GetHeadPosition();
        while (other) {
            const POSITION here = other;
            const CAmpQryCmdJobCm* candidate = m_jobs.GetNext(other);
            if (here != pos && candidate->m_jobId == job->m_jobId) {
                m_index.SetAt(job->m_jobId, here);
                break;
            }
        }
    }
    m_jobs.RemoveAt(pos);
    delete job;
}

void CAmpQryCmdJobCmQueue::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    while (!m_jobs.IsEmpty())
        delete m_jobs.RemoveHead();
    m_index.RemoveAll();
    ResetCursor();
}

int CAmpQryCmdJobCmQueue::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_jobs.GetCount();
}

BYTE CAmpQryCmdJobCmQueue::GetModeBits()
{
    CSingleLock lock(&m_lock, TRUE);
    BYTE bits = 0;
    POSITION pos = m_jobs.GetHeadPosition();
    while (pos)
        bits |= static_cast<BYTE>(m_jobs.GetNext(pos)->m_jobFlags & 0xFF);
    return bits;
}

int CAmpQryCmdJobCmQueue::GetUnmatchedCount(int which)
{
    CSingleLock lock(&m_lock, TRUE);
    return (which == 0 || which == 1) ? m_unmatched[which] : 0;
}

CAmpQryCmdJobCmQueue::MatchStep CAmpQryCmdJobCmQueue::MatchJob(CAmpQryCmdJobCm& job, const CAmpResponseMsg& reply)
{
    if (!(job.m_sent & 1) || job.m_address != reply.m_address)
        return kSkip;
    if (BlockTransferClass(job.m_code, job.m_value) != BlockTransferClass(reply.m_code, reply.m_value))
        return kSkip;
    if (job.m_answered < job.m_subCommands.GetCount()) {
        const CAmpCommand& next = job.m_subCommands.GetAt(job.m_subCommands.FindIndex(job.m_answered));
        // Compared as the drive sent them back: sign-extended from their widths.
        if (next.m_code != reply.m_code || next.GetValue() != reply.GetValue())
            return kSkip;
        ++job.m_answered;
        return kSubCommandAnswered;
    }
    return job.m_code == reply.m_code ? kAnswered : kSkip;
}

void CAmpQryCmdJobCmQueue::BuildResponse(CAmpQryCmdJobCm& job, const CAmpResponseMsg& reply,
                                         CAmpResponseToDistMngr& response)
{
    static_cast<CCompoundAmpMsg&>(response) = job;
    response.m_flag = 0;
    response.m_jobId = job.m_jobId;
    response.m_timeStamp = reply.m_timeStamp;
    response.m_timeStampValid = reply.m_timeStampValid;
    response.m_blockFlag = 0;
    if (!(job.m_jobFlags & kJobBlockTransfer))
        response.m_replyTime = job.m_timer.GetElapsedSeconds();
    response.m_error = reply.m_error;
    if (reply.m_error == 0) {
        response.m_value = reply.m_value;
        response.m_width = reply.m_width;
    }
}

bool CAmpQryCmdJobCmQueue::HandsOn(const CAmpQryCmdJobCm& job, const CAmpResponseMsg& reply)
{
    if (job.m_width == 0)
        return true;
    if (reply.m_error == 0)
        return (job.m_jobFlags & kJobReplyOnWriteSuccess) != 0;
    return (job.m_jobFlags & kJobReplyOnWriteError) != 0;
}

int CAmpQryCmdJobCmQueue::MatchResponse(const CAmpResponseMsg& reply, CAmpResponseToDistMngr& response, int counted)
{
    CSingleLock lock(&m_lock, TRUE);
    bool matched = false;
    POSITION pos = m_cursorAtStart ? m_jobs.GetHeadPosition() : m_cursor;
    while (pos) {
        const POSITION here = pos;
        CAmpQryCmdJobCm* job = m_jobs.GetNext(pos);
        m_cursor = pos;
        m_cursorAtStart = false;
        const MatchStep step = MatchJob(*job, reply);
        if (step == kSkip)
            continue;
        matched = true;
        if (step == kSubCommandAnswered)
            return 0;
        BuildResponse(*job, reply, response);
        bool handOn = true;
        if (job->m_jobFlags & kJobBlockTransfer) {
            response.m_blockFlag = 1;
            job->m_timer.Restart();
            job->m_answered = 0;
        } else {
            handOn = HandsOn(*job, reply);
            RemoveAt(here);
        }
        if (!handOn)
            return 0;  // a write's reply answers one job only
        return m_cursor ? 1 : 2;
    }
    if (!matched && !counted) {
        if (reply.m_code == kCodePSD)
            ++m_unmatched[0];
        else if (reply.m_code == kCodeAPE)
            ++m_unmatched[1];
    }
    return 0;
}
