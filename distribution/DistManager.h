// CDistManager: the worker between the windows and the communication manager.
// It merges identical reads of several receivers into one job, submits each
// job when due, repeats repeating jobs at their period with a little jitter,
// and hands every answer to each receiver that asked, at most once per its
// period. It also runs block transfers through the drives' poll slots, serves
// notification subscriptions and lends the link out for synchronous work.
#pragma once

#include "distribution/AmpMsgNotificationList.h"
#include "distribution/AmpQryCmdFromGui.h"
#include "distribution/AmpQryCmdJobDmQueue.h"
#include "distribution/DistCommLink.h"
#include "foundation/DThread.h"

class CDistMngrResponseReceiver;
class CMonitorDistCenterQueryDataMapQ;

class CDistManager : public CDThread {
public:
    // The link must outlive the manager.
    explicit CDistManager(CDistCommLink* link = nullptr);
    ~CDistManager() override;

    // The manager that receivers use unless told otherwise (the main frame's).
    static void Install(CDistManager* manager);
    static CDistManager* GetInstalled();

    void SetCommLink(CDistCommLink* link) { m_link = link; }
    // Empties the jobs and subscriptions and starts the thread when idle.
    bool Start();
    void Stop() { StopThread(1); }

    // The query id, or -1 when a block transfer finds no free poll slot.
    int SubmitQuery(const CAmpQryCmdFromGui& query);
    bool CancelQuery(DWORD queryId);
    // Drops every query and subscription that names the receiver.
    void RemoveReceiver(const CDistMngrResponseReceiver* receiver);
    void ReleaseJob(DWORD jobId, bool cancel);

    int BeginSynchronousAccess();
    void EndSynchronousAccess();
    bool SendSynchronous(CAmpResponseMsg& response, const CCompoundAmpMsg& message);

    // One cycle: submit the due jobs, take the answers, deliver.
    void ExecCycle();

    // Snapshots go to the monitor's queue only while one is set.
    void SetMonitorQueue(CMonitorDistCenterQueryDataMapQ* queue);
    void PublishMonitorSnapshot();

    int GetJobCount() const;
    int GetNotificationCount() const { return m_notifications.GetCount(); }
    // Copies of a job's fields for inspection; false when there is no such job.
    bool GetJobInfo(DWORD jobId, CCompoundAmpMsg* command, WORD* period, BYTE* flags, int* receivers) const;
    DWORD FindJobOfQuery(DWORD queryId) const;

    static constexpr int kSynchronousTimeoutMs = 1000;

protected:
    int Step() override;
    int GetRestMs() override;

private:
    static DWORD NextId();
    static int SlotKey(int address, int slot) { return address * 256 + slot; }

    int SubmitBlockQuery(const CAmpQryCmdFromGui& query);
    DWORD AddQuery(const CCompoundAmpMsg& command, const CAmpQryCmdFromGuiInfo& info, DWORD jobId = 0, DWORD queryId = 0);
    CAmpQryCmdJobDm* FindIdenticalJob(const CCompoundAmpMsg& query) const;
    // Removes a query from its job; returns the job's id when that left it empty.
    DWORD RemoveQueryFromJob(DWORD queryId, bool* found);
    void RegisterSlot(int key, DWORD jobId);
    int FindFreeSlot(int address);

    void SubmitDueJobs();
    void TakeAnswers();
    // False when the answer must wait: its job is a write whose own answer
    // has not been delivered yet (a poll slot's data right behind its set-up).
    bool TakeAnswer(CAmpResponseToDistMngr& answer);
    struct EndedJobs;
    void Deliver();
    // Returns the ms until a receiver held back by its period may have the
    // answer, or -1 when none is held.
    long DeliverJob(CAmpQryCmdJobDm* job, CList<DWORD>& oneShots);
    // Returns true when the answer was a poll-slot command (the job is then handled).
    bool HandlePollSlotAnswer(CAmpQryCmdJobDm* job, EndedJobs& endedJobs, EndedJobs& droppedJobs);
    void RebuildAsPollJob(CAmpQryCmdJobDm* job, WORD polledCode);
    void HandOverLinkedJobs(CAmpQryCmdJobDm* job, EndedJobs& ended);
    void StopPolledRegister(int address, WORD polledCode, int slot, EndedJobs& ended);
    void EndJob(DWORD jobId, bool cancel);
    void RemoveOneShots(const CList<DWORD>& oneShots);
    // Recomputes a job's period and flags and files it anew under its due time.
    void Recompute(CAmpQryCmdJobDm* job);

    CDistCommLink* m_link;
    CAmpQryCmdJobDmQueue m_queue;
    CMap<DWORD, DWORD, int, int> m_slotOfJob;
    CMap<int, int, DWORD, DWORD> m_jobOfSlot;
    CMutex m_slotLock;
    CMutex m_cycleLock;
    int m_synchronousDepth = 0;  // so an unmatched end cannot release a lock it does not hold
    CAmpMsgNotificationList m_notifications;
    CList<CAmpResponseToDistMngr> m_deferredAnswers;  // touched by the cycle only
    bool m_linkWakes = false;  // the link wakes the thread when it leaves an answer
    CMutex m_monitorLock;
    CMonitorDistCenterQueryDataMapQ* m_monitorQueue = nullptr;
};
