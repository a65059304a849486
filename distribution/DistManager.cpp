#include "distribution/DistManager.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "distribution/DistMngrResponseReceiver.h"
#include "distribution/MonitorDistCenterQueryDataMapQ.h"
#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"

namespace {

std::atomic<CDistManager*> g_installed{nullptr};
std::atomic<DWORD> g_lastId{0};

constexpr WORD kCodeOSA = 15969;

WORD SwapBytes(WORD value) { return static_cast<WORD>((value << 8) | (value >> 8)); }

bool IsEarly(WORD error, BYTE flags)
{
    return (error == 512 || error == 36) && !(flags & kQryTimeoutNotEarly);
}

bool IsFatal(WORD error, bool early)
{
    return !early && error != 0 && error != 2 && error != 35 && error != 37 && error != 512;
}


}  // namespace

// Jobs ended in a delivery pass: a list keeps their order, a set answers "is it ended".
struct CDistManager::EndedJobs {
    CList<DWORD> order;
    std::unordered_set<DWORD> ids;
    void Add(DWORD id)
    {
        if (ids.insert(id).second)
            order.AddTail(id);
    }
    // Repeats kept, as the poll-slot handling has always listed them.
    void Append(DWORD id)
    {
        order.AddTail(id);
        ids.insert(id);
    }
    bool Contains(DWORD id) const { return ids.count(id) != 0; }
};


CDistManager::CDistManager(CDistCommLink* link) : m_link(link) {}

CDistManager::~CDistManager()
{
    StopThread(1);
    if (m_link && m_linkWakes)
        m_link->SetAnswerTaker(nullptr);
    CDistManager* self = this;
    g_installed.compare_exchange_strong(self, nullptr);
}

void CDistManager::Install(CDistManager* manager) { g_installed = manager; }

CDistManager* CDistManager::GetInstalled() { return g_installed.load(); }

DWORD CDistManager::NextId()
{
    DWORD id = ++g_lastId;
    while (id == 0)
        id = ++g_lastId;
    return id;
}

bool CDistManager::Start()
{
    {
        CSingleLock lock(&m_queue.m_lock, TRUE);
        m_queue.RemoveAll();
    }
    m_notifications.RemoveAll();
    {
        CSingleLock cycle(&m_cycleLock, TRUE);
        m_deferredAnswers.RemoveAll();
    }
    {
        // Slots of a previous session would otherwise stay taken for good.
        CSingleLock lock(&m_slotLock, TRUE);
        m_slotOfJob.RemoveAll();
        m_jobOfSlot.RemoveAll();
    }
    if (GetState() != kIdle)
        return false;
    m_linkWakes = m_link && m_link->SetAnswerTaker(this);
    return StartThread(THREAD_PRIORITY_NORMAL, 1) != 0;
}

int CDistManager::Step()
{
    ExecCycle();
    return 0;
}

// Rests until the next job falls due or a held answer may go, unless answers
// wait to be delivered or the link cannot say when answers come (then any
// queued job keeps it looking).
int CDistManager::GetRestMs()
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    if (m_queue.HasMarkedForDelivery() || !m_deferredAnswers.IsEmpty())
        return GetPeriod();
    if (!m_linkWakes && m_queue.GetCount() > 0)
        return GetPeriod();
    ULONGLONG dueTick = 0;
    ULONGLONG heldTick = 0;
    const bool anyDue = m_queue.GetNextDueTick(dueTick);
    const bool anyHeld = m_queue.GetNextHeldTick(heldTick);
    if (!anyDue && !anyHeld)
        return kRestUntilWoken;
    if (!anyDue || (anyHeld && heldTick < dueTick))
        dueTick = heldTick;
    const ULONGLONG now = GetTickCount64();
    if (dueTick <= now)
        return GetPeriod();
    return static_cast<int>(std::min<ULONGLONG>(dueTick - now, 0x7FFFFFFF));
}

// ---- submitting and cancelling ----

int CDistManager::SubmitQuery(const CAmpQryCmdFromGui& query)
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    if (query.m_flags & kQryBlockTransfer)
        return SubmitBlockQuery(query);
    const DWORD queryId = AddQuery(query, query);
    if (query.m_flags & kQryNotify)
        m_notifications.Subscribe(query, query.m_receiver, queryId);
    Wake();
    return static_cast<int>(queryId);
}

