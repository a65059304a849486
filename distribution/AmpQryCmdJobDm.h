// CAmpQryCmdJobDm: one job of the distribution manager: a drive message with
// every receiver query merged into it.
#pragma once

#include "distribution/AmpQryCmdGuiRcvrInfo.h"
#include "comm/protocol/AmpResponseToDistMngrList.h"
#include "comm/protocol/CompoundAmpMsg.h"
#include "platform/core/List.h"

enum DmJobState : BYTE {
    kJobReady = 1,
    kJobSubmitted = 2,
    kJobAnswered = 3,
};

class CAmpQryCmdJobDm : public CCompoundAmpMsg {
public:
    CAmpQryCmdJobDm(const CCompoundAmpMsg& command, DWORD jobId);
    CAmpQryCmdJobDm(const CAmpQryCmdJobDm&) = delete;
    CAmpQryCmdJobDm& operator=(const CAmpQryCmdJobDm&) = delete;

    // Same drive, both reads, same code and the same sub-commands.
    bool IsIdenticalRead(const CCompoundAmpMsg& query) const;
    void AddReceiver(const CAmpQryCmdGuiRcvrInfo& receiver);
    CAmpQryCmdGuiRcvrInfo* FindReceiver(DWORD queryId);
    bool RemoveReceiver(DWORD queryId);
    // Period = the smallest receiver time, flags = the OR of theirs; losing the
    // block flag marks the poll slot for release.
    void Recompute();
    // Period plus a random delay of up to about 5 %.
    void DrawDueOffset();
    bool IsDue();
    // Milliseconds from now until IsDue turns true for a repeating job.
    int MsUntilDue();
    // A ready repeating job whose period has passed since its last turn: it
    // may go with a job that falls due now, within its own delay.
    bool MayGoEarly();
    int MsUntilMayGoEarly();
    // Milliseconds from now to the end of its delay: its period plus the
    // largest jitter past its last turn.
    int MsUntilLatestTurn();
    // The same for the turn with no jitter at all.
    int MsUntilTurnWithoutJitter();
    // Sets the delay so that the next turn comes `ms` from now.
    void SetTurnIn(int ms);
    // True once the delay was drawn with a period: a new job's first turn goes at once.
    bool HasTurnWindow() const { return m_period > 0 && m_dueOffset >= m_period; }
    bool IsWrite() const { return m_width != 0; }

    DWORD m_jobId;
    ULONGLONG m_order = 0;            // place in submission order, set by the queue
    DWORD m_scheduleGeneration = 0;  // bumped at each scheduling, so older entries go stale
    DWORD m_holdGeneration = 0;      // the same for the entries of held answers
    ULONGLONG m_turnTick = 0;        // the clock value of its filed turn (0: none); kept by the queue
    BYTE m_state = kJobReady;
    WORD m_period = 0;
    // Wider than the period itself so that long periods cannot wrap negative.
    int m_dueOffset = 0;
    BYTE m_flags = 0;
    CHPTimer m_submitTimer;
    DWORD m_slotRelease = 0;
    DWORD m_linkedPollJob = 0;
    double m_responseInterval = 0.0;
    double m_roundTrip = 0.0;
    double m_answerTime = 0.0;
    CAmpResponseToDistMngr m_lastResponse;
    CHPTimer m_responseTimer;
    DWORD m_hasResponse = 0;
    CAmpResponseToDistMngrList m_blockResponses;
    // One entry per merged receiver query; a job has few, so a list serves.
    CList<CAmpQryCmdGuiRcvrInfo> m_receivers;

private:
    // Whole milliseconds since the last turn.
    long long ElapsedWholeMs();
    int MsUntilOffsetPassed(long long offsetMs);
};

// Jitter added to a period: one draw r of the C library generator,
// max(0, r * floor(period / 10) / 32767 - period / 20), truncated.
int DueJitter(int period, int draw);
