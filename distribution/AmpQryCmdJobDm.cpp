#include "distribution/AmpQryCmdJobDm.h"

#include <algorithm>
#include <cmath>

#include "platform/core/Rand.h"

CAmpQryCmdJobDm::CAmpQryCmdJobDm(const CCompoundAmpMsg& command, DWORD jobId) : CCompoundAmpMsg(command), m_jobId(jobId)
{
    m_submitTimer.Restart();
    m_responseTimer.Restart();
}

bool CAmpQryCmdJobDm::IsIdenticalRead(const CCompoundAmpMsg& query) const
{
    return m_address == query.m_address && m_width == 0 && query.m_width == 0 && m_code == query.m_code &&
           m_subCommands.IsEqual(query.m_subCommands);
}

void CAmpQryCmdJobDm::AddReceiver(const CAmpQryCmdGuiRcvrInfo& receiver)
{
    if (CAmpQryCmdGuiRcvrInfo* existing = FindReceiver(receiver.m_queryId))
        *existing = receiver;
    else
        m_receivers.AddTail(receiver);
}

CAmpQryCmdGuiRcvrInfo* CAmpQryCmdJobDm::FindReceiver(DWORD queryId)
{
    for (POSITION pos = m_receivers.GetHeadPosition(); pos;) {
        CAmpQryCmdGuiRcvrInfo& info = m_receivers.GetNext(pos);
        if (info.m_queryId == queryId)
            return &info;
    }
    return nullptr;
}

bool CAmpQryCmdJobDm::RemoveReceiver(DWORD queryId)
{
    for (POSITION pos = m_receivers.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (m_receivers.GetNext(pos).m_queryId == queryId) {
            m_receivers.RemoveAt(at);
            return true;
        }
    }
    return false;
}

void CAmpQryCmdJobDm::Recompute()
{
    WORD period = 0xFFFF;
    BYTE flags = 0;
    for (POSITION pos = m_receivers.GetHeadPosition(); pos;) {
        const CAmpQryCmdGuiRcvrInfo& info = m_receivers.GetNext(pos);
        period = std::min(period, info.m_time);
        flags |= info.m_flags;
    }
    if ((m_flags & kQryBlockTransfer) && !(flags & kQryBlockTransfer))
        m_slotRelease = 1;
    m_period = period;
    m_flags = flags;
}

int DueJitter(int period, int draw)
{
    const double jitter = draw * static_cast<double>(period / 10) / 32767.0 - period / 20.0;
    return jitter > 0.0 ? static_cast<int>(jitter) : 0;
}

void CAmpQryCmdJobDm::DrawDueOffset()
{
    m_dueOffset = m_period + DueJitter(m_period, Rand());
}

bool CAmpQryCmdJobDm::IsDue()
{
    if (m_state != kJobReady || (m_flags & kQryBlockTransfer))
        return false;
    return (m_flags & kQryOneShot) || m_submitTimer.GetElapsedSeconds() > m_dueOffset / 1000.0;
}

long long CAmpQryCmdJobDm::ElapsedWholeMs()
{
    return static_cast<long long>(std::floor(m_submitTimer.GetElapsedSeconds() * 1000.0));
}

// A turn comes once its offset from the last one is exceeded: one past it.
int CAmpQryCmdJobDm::MsUntilOffsetPassed(long long offsetMs)
{
    return static_cast<int>(std::max(0LL, offsetMs + 1 - ElapsedWholeMs()));
}

int CAmpQryCmdJobDm::MsUntilDue() { return MsUntilOffsetPassed(m_dueOffset); }

bool CAmpQryCmdJobDm::MayGoEarly()
{
    if (m_state != kJobReady || (m_flags & (kQryBlockTransfer | kQryOneShot)))
        return false;
    return m_submitTimer.GetElapsedSeconds() * 1000.0 >= m_period;
}

int CAmpQryCmdJobDm::MsUntilMayGoEarly()
{
    const auto elapsedMs = static_cast<long long>(std::ceil(m_submitTimer.GetElapsedSeconds() * 1000.0));
    return static_cast<int>(std::max(0LL, m_period - elapsedMs));
}

int CAmpQryCmdJobDm::MsUntilLatestTurn() { return MsUntilOffsetPassed(m_period + DueJitter(m_period, 32767)); }

int CAmpQryCmdJobDm::MsUntilTurnWithoutJitter() { return MsUntilOffsetPassed(m_period); }

void CAmpQryCmdJobDm::SetTurnIn(int ms)
{
    // The inverse of MsUntilOffsetPassed.
    m_dueOffset = static_cast<int>(std::max(0LL, ms - 1 + ElapsedWholeMs()));
}