int CDistManager::FindFreeSlot(int address)
{
    CSingleLock lock(&m_slotLock, TRUE);
    for (int slot = 0; slot < 4; ++slot) {
        DWORD jobId;
        if (!m_jobOfSlot.Lookup(SlotKey(address, slot), jobId))
            return slot;
    }
    return -1;
}

void CDistManager::RegisterSlot(int key, DWORD jobId)
{
    CSingleLock lock(&m_slotLock, TRUE);
    int existing;
    if (m_slotOfJob.Lookup(jobId, existing))
        return;
    m_slotOfJob.SetAt(jobId, key);
    m_jobOfSlot.SetAt(key, jobId);
}

int CDistManager::SubmitBlockQuery(const CAmpQryCmdFromGui& query)
{
    const int slot = FindFreeSlot(query.m_address);
    if (slot < 0)
        return -1;
    CAmpQryCmdJobDm* identical = FindIdenticalJob(query);

    CCompoundAmpMsg setup;
    setup.m_address = query.m_address;
    setup.m_code = static_cast<WORD>(kCodeOSA + slot);
    const DWORD value = (static_cast<DWORD>(query.m_time) << 16) | SwapBytes(query.m_code);
    setup.SetValueAuto(static_cast<LONG>(value));
    const CAmpQryCmdFromGuiInfo info(0, kQryCommand, query.m_receiver);

    const DWORD queryId = AddQuery(setup, info);
    const DWORD jobId = m_queue.FindJobOfQuery(queryId)->m_jobId;
    RegisterSlot(SlotKey(query.m_address, slot), jobId);
    if (identical)
        identical->m_linkedPollJob = jobId;
    Wake();
    return static_cast<int>(queryId);
}

CAmpQryCmdJobDm* CDistManager::FindIdenticalJob(const CCompoundAmpMsg& query) const
{
    for (POSITION pos = m_queue.GetHeadPosition(); pos;) {
        CAmpQryCmdJobDm* job = m_queue.GetNext(pos);
        if (job->IsIdenticalRead(query))
            return job;
    }
    return nullptr;
}

DWORD CDistManager::AddQuery(const CCompoundAmpMsg& command, const CAmpQryCmdFromGuiInfo& info, DWORD jobId, DWORD queryId)
{
    CAmpQryCmdJobDm* job = nullptr;
    if (command.m_width == 0)  // a write is never merged
        job = jobId ? m_queue.FindJob(jobId) : FindIdenticalJob(command);
    if (!job) {
        job = new CAmpQryCmdJobDm(command, jobId ? jobId : NextId());
        job->DrawDueOffset();
        m_queue.Append(job);
    }
    CAmpQryCmdGuiRcvrInfo receiver(info, queryId ? queryId : NextId());
    receiver.m_deliveryTimer.Restart();
    job->AddReceiver(receiver);
    m_queue.IndexQuery(receiver.m_queryId, job->m_jobId);
    Recompute(job);
    return receiver.m_queryId;
}

DWORD CDistManager::RemoveQueryFromJob(DWORD queryId, bool* found)
{
    CAmpQryCmdJobDm* job = m_queue.FindJobOfQuery(queryId);
    if (!job)
        return 0;
    job->RemoveReceiver(queryId);
    m_queue.UnindexQuery(queryId);
    if (found)
        *found = true;
    if (job->m_receivers.IsEmpty()) {
        const DWORD jobId = job->m_jobId;
        m_queue.Remove(jobId);
        return jobId;
    }
    Recompute(job);
    return 0;
}

bool CDistManager::CancelQuery(DWORD queryId)
{
    bool found = false;
    DWORD emptiedJob;
    {
        CSingleLock lock(&m_queue.m_lock, TRUE);
        emptiedJob = RemoveQueryFromJob(queryId, &found);
    }
    if (m_notifications.Unsubscribe(queryId))
        found = true;
    if (emptiedJob)
        ReleaseJob(emptiedJob, true);
    Wake();  // a job that lost a receiver may fall due sooner
    return found;
}

