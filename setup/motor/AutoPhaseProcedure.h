// The auto-phasing run as the window follows it: started, running while the
// drive reports it in progress, then reading the result word. It decides
// the outcome, the status lamp, the beep and the explanation of a failure,
// and tells exactly once per start that the procedure is over.
#pragma once

#include <optional>

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

enum class AutoPhaseOutcome { kSuccessful, kFailed, kAborted, kTimedOut };
enum class AutoPhaseStatus { kReady, kEnableDrive, kRunning, kSuccessful, kError, kAborted };

struct AutoPhaseLamp {
    const char* text;
    COLORREF colour;
    bool blink;
};

struct AutoPhaseTick {
    enum Kind { kNothing, kQueryResult, kFinish } kind = kNothing;
    AutoPhaseOutcome outcome = AutoPhaseOutcome::kSuccessful;
};

struct AutoPhaseFinish {
    AutoPhaseStatus status = AutoPhaseStatus::kReady;
    UINT beep = 0;  // 0: none
    bool writeAbort = false;
};

class CAutoPhaseProcedure {
public:
    enum State { kIdle = 0, kStarted = 1, kRunning = 2, kReadingResult = 3 };
    static constexpr double kStartTimeoutSeconds = 1.0;
    static constexpr long kInProgressBit = 0x4000;
    static constexpr long kNotMovingBit = 0x20;
    static constexpr long kPolesOrCountBit = 0x40;
    static constexpr long kDisabledBit = 0x800;
    static constexpr long kFailureBits = kNotMovingBit | kPolesOrCountBit | kDisabledBit;

    static AutoPhaseLamp Lamp(AutoPhaseStatus status);

    int GetState() const { return m_state; }
    bool InProgress() const { return m_state != kIdle; }
    void Start();
    // One procedure tick: the seconds since the start, the drive's status
    // word and the result reply, when there is one.
    AutoPhaseTick Tick(double elapsedSeconds, long statusWord, std::optional<long> result);
    AutoPhaseFinish Finish(AutoPhaseOutcome outcome, std::optional<long> result);
    // True once after each start, as soon as the procedure is over for the owner page.
    bool TakeOwnerEnded();
    // The status the idle lamp shows for the drive's enable state, if it changes.
    std::optional<AutoPhaseStatus> IdleStatus(bool enabled);
    bool HasErrorToExplain() const { return m_timedOut || (m_resultFlags & kFailureBits); }
    CString ErrorText() const;

    bool IsAborted() const { return m_aborted; }
    bool IsTimedOut() const { return m_timedOut; }
    bool IsErrorShown() const { return m_errorShown; }
    long GetResultFlags() const { return m_resultFlags; }

private:
    int m_state = kIdle;
    long m_resultFlags = 0;
    bool m_aborted = false;
    bool m_errorShown = false;
    bool m_timedOut = false;
    bool m_ownerRunning = false;
};
