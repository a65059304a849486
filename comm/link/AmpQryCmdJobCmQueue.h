// CAmpQryCmdJobCmQueue: the communication manager's queued jobs, in queueing
// order, indexed by job id, with the cursor that matching walks. Callers that
// walk the queue hold its lock.
#pragma once

#include "comm/protocol/AmpQryCmdJobCm.h"
#include "comm/protocol/AmpResponseToDistMngr.h"
#include "platform/core/List.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

// Commands the link layer names.
enum LinkCode : WORD {
    kCodeCB = 98,     // error report
    kCodeAPE = 1541,
    kCodeCSE = 3685,
    kCodeOSA = 15969,  // OSA..OSD: the four block-transfer poll slots
    kCodeOSB = 15970,
    kCodeOSC = 15971,
    kCodeOSD = 15972,
    kCodePSD = 16996,
    kCodeRQE = 18981,
    kCodeTRE = 21061,
    kCodeTSR = 21106,  // time stamp
    kCodeVRM = 23117,
};

class CAmpQryCmdJobCmQueue {
public:
    CAmpQryCmdJobCmQueue() = default;
    ~CAmpQryCmdJobCmQueue() { RemoveAll(); }
    CAmpQryCmdJobCmQueue(const CAmpQryCmdJobCmQueue&) = delete;
    CAmpQryCmdJobCmQueue& operator=(const CAmpQryCmdJobCmQueue&) = delete;

    CMutex& GetLock() { return m_lock; }

    // Takes ownership. FALSE (and the job deleted) when its id is queued.
    BOOL AddJob(CAmpQryCmdJobCm* job);
    // A job the queue makes itself, under an id that may already be queued.
    void AddFollowUpJob(CAmpQryCmdJobCm* job);
    BOOL Contains(DWORD jobId);
    // The submitted job of that id, or null.
    CAmpQryCmdJobCm* Find(DWORD jobId, POSITION* where = nullptr);
    void RemoveAt(POSITION pos);
    void RemoveAll();
    int GetCount();
    POSITION GetHeadPosition() { return m_jobs.GetHeadPosition(); }
    CAmpQryCmdJobCm* GetNext(POSITION& pos) { return m_jobs.GetNext(pos); }
    // The OR of the low bytes of all queued jobs' flags.
    BYTE GetModeBits();

    void ResetCursor() { m_cursor = nullptr; m_cursorAtStart = true; }
    // Matches a reply against the jobs from the cursor on. 0: nothing handed
    // on (or a sub-command answered); 1: a response; 2: a response and the
    // cursor is at the end of the queue.
    int MatchResponse(const CAmpResponseMsg& reply, CAmpResponseToDistMngr& response, int counted);

    // Replies that matched no job: 0 PSD, 1 APE.
    int GetUnmatchedCount(int which);

private:
    enum MatchStep { kSkip, kSubCommandAnswered, kAnswered };
    MatchStep MatchJob(CAmpQryCmdJobCm& job, const CAmpResponseMsg& reply);
    static void BuildResponse(CAmpQryCmdJobCm& job, const CAmpResponseMsg& reply, CAmpResponseToDistMngr& response);
    static bool HandsOn(const CAmpQryCmdJobCm& job, const CAmpResponseMsg& reply);

    CMutex m_lock;
    CList<CAmpQryCmdJobCm*> m_jobs;
    CMap<DWORD, DWORD, POSITION, POSITION> m_index;
    POSITION m_cursor = nullptr;
    bool m_cursorAtStart = true;
    int m_unmatched[2] = {0, 0};
};

// 0 for other codes; for OSA..OSD 2 when the value is below 65536, else 1.
int BlockTransferClass(WORD code, LONG value);