namespace {
// An OSA-OSD write that sets up or stops a poll slot, not a value for the drive.
bool IsPollSlotSetUp(const CAmpCommand& job)
{
    int code = 0;
    int period = 0;
    int slot = 0;
    return DecodeBlockTransferQuery(job, code, period, slot) != 0;
}
}  // namespace

void CDistManager::RemoveReceiver(const CDistMngrResponseReceiver* receiver)
{
    CList<DWORD> emptiedJobs;
    {
        CSingleLock lock(&m_queue.m_lock, TRUE);
        CList<DWORD> queryIds;
        for (POSITION pos = m_queue.GetHeadPosition(); pos;) {
            CAmpQryCmdJobDm* job = m_queue.GetNext(pos);
            // A write the user already asked for still reaches the drive when
            // its window goes; only its answer has nobody left to hear it.
            const bool keepsWrite = job->IsWrite() && !IsPollSlotSetUp(*job);
            for (POSITION r = job->m_receivers.GetHeadPosition(); r;) {
                CAmpQryCmdGuiRcvrInfo& info = job->m_receivers.GetNext(r);
                if (info.m_receiver != receiver)
                    continue;
                if (keepsWrite)
                    info.m_receiver = nullptr;
                else
                    queryIds.AddTail(info.m_queryId);
            }
        }
        for (POSITION pos = queryIds.GetHeadPosition(); pos;)
            if (const DWORD jobId = RemoveQueryFromJob(queryIds.GetNext(pos), nullptr))
                emptiedJobs.AddTail(jobId);
    }
    m_notifications.UnsubscribeReceiver(receiver);
    for (POSITION pos = emptiedJobs.GetHeadPosition(); pos;)
        ReleaseJob(emptiedJobs.GetNext(pos), true);
    Wake();
}

void CDistManager::ReleaseJob(DWORD jobId, bool cancel)
{
    {
        CSingleLock lock(&m_slotLock, TRUE);
        int key;
        if (m_slotOfJob.Lookup(jobId, key)) {
            m_slotOfJob.RemoveKey(jobId);
            DWORD slotJob;
            if (m_jobOfSlot.Lookup(key, slotJob) && slotJob == jobId)
                m_jobOfSlot.RemoveKey(key);
        }
    }
    if (cancel && m_link)
        m_link->CancelJob(jobId);
}

// ---- synchronous access ----

int CDistManager::BeginSynchronousAccess()
{
    m_cycleLock.Lock();
    ++m_synchronousDepth;
    return m_link ? m_link->EnterSynchronousMode() : 0;
}

void CDistManager::EndSynchronousAccess()
{
    if (m_synchronousDepth == 0)
        return;
    --m_synchronousDepth;
    m_cycleLock.Unlock();
    if (m_link)
        m_link->LeaveSynchronousMode();
}

bool CDistManager::SendSynchronous(CAmpResponseMsg& response, const CCompoundAmpMsg& message)
{
    if (!m_link)
        return false;
    CAmpCommandList answeredSubs;
    if (!message.m_subCommands.IsEmpty()) {
        const CAmpCommand& sub = message.m_subCommands.GetHead();
        CAmpMsg first(message.m_address, sub.m_code, sub.m_value, sub.m_width);
        CAmpResponseMsg subAnswer;
        if (!m_link->SendReceiveSynchronous(first, subAnswer, kSynchronousTimeoutMs))
            return false;
        answeredSubs.AddTail(CAmpCommand(subAnswer.m_code, subAnswer.m_value, subAnswer.m_width));
    }
    CAmpMsg own(message.m_address, message.m_code, message.m_value, message.m_width);
    CAmpResponseMsg answer;
    const int answered = m_link->SendReceiveSynchronous(own, answer, kSynchronousTimeoutMs);
    CAmpCommandList subs;
    subs.Copy(response.m_subCommands);
    subs.AddTail(&answeredSubs);
    response = answer;
    response.m_subCommands.Copy(subs);
    return answered != 0;
}

// ---- the cycle ----

void CDistManager::ExecCycle()
{
    CSingleLock cycle(&m_cycleLock, TRUE);
    if (!m_link)
        return;
    SubmitDueJobs();
    TakeAnswers();
    Deliver();
}

void CDistManager::Recompute(CAmpQryCmdJobDm* job)
{
    job->Recompute();
    m_queue.Schedule(job);
}

