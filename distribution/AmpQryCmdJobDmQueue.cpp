#include "distribution/AmpQryCmdJobDmQueue.h"

#include <algorithm>
#include <functional>

#include "platform/core/Clock.h"

void CAmpQryCmdJobDmQueue::Append(CAmpQryCmdJobDm* job)
{
    job->m_order = ++m_nextOrder;
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
    DropTurn(job);
    m_toDeliver.erase({job->m_order, jobId});
    delete job;  // its due entry goes stale
}

void CAmpQryCmdJobDmQueue::RemoveAll()
{
    while (!m_jobs.IsEmpty())
        delete m_jobs.RemoveHead();
    m_jobIndex.RemoveAll();
    m_queryIndex.RemoveAll();
    m_due.clear();
    m_early.clear();
    m_turns.clear();
    m_turnOrders.clear();
    m_toDeliver.clear();
    m_held.clear();
}

void CAmpQryCmdJobDmQueue::Schedule(CAmpQryCmdJobDm* job)
{
    ++job->m_scheduleGeneration;
    DropTurn(job);
    if (job->m_state != kJobReady || (job->m_flags & kQryBlockTransfer))
        return;
    const ULONGLONG now = GetTickCount64();
    const bool repeating = !(job->m_flags & kQryOneShot);
    const ULONGLONG tick = repeating ? ChooseTurn(job, now) : 0;
    m_due.push_back({tick, job->m_order, job->m_jobId, job->m_scheduleGeneration});
    std::push_heap(m_due.begin(), m_due.end(), std::greater<>());
    if (repeating) {
        FileTurn(job, tick);
        m_early.push_back({now + job->MsUntilMayGoEarly(), job->m_order, job->m_jobId, job->m_scheduleGeneration});
        std::push_heap(m_early.begin(), m_early.end(), std::greater<>());
    }
    DropStaleEntries();
}

ULONGLONG CAmpQryCmdJobDmQueue::ChooseTurn(CAmpQryCmdJobDm* job, ULONGLONG now)
{
    if (!job->HasTurnWindow())
        return now + job->MsUntilDue();
    const ULONGLONG earliest = now + job->MsUntilMayGoEarly();
    const ULONGLONG latest = now + job->MsUntilLatestTurn();
    const auto shared = m_turns.lower_bound(earliest);
    const bool leads = m_turnOrders.empty() || *m_turnOrders.begin() > job->m_order;
    ULONGLONG tick = leads ? now + job->MsUntilTurnWithoutJitter() : latest;
    if (shared != m_turns.end() && shared->first <= latest)
        tick = shared->first;
    job->SetTurnIn(static_cast<int>(tick - now));
    return tick;
}

void CAmpQryCmdJobDmQueue::FileTurn(CAmpQryCmdJobDm* job, ULONGLONG tick)
{
    ++m_turns[tick];
    m_turnOrders.insert(job->m_order);
    job->m_turnTick = tick;
}

void CAmpQryCmdJobDmQueue::DropTurn(CAmpQryCmdJobDm* job)
{
    if (job->m_turnTick == 0)
        return;
    const auto found = m_turns.find(job->m_turnTick);
    if (found != m_turns.end() && --found->second <= 0)
        m_turns.erase(found);
    if (const auto order = m_turnOrders.find(job->m_order); order != m_turnOrders.end())
        m_turnOrders.erase(order);
    job->m_turnTick = 0;
}

bool CAmpQryCmdJobDmQueue::IsCurrent(const DueEntry& entry, CAmpQryCmdJobDm*& job) const
{
    job = FindJob(entry.jobId);
    return job && job->m_order == entry.order && job->m_scheduleGeneration == entry.generation;
}

bool CAmpQryCmdJobDmQueue::IsCurrentHold(const DueEntry& entry) const
{
    const CAmpQryCmdJobDm* job = FindJob(entry.jobId);
    return job && job->m_order == entry.order && job->m_holdGeneration == entry.generation;
}

