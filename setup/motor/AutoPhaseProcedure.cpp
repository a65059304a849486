#include "setup/motor/AutoPhaseProcedure.h"


namespace {
constexpr UINT kBeepSuccess = 0x30;
constexpr UINT kBeepError = 0x10;
}  // namespace

AutoPhaseLamp CAutoPhaseProcedure::Lamp(AutoPhaseStatus status)
{
    switch (status) {
    case AutoPhaseStatus::kReady: return {" Ready to start", 0x006000, false};
    case AutoPhaseStatus::kEnableDrive: return {" Please enable drive", 0x006060, false};
    case AutoPhaseStatus::kRunning: return {" Auto-phasing...", 0x00C400, true};
    case AutoPhaseStatus::kSuccessful: return {" Auto-phase successful", 0x006000, false};
    case AutoPhaseStatus::kError: return {" Error (click for more...)", 0x000080, false};
    case AutoPhaseStatus::kAborted: return {" Auto-phase aborted", 0x00B4B4, false};
    }
    return {"", 0, false};
}

void CAutoPhaseProcedure::Start()
{
    m_aborted = m_errorShown = m_timedOut = false;
    m_resultFlags = 0;
    m_state = kStarted;
    m_ownerRunning = true;
}

AutoPhaseTick CAutoPhaseProcedure::Tick(double elapsedSeconds, long statusWord, std::optional<long> result)
{
    AutoPhaseTick tick;
    const bool inProgress = statusWord & kInProgressBit;
    switch (m_state) {
    case kStarted:
        if (inProgress) {
            m_state = kRunning;
        } else if (elapsedSeconds >= kStartTimeoutSeconds) {
            tick.kind = AutoPhaseTick::kFinish;
            tick.outcome = AutoPhaseOutcome::kTimedOut;
        }
        break;
    case kRunning:
        if (!inProgress) {
            m_state = kReadingResult;
            tick.kind = AutoPhaseTick::kQueryResult;
        }
        break;
    case kReadingResult:
        if (result) {
            tick.kind = AutoPhaseTick::kFinish;
            tick.outcome = (*result & kFailureBits) ? AutoPhaseOutcome::kFailed : AutoPhaseOutcome::kSuccessful;
        }
        break;
    default: break;
    }
    return tick;
}

AutoPhaseFinish CAutoPhaseProcedure::Finish(AutoPhaseOutcome outcome, std::optional<long> result)
{
    if (result)
        m_resultFlags = *result;
    m_state = kIdle;
    AutoPhaseFinish finish;
    switch (outcome) {
    case AutoPhaseOutcome::kSuccessful:
        finish.status = AutoPhaseStatus::kSuccessful;
        finish.beep = kBeepSuccess;
        break;
    case AutoPhaseOutcome::kFailed:
        finish.status = AutoPhaseStatus::kError;
        finish.beep = kBeepError;
        m_errorShown = true;
        break;
    case AutoPhaseOutcome::kAborted:
        finish.status = AutoPhaseStatus::kAborted;
        finish.writeAbort = true;
        m_aborted = true;
        break;
    case AutoPhaseOutcome::kTimedOut:
        finish.status = AutoPhaseStatus::kError;
        finish.beep = kBeepError;
        m_errorShown = m_timedOut = true;
        break;
    }
    return finish;
}

bool CAutoPhaseProcedure::TakeOwnerEnded()
{
    // Over for the owner once the drive left the run or the window finished it.
    if (!m_ownerRunning || m_state == kStarted || m_state == kRunning)
        return false;
    m_ownerRunning = false;
    return true;
}

std::optional<AutoPhaseStatus> CAutoPhaseProcedure::IdleStatus(bool enabled)
{
    if (InProgress())
        return std::nullopt;
    if (enabled)
        return AutoPhaseStatus::kReady;
    if (m_errorShown) {
        m_errorShown = false;
        return std::nullopt;
    }
    return AutoPhaseStatus::kEnableDrive;
}

CString CAutoPhaseProcedure::ErrorText() const
{
    if (m_timedOut)
        return "Auto-phase timed out before executing.";
    static const struct {
        long bit;
        const char* text;
    } kExplanations[] = {
        {kNotMovingBit,
         "Motor not moving.  Possible causes:\r\n\t- Current too low\r\n\t- motor leads not connected\r\n\t- motor "
         "is locked"},
        {kPolesOrCountBit, "Please check motor pole pair or encoder count entries."},
        {kDisabledBit, "Drive disabled during auto-phasing.  Please check inhibit or fault condition."},
    };
    CString text;
    for (const auto& explanation : kExplanations) {
        if (!(m_resultFlags & explanation.bit))
            continue;
        if (!text.IsEmpty())
            text += "\r\n\r\n";
        text += explanation.text;
    }
    return text;
}