void CDistManager::SubmitDueJobs()
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    std::vector<CAmpQryCmdJobDm*> due;
    m_queue.TakeDueJobs(due);
    for (CAmpQryCmdJobDm* job : due) {
        if (!(job->m_flags & (kQryBlockTransfer | kQryOneShot))) {
            const long elapsedMs = static_cast<long>(std::floor(job->m_submitTimer.GetElapsedSeconds() * 1000.0));
            const long late = elapsedMs - job->m_dueOffset;
            m_link->AddQueryOvertimeSample(job->m_address, static_cast<DWORD>(late > 0 ? late : 0));
        }
        CAmpQryCmdFromDistMngr message;
        static_cast<CCompoundAmpMsg&>(message) = *job;
        message.m_jobId = job->m_jobId;
        message.m_jobFlags = job->m_flags;
        if (job->m_slotRelease) {
            // It streamed through a poll slot before: stop that first.
            ReleaseJob(job->m_jobId, true);
            job->m_slotRelease = 0;
        }
        m_link->SubmitJob(message);
        job->m_state = kJobSubmitted;
        job->m_submitTimer.Restart();
        job->DrawDueOffset();
    }
}

void CDistManager::TakeAnswers()
{
    CList<CAmpResponseToDistMngr> backlog;
    backlog.Swap(m_deferredAnswers);
    while (!backlog.IsEmpty()) {
        CAmpResponseToDistMngr answer = backlog.RemoveHead();
        if (!TakeAnswer(answer)) {
            m_deferredAnswers.AddTail(answer);
            m_deferredAnswers.AddTail(&backlog);
            return;
        }
    }
    CAmpResponseToDistMngr answer;
    while (m_link->PopResponse(answer)) {
        if (!TakeAnswer(answer)) {
            m_deferredAnswers.AddTail(answer);  // the rest wait too, to keep their order
            return;
        }
    }
}

bool CDistManager::TakeAnswer(CAmpResponseToDistMngr& answer)
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    CAmpQryCmdJobDm* job = m_queue.FindJob(answer.m_jobId);
    if (!job)
        return true;
    if (job->IsWrite() && job->m_state == kJobAnswered)
        return false;
    job->m_roundTrip = answer.m_replyTime;
    job->m_answerTime = job->m_submitTimer.GetElapsedSeconds();
    job->m_responseInterval = job->m_responseTimer.GetElapsedSeconds();
    answer.m_queueTime = job->m_responseInterval;
    job->m_lastResponse = answer;
    // Every answer of a poll slot's data job is stream data, whether the
    // link hands it on as a block reply or as the reply to a read it made.
    if (answer.m_blockFlag || (job->m_flags & kQryPollData))
        job->m_blockResponses.Append(answer);
    job->m_responseTimer.Restart();
    job->m_hasResponse = 1;
    job->m_state = kJobAnswered;
    for (POSITION r = job->m_receivers.GetHeadPosition(); r;)
        job->m_receivers.GetNext(r).m_pending = 1;
    m_queue.MarkForDelivery(job);
    if (answer.m_error == 0)
        m_notifications.Serve(answer);
    return true;
}

// Only jobs that took an answer, or hold one for a receiver whose period is
// now up, have anything to deliver; they are visited in submission order.
void CDistManager::Deliver()
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    CList<DWORD> oneShots;
    EndedJobs endedJobs;
    EndedJobs droppedJobs;  // removed without cancelling at the link
    std::vector<std::pair<ULONGLONG, DWORD>> marked;
    m_queue.TakeMarkedForDelivery(marked);
    for (const auto& [order, jobId] : marked) {
        CAmpQryCmdJobDm* job = m_queue.FindJob(jobId);
        if (!job || job->m_order != order || !job->m_hasResponse || endedJobs.Contains(jobId) ||
            droppedJobs.Contains(jobId))
            continue;
        const long holdMs = DeliverJob(job, oneShots);
        if (holdMs >= 0)
            m_queue.HoldForDelivery(job, GetTickCount64() + static_cast<ULONGLONG>(holdMs));
        else
            ++job->m_holdGeneration;  // nothing held: an earlier hold has nothing left to do
        const WORD error = job->m_lastResponse.m_error;
        if (job->IsWrite()) {
            if (!HandlePollSlotAnswer(job, endedJobs, droppedJobs))
                endedJobs.Add(job->m_jobId);
            continue;
        }
        if (IsFatal(error, IsEarly(error, job->m_flags))) {
            endedJobs.Add(job->m_jobId);
            continue;
        }
        if (job->m_state == kJobAnswered) {
            job->m_state = kJobReady;
            m_queue.Schedule(job);
        }
    }
    for (POSITION pos = endedJobs.order.GetHeadPosition(); pos;)
        EndJob(endedJobs.order.GetNext(pos), true);
    for (POSITION pos = droppedJobs.order.GetHeadPosition(); pos;)
        EndJob(droppedJobs.order.GetNext(pos), false);
    RemoveOneShots(oneShots);
}

