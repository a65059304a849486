// CAmpQryCmdJobDmQueue: the distribution manager's jobs in submission order,
// indexed by job id and by the query ids merged into them. Callers hold m_lock.
// Beside the list it keeps the jobs ordered by due time and the set of jobs
// with answers to deliver, so a cycle costs what is due, not what is queued.
#pragma once

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "distribution/AmpQryCmdJobDm.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CAmpQryCmdJobDmQueue {
public:
    CAmpQryCmdJobDmQueue() = default;
    ~CAmpQryCmdJobDmQueue() { RemoveAll(); }
    CAmpQryCmdJobDmQueue(const CAmpQryCmdJobDmQueue&) = delete;
    CAmpQryCmdJobDmQueue& operator=(const CAmpQryCmdJobDmQueue&) = delete;

    void Append(CAmpQryCmdJobDm* job);  // takes ownership
    CAmpQryCmdJobDm* FindJob(DWORD jobId) const;
    CAmpQryCmdJobDm* FindJobOfQuery(DWORD queryId) const;
    void IndexQuery(DWORD queryId, DWORD jobId);
    void UnindexQuery(DWORD queryId);
    // Deletes the job and forgets its query ids.
    void Remove(DWORD jobId);
    void RemoveAll();
    int GetCount() const { return m_jobs.GetCount(); }

    POSITION GetHeadPosition() const { return m_jobs.GetHeadPosition(); }
    CAmpQryCmdJobDm* GetNext(POSITION& pos) const { return m_jobs.GetNext(pos); }

    // Files a ready job under the time it falls due; call after anything that
    // may change when it is due (its state, flags, timer or due offset). A
    // repeating job takes the turn of another job that falls within its delay
    // (period to period plus its largest jitter). Else the oldest job with a
    // turn filed keeps its period and the others take the end of their delay:
    // they drift into step with it and then share one wake-up a turn.
    void Schedule(CAmpQryCmdJobDm* job);
    // The jobs due now, in submission order. When any is due, the repeating
    // jobs whose period has passed go with them: one wake-up serves them all,
    // and jobs that went together once keep going together.
    void TakeDueJobs(std::vector<CAmpQryCmdJobDm*>& due);
    // Clock value at which the next job may fall due; false when none is filed.
    bool GetNextDueTick(ULONGLONG& tick);

    // Jobs with something to deliver, in submission order.
    void MarkForDelivery(const CAmpQryCmdJobDm* job);
    // A job whose answer waits for a receiver's period: marked for delivery
    // once the clock reaches the tick, and not looked at before.
    void HoldForDelivery(CAmpQryCmdJobDm* job, ULONGLONG tick);
    // The marked jobs and the held ones whose tick has come.
    void TakeMarkedForDelivery(std::vector<std::pair<ULONGLONG, DWORD>>& marked);
    bool HasMarkedForDelivery() const { return !m_toDeliver.empty(); }
    // Clock value at which the next held answer may be delivered; false when none waits.
    bool GetNextHeldTick(ULONGLONG& tick) const;

    mutable CMutex m_lock;

private:
    struct DueEntry {
        ULONGLONG tick;
        ULONGLONG order;
        DWORD jobId;
        DWORD generation;
        // Earliest tick first; among equal ticks, submission order.
        bool operator>(const DueEntry& other) const
        {
            return tick != other.tick ? tick > other.tick : order > other.order;
        }
    };
    bool IsCurrent(const DueEntry& entry, CAmpQryCmdJobDm*& job) const;
    bool IsCurrentHold(const DueEntry& entry) const;
    void DropStaleEntries();
    void TakeEarlyJobs(ULONGLONG now, std::vector<CAmpQryCmdJobDm*>& due);
    ULONGLONG ChooseTurn(CAmpQryCmdJobDm* job, ULONGLONG now);
    void FileTurn(CAmpQryCmdJobDm* job, ULONGLONG tick);
    void DropTurn(CAmpQryCmdJobDm* job);

    CList<CAmpQryCmdJobDm*, CAmpQryCmdJobDm*> m_jobs;
    ULONGLONG m_nextOrder = 0;
    std::vector<DueEntry> m_due;  // a min-heap on (tick, order)
    std::vector<DueEntry> m_early;  // the same, on the tick a job may go early
    std::map<ULONGLONG, int> m_turns;  // filed turns of repeating jobs: clock value, number of jobs
    std::multiset<ULONGLONG> m_turnOrders;  // the submission order of each job with a filed turn
    std::set<std::pair<ULONGLONG, DWORD>> m_toDeliver;
    std::vector<DueEntry> m_held;  // a min-heap on (tick, order)
    CMap<DWORD, DWORD, POSITION, POSITION> m_jobIndex;
    CMap<DWORD, DWORD, POSITION, POSITION> m_queryIndex;
};