// Entries of removed or rescheduled jobs wait in the heaps until their time;
// when they outnumber the jobs a heap is rebuilt without them.
void CAmpQryCmdJobDmQueue::DropStaleEntries()
{
    const size_t limit = 2 * static_cast<size_t>(m_jobs.GetCount()) + 64;
    for (std::vector<DueEntry>* heap : {&m_due, &m_early}) {
        if (heap->size() <= limit)
            continue;
        std::erase_if(*heap, [this](const DueEntry& entry) {
            CAmpQryCmdJobDm* job = nullptr;
            return !IsCurrent(entry, job);
        });
        std::make_heap(heap->begin(), heap->end(), std::greater<>());
    }
    if (m_held.size() > limit) {
        std::erase_if(m_held, [this](const DueEntry& entry) { return !IsCurrentHold(entry); });
        std::make_heap(m_held.begin(), m_held.end(), std::greater<>());
    }
}

void CAmpQryCmdJobDmQueue::TakeDueJobs(std::vector<CAmpQryCmdJobDm*>& due)
{
    due.clear();
    const ULONGLONG now = GetTickCount64();
    std::vector<CAmpQryCmdJobDm*> notYet;
    while (!m_due.empty() && m_due.front().tick <= now) {
        const DueEntry entry = m_due.front();
        std::pop_heap(m_due.begin(), m_due.end(), std::greater<>());
        m_due.pop_back();
        CAmpQryCmdJobDm* job = nullptr;
        if (!IsCurrent(entry, job))
            continue;
        // The job's own rule decides; the tick only says when to ask.
        if (job->IsDue()) {
            DropTurn(job);
            due.push_back(job);
        }
        else
            notYet.push_back(job);
    }
    for (CAmpQryCmdJobDm* job : notYet)
        Schedule(job);
    if (!due.empty())
        TakeEarlyJobs(now, due);
    std::sort(due.begin(), due.end(),
              [](const CAmpQryCmdJobDm* a, const CAmpQryCmdJobDm* b) { return a->m_order < b->m_order; });
}

void CAmpQryCmdJobDmQueue::TakeEarlyJobs(ULONGLONG now, std::vector<CAmpQryCmdJobDm*>& due)
{
    while (!m_early.empty() && m_early.front().tick <= now) {
        const DueEntry entry = m_early.front();
        std::pop_heap(m_early.begin(), m_early.end(), std::greater<>());
        m_early.pop_back();
        CAmpQryCmdJobDm* job = nullptr;
        if (!IsCurrent(entry, job) || !job->MayGoEarly())
            continue;
        if (std::find(due.begin(), due.end(), job) != due.end())
            continue;
        // Its own due entry goes stale: it must not wake the thread for nothing.
        ++job->m_scheduleGeneration;
        DropTurn(job);
        due.push_back(job);
    }
}

bool CAmpQryCmdJobDmQueue::GetNextDueTick(ULONGLONG& tick)
{
    // Entries of jobs that went early or were filed anew say nothing of the next turn.
    while (!m_due.empty()) {
        CAmpQryCmdJobDm* job = nullptr;
        if (IsCurrent(m_due.front(), job))
            break;
        std::pop_heap(m_due.begin(), m_due.end(), std::greater<>());
        m_due.pop_back();
    }
    if (m_due.empty())
        return false;
    tick = m_due.front().tick;
    return true;
}

void CAmpQryCmdJobDmQueue::MarkForDelivery(const CAmpQryCmdJobDm* job) { m_toDeliver.insert({job->m_order, job->m_jobId}); }

void CAmpQryCmdJobDmQueue::HoldForDelivery(CAmpQryCmdJobDm* job, ULONGLONG tick)
{
    ++job->m_holdGeneration;
    m_held.push_back({tick, job->m_order, job->m_jobId, job->m_holdGeneration});
    std::push_heap(m_held.begin(), m_held.end(), std::greater<>());
    DropStaleEntries();
}

void CAmpQryCmdJobDmQueue::TakeMarkedForDelivery(std::vector<std::pair<ULONGLONG, DWORD>>& marked)
{
    const ULONGLONG now = GetTickCount64();
    while (!m_held.empty() && m_held.front().tick <= now) {
        const DueEntry entry = m_held.front();
        std::pop_heap(m_held.begin(), m_held.end(), std::greater<>());
        m_held.pop_back();
        if (IsCurrentHold(entry))
            m_toDeliver.insert({entry.order, entry.jobId});
    }
    marked.assign(m_toDeliver.begin(), m_toDeliver.end());
    m_toDeliver.clear();
}

bool CAmpQryCmdJobDmQueue::GetNextHeldTick(ULONGLONG& tick) const
{
    if (m_held.empty())
        return false;
    tick = m_held.front().tick;
    return true;
}