long CDistManager::DeliverJob(CAmpQryCmdJobDm* job, CList<DWORD>& oneShots)
{
    long holdMs = -1;
    CList<CAmpResponseToDistMngr> blockAnswers;
    CAmpResponseToDistMngr blockAnswer;
    while (job->m_blockResponses.PopResponse(blockAnswer))
        blockAnswers.AddTail(blockAnswer);

    const CAmpResponseToDistMngr& last = job->m_lastResponse;
    const bool write = job->IsWrite();
    const bool early = IsEarly(last.m_error, job->m_flags);
    const bool fatal = IsFatal(last.m_error, early);
    for (POSITION r = job->m_receivers.GetHeadPosition(); r;) {
        CAmpQryCmdGuiRcvrInfo& info = job->m_receivers.GetNext(r);
        if (info.m_flags & kQryBlockTransfer) {
            info.m_pending = 0;
            for (POSITION b = blockAnswers.GetHeadPosition(); b;) {
                CAmpResponseToGui response(blockAnswers.GetNext(b));
                response.m_queryId = info.m_queryId;
                response.m_write = write ? 1 : 0;
                if (info.m_receiver)
                    info.m_receiver->OnResponse(response);
            }
            continue;
        }
        if (!info.m_pending)
            continue;
        CAmpResponseToGui response(last);
        response.m_queryId = info.m_queryId;
        response.m_write = write ? 1 : 0;
        // The stopwatch sums its intervals in seconds; a hair keeps 0.05 s from reading 49 ms.
        const DWORD ms = static_cast<DWORD>(std::floor(info.m_deliveryTimer.GetElapsedSeconds() * 1000.0 + 1e-6));
        if (early) {
            info.m_deliveryTimer.Restart();
            info.m_lastInterval = ms;
        } else if (!write && !fatal) {
            if (info.m_flags & kQryOneShot) {
                oneShots.AddTail(info.m_queryId);
            } else if (!info.m_served || ms >= info.m_time) {
                // A first answer goes at once, so later ones follow the
                // answers' own pace instead of trailing them by a period.
                info.m_served = true;
                info.m_deliveryTimer.Restart();
                info.m_lastInterval = ms;
                response.m_queueTime = ms / 1000.0;
            } else {
                // Stays pending; gets the latest answer once its period is up.
                const long wait = static_cast<long>(info.m_time) - static_cast<long>(ms);
                holdMs = holdMs < 0 ? wait : std::min(holdMs, wait);
                continue;
            }
        }
        info.m_pending = 0;
        if (info.m_receiver)
            info.m_receiver->OnResponse(response);
    }
    return holdMs;
}

bool CDistManager::HandlePollSlotAnswer(CAmpQryCmdJobDm* job, EndedJobs& endedJobs, EndedJobs& droppedJobs)
{
    int polledCode = 0;
    int period = 0;
    int slot = 0;
    if (!DecodeBlockTransferQuery(*job, polledCode, period, slot))
        return false;
    if (period == 0) {
        StopPolledRegister(job->m_address, static_cast<WORD>(polledCode), slot, endedJobs);
        endedJobs.Append(job->m_jobId);
    } else if (job->m_lastResponse.m_error != 0) {
        ReleaseJob(job->m_jobId, false);
        droppedJobs.Append(job->m_jobId);
    } else {
        RebuildAsPollJob(job, static_cast<WORD>(polledCode));
        HandOverLinkedJobs(job, endedJobs);
    }
    return true;
}

void CDistManager::RebuildAsPollJob(CAmpQryCmdJobDm* job, WORD polledCode)
{
    const CList<CAmpQryCmdGuiRcvrInfo> previous(job->m_receivers);
    job->m_code = polledCode;
    job->SetRead();
    job->m_subCommands.RemoveAll();
    job->m_receivers.RemoveAll();
    job->m_flags = 0;
    job->m_hasResponse = 0;
    job->m_state = kJobReady;
    job->m_blockResponses.RemoveAll();
    for (POSITION pos = previous.GetHeadPosition(); pos;) {
        const CAmpQryCmdGuiRcvrInfo& old = previous.GetNext(pos);
        CAmpQryCmdGuiRcvrInfo receiver(CAmpQryCmdFromGuiInfo(old.m_time, kQryBlockTransfer | kQryPollData, old.m_receiver),
                                       old.m_queryId);
        receiver.m_deliveryTimer.Restart();
        job->AddReceiver(receiver);
    }
    Recompute(job);
}

void CDistManager::HandOverLinkedJobs(CAmpQryCmdJobDm* job, EndedJobs& endedJobs)
{
    for (POSITION pos = m_queue.GetHeadPosition(); pos;) {
        CAmpQryCmdJobDm* linked = m_queue.GetNext(pos);
        if (linked == job || linked->m_linkedPollJob != job->m_jobId)
            continue;
        linked->m_linkedPollJob = 0;
        const CList<CAmpQryCmdGuiRcvrInfo> receivers(linked->m_receivers);
        for (POSITION r = receivers.GetHeadPosition(); r;) {
            const CAmpQryCmdGuiRcvrInfo& old = receivers.GetNext(r);
            linked->RemoveReceiver(old.m_queryId);
            CAmpQryCmdGuiRcvrInfo moved(static_cast<const CAmpQryCmdFromGuiInfo&>(old), old.m_queryId);
            moved.m_deliveryTimer.Restart();
            job->AddReceiver(moved);
            m_queue.IndexQuery(old.m_queryId, job->m_jobId);
        }
        if (linked->m_receivers.IsEmpty())
            endedJobs.Append(linked->m_jobId);
        else
            Recompute(linked);
    }
    Recompute(job);
}

void CDistManager::StopPolledRegister(int address, WORD polledCode, int slot, EndedJobs& endedJobs)
{
    DWORD slotJob = 0;
    {
        CSingleLock lock(&m_slotLock, TRUE);
        m_jobOfSlot.Lookup(SlotKey(address, slot), slotJob);
    }
    for (POSITION pos = m_queue.GetHeadPosition(); pos;) {
        CAmpQryCmdJobDm* job = m_queue.GetNext(pos);
        // A stop written as 0 names no register: the slot's own job is meant.
        const bool streamsIt = job->m_address == address && job->m_code == polledCode;
        if (job->IsWrite() || !(streamsIt || (slotJob && job->m_jobId == slotJob)))
            continue;
        CList<DWORD> blockQueries;
        for (POSITION r = job->m_receivers.GetHeadPosition(); r;) {
            const CAmpQryCmdGuiRcvrInfo& info = job->m_receivers.GetNext(r);
            if (info.m_flags & kQryBlockTransfer)
                blockQueries.AddTail(info.m_queryId);
        }
        if (blockQueries.IsEmpty())
            continue;
        for (POSITION q = blockQueries.GetHeadPosition(); q;) {
            const DWORD queryId = blockQueries.GetNext(q);
            job->RemoveReceiver(queryId);
            m_queue.UnindexQuery(queryId);
        }
        if (job->m_receivers.IsEmpty())
            endedJobs.Append(job->m_jobId);
        else
            Recompute(job);
    }
    // The slot is free to be set up again.
    CSingleLock lock(&m_slotLock, TRUE);
    if (m_jobOfSlot.Lookup(SlotKey(address, slot), slotJob)) {
        m_jobOfSlot.RemoveKey(SlotKey(address, slot));
        m_slotOfJob.RemoveKey(slotJob);
    }
}

void CDistManager::EndJob(DWORD jobId, bool cancel)
{
    ReleaseJob(jobId, cancel);
    m_queue.Remove(jobId);
}

void CDistManager::RemoveOneShots(const CList<DWORD>& oneShots)
{
    for (POSITION pos = oneShots.GetHeadPosition(); pos;)
        if (const DWORD jobId = RemoveQueryFromJob(oneShots.GetNext(pos), nullptr))
            ReleaseJob(jobId, false);
}

// ---- inspection ----

int CDistManager::GetJobCount() const
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    return m_queue.GetCount();
}

DWORD CDistManager::FindJobOfQuery(DWORD queryId) const
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    const CAmpQryCmdJobDm* job = m_queue.FindJobOfQuery(queryId);
    return job ? job->m_jobId : 0;
}

bool CDistManager::GetJobInfo(DWORD jobId, CCompoundAmpMsg* command, WORD* period, BYTE* flags, int* receivers) const
{
    CSingleLock lock(&m_queue.m_lock, TRUE);
    const CAmpQryCmdJobDm* job = m_queue.FindJob(jobId);
    if (!job)
        return false;
    if (command)
        *command = *job;
    if (period)
        *period = job->m_period;
    if (flags)
        *flags = job->m_flags;
    if (receivers)
        *receivers = job->m_receivers.GetCount();
    return true;
}

// ---- monitor ----

void CDistManager::SetMonitorQueue(CMonitorDistCenterQueryDataMapQ* queue)
{
    CSingleLock lock(&m_monitorLock, TRUE);
    m_monitorQueue = queue;
}

namespace {

DWORD ToMs(double seconds) { return static_cast<DWORD>(seconds * 1000.0); }

DWORD CommandKey(const CAmpQryCmdJobDm& job)
{
    if (job.m_subCommands.IsEmpty())
        return job.m_code;
    return static_cast<DWORD>(job.m_subCommands.GetHead().m_code) * 65536u + job.m_code;
}

LONG SubValue(const CAmpQryCmdJobDm& job)
{
    return job.m_subCommands.IsEmpty() ? 0 : job.m_subCommands.GetHead().m_value;
}

}  // namespace

void CDistManager::PublishMonitorSnapshot()
{
    CSingleLock monitor(&m_monitorLock, TRUE);
    if (!m_monitorQueue)
        return;
    auto* snapshot = new CMonitorDistCenterQueryDataMap;
    {
        CSingleLock lock(&m_queue.m_lock, TRUE);
        for (POSITION pos = m_queue.GetHeadPosition(); pos;) {
            const CAmpQryCmdJobDm* job = m_queue.GetNext(pos);
            CMonitorDistCenterQueryData* record = nullptr;
            for (POSITION s = snapshot->GetStartPosition(); s && !record;) {
                DWORD id;
                CMonitorDistCenterQueryData* candidate;
                snapshot->GetNextAssoc(s, id, candidate);
                if (candidate->m_address == job->m_address && candidate->m_commandKey == CommandKey(*job) &&
                    candidate->m_subValue == SubValue(*job))
                    record = candidate;
            }
            if (!record) {
                record = new CMonitorDistCenterQueryData;
                record->m_jobId = job->m_jobId;
                record->m_address = job->m_address;
                record->m_commandKey = CommandKey(*job);
                record->m_subValue = SubValue(*job);
                record->m_period = job->m_period;
                record->m_interval = ToMs(job->m_responseInterval);
                record->m_roundTrip = ToMs(job->m_roundTrip);
                record->m_answerTime = ToMs(job->m_answerTime);
                record->m_lastValue = job->m_lastResponse.m_value;
                snapshot->SetAt(job->m_jobId, record);
            }
            for (POSITION r = job->m_receivers.GetHeadPosition(); r;) {
                const CAmpQryCmdGuiRcvrInfo& info = job->m_receivers.GetNext(r);
                CMonitorDistCenterRcvrData data;
                data.m_receiverName = info.m_receiver ? info.m_receiver->GetReceiverName() : CString("<NO-NAME>");
                data.m_address = job->m_address;
                data.m_queryId = info.m_queryId;
                data.m_time = info.m_time;
                data.m_lastInterval = info.m_lastInterval;
                record->m_receivers.SetAt(info.m_queryId, data);
            }
        }
    }
    m_monitorQueue->Append(snapshot);
}
