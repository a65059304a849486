#include "comm/link/CommManager.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "comm/protocol/AmpErrors.h"
#include "comm/link/CommAppServices.h"
#include "comm/link/CommPortFactory.h"
#include "comm/protocol/LinkFrame.h"
#include "comm/link/QVXCommPort.h"
#include "platform/core/Clock.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"

namespace {

const char* const kTxOverflowText =
    "Communications output buffer overflow. It is recommended that you close, then re-open communications. You "
    "should also open fewer windows.";
const char* const kRxOverflowText =
    "Communications receive buffer overflow. It is recommended that you close, then re-open communications.";
const char* const kRxDataErrorText =
    "Communications data receive error. Communications will be recovered, though data may have been lost.";
const char* const kRxCrcErrorText =
    "Communications data receive CRC error. Communications will be recovered, though data may have been lost.";
const char* const kReportedCrcText =
    "Drive reported CRC error. Communications will be recovered, though data may have been lost.";
const char* const kUnexpectedDataText = "Receiving unsolicited data from drive.  Please reset drive and try again.";
const char* const kShutDownText = "  Communication will be shut down now.";


std::atomic<int> g_linkState{0};

void RaiseAlert(const char* key, const char* text, int level, int flags, int drive = -1)
{
    if (CCommAppServices* app = CCommAppServices::Get())
        app->RaiseAlert(key, text, level, flags, drive);
}

int RingRoom(CRingBuff& ring) { return ring.GetSize() - 1 - ring.GetCount(); }

// Takes filler zero bytes; false when the ring ran empty. The first other byte
// is left by restoring the ring's state: putting it back with UngetByte would
// be refused, and the byte lost, when the ring was full.
bool SkipFiller(CRingBuff& ring)
{
    for (;;) {
        RingBuffState before;
        ring.SaveState(before);
        const int b = ring.GetByte();
        if (b < 0)
            return false;
        if (b != 0) {
            ring.RestoreState(before);
            return true;
        }
    }
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

void MakeErrorResponse(const CAmpQryCmdFromDistMngr& job, WORD error, CAmpResponseToDistMngr& response)
{
    static_cast<CCompoundAmpMsg&>(response) = job;
    response.m_flag = 0;
    response.m_jobId = job.m_jobId;
    response.m_error = error;
}

}  // namespace

CCommManager::CCommManager() { CDriveNameSource::Install(&m_driveNames); }

CCommManager::~CCommManager()
{
    m_statistics.SetWindow(nullptr);  // the window may be gone already
    CloseCommunications();
    CDriveNameSource::Uninstall(&m_driveNames);
}

int CCommManager::GetLinkState() { return g_linkState.load(); }

void CCommManager::SetLinkState(int state) { g_linkState = state; }

BOOL CCommManager::IsOpen() const { return m_open.load(); }
BOOL CCommManager::IsDemo() const { return m_demo.load(); }

void CCommManager::SetReadBackOption(BOOL on)
{
    CSingleLock lock(&m_optionLock, TRUE);
    m_readBack = on;
}

BOOL CCommManager::GetReadBackOption()
{
    CSingleLock lock(&m_optionLock, TRUE);
    return m_readBack;
}

CString CCommManager::GetPortName() { return m_port ? m_port->GetName() : CString(); }

// ---- Jobs -----------------------------------------------------------------

void CCommManager::AppendErrorResponse(const CAmpQryCmdFromDistMngr& job, WORD error)
{
    CAmpResponseToDistMngr response;
    MakeErrorResponse(job, error, response);
    PostResponse(response);
}

void CCommManager::PostResponse(const CAmpResponseToDistMngr& response)
{
    m_responses.Append(response);
    if (CDThread* taker = m_responseTaker.load())
        taker->Wake();
}

void CCommManager::SubmitJob(const CAmpQryCmdFromDistMngr& job)
{
    // A job answered with an error is not queued as well: one job, one response.
    if (!m_open) {
        AppendErrorResponse(job, AMP_ERR_COMM_NOT_ENABLED);
        return;
    }
    if (job.m_address != 0 && !m_driveNames.HasDrive(job.m_address)) {
        AppendErrorResponse(job, AMP_ERR_INVALID_ADDRESS);
        return;
    }
    auto* queued = new CAmpQryCmdJobCm(job);
    queued->m_timer.Restart();
    queued->m_answered = 0;
    queued->m_sent = (job.m_jobFlags & kJobBlockTransfer) ? 1 : 0;
    queued->m_blockIndex = (job.m_code >= kCodeOSA && job.m_code <= kCodeOSD) ? job.m_code - kCodeOSA : 0;
    if (!m_jobs.AddJob(queued)) {
        AppendErrorResponse(job, AMP_ERR_DUPLICATE_JOB);
        return;
    }
    Wake();
}

int CCommManager::CancelJob(DWORD jobId)
{
    CSingleLock lock(&m_jobs.GetLock(), TRUE);
    POSITION pos = nullptr;
    CAmpQryCmdJobCm* job = m_jobs.Find(jobId, &pos);
    if (!job)
        return 0;
    if (job->m_jobFlags & kJobBlockTransfer)
        WriteFrame(CAmpMsg(job->m_address, static_cast<WORD>(kCodeOSA + job->m_blockIndex), 0, 4));
    m_jobs.RemoveAt(pos);
    // A stream's follow-up shares the transfer's id and goes with it.
    while (m_jobs.Find(jobId, &pos))
        m_jobs.RemoveAt(pos);
    Wake();  // the stop frame waits in the ring for a flush
    return 1;
}

void CCommManager::AddRawBlock(const BYTE* bytes, int count)
{
    if (bytes && count > 0) {
        m_rawBlocks.Add(bytes, count);
        Wake();
    }
}

// ---- Frames ---------------------------------------------------------------

int CCommManager::FrameBytesNeeded(const CAmpMsg& message, BOOL readBack)
{
    int needed = CLinkFrame::Length(message);
    if (readBack && message.m_width != 0 && message.m_flag == 0)
        needed += 4;
    return needed;
}

void CCommManager::WriteEncoded(const CAmpMsg& message, CRingBuff& ring)
{
    BYTE bytes[CLinkFrame::kMaxLength];
    const int length = CLinkFrame::Encode(message, bytes);
    ring.Write(bytes, length);
    m_traceClients.Trace(message, 1);
}

void CCommManager::ReportTransmitOverflow()
{
    RaiseAlert("TX_BUFF_OVRFLW", kTxOverflowText, 4, kAlertPopup);
    m_statistics.AddSample(kStatTxOverflow, 0);
}

int CCommManager::PutFrame(const CAmpMsg& message, CRingBuff& ring, BOOL readBack)
{
    // The frame and its read-back go in whole or not at all.
    if (RingRoom(ring) < FrameBytesNeeded(message, readBack)) {
        ReportTransmitOverflow();
        return 0;
    }
    WriteEncoded(message, ring);
    if (readBack && message.m_width != 0 && message.m_flag == 0)
        WriteEncoded(CAmpMsg(message.m_address, message.m_code, 0, 0), ring);
    return 1;
}

int CCommManager::WriteFrame(const CAmpMsg& message, BOOL lockTransmit, CRingBuff* ring)
{
    CSingleLock lock(&m_txLock, lockTransmit);
    return PutFrame(message, ring ? *ring : m_txRing, GetReadBackOption());
}

int CCommManager::WriteJob(CAmpQryCmdJobCm& job)
{
    CSingleLock lock(&m_txLock, TRUE);
    const BOOL readBack = GetReadBackOption();
    const BYTE flag = static_cast<BYTE>((job.m_jobFlags >> 3) & 1);
    CList<CAmpMsg> frames;
    POSITION pos = job.m_subCommands.GetHeadPosition();
    while (pos) {
        const CAmpCommand& sub = job.m_subCommands.GetNext(pos);
        frames.AddTail(CAmpMsg(job.m_address, sub.m_code, sub.m_value, sub.m_width));
    }
    frames.AddTail(CAmpMsg(job.m_address, job.m_code, job.m_value, job.m_width));
    pos = frames.GetHeadPosition();
    while (pos)
        frames.GetNext(pos).m_flag = flag;

    // All of a job's frames or none, so no part of it is sent twice.
    int needed = 0;
    pos = frames.GetHeadPosition();
    while (pos)
        needed += FrameBytesNeeded(frames.GetNext(pos), readBack);
    if (RingRoom(m_txRing) < needed) {
        ReportTransmitOverflow();
        return 0;
    }
    job.m_flag = flag;
    pos = frames.GetHeadPosition();
    while (pos)
        PutFrame(frames.GetNext(pos), m_txRing, readBack);
    job.m_flag = 0;
    return 1;
}

int CCommManager::ReadFrame(CRingBuff* ring, CAmpMsg& message)
{
    const int result = CLinkFrame::Read(ring ? *ring : m_rxRing, message);
    if (result == CLinkFrame::kRead)
        m_traceClients.Trace(message, 0);
    return result;
}

void CCommManager::ReportFrameError(int result, const CAmpMsg& frame, bool namesDrive)
{
    m_statistics.AddSample(kStatRxFrameError, 0, frame.m_address);
    const char* text = result == CLinkFrame::kBadWidth ? kRxDataErrorText : kRxCrcErrorText;
    RaiseAlert("RX_DATA_ERROR", text, 3, kAlertStatusBar, namesDrive ? frame.m_address : -1);
}

namespace {
void SetResponseFromFrame(CAmpResponseMsg& response, const CAmpMsg& frame)
{
    response.m_subCommands.RemoveAll();
    response.m_address = frame.m_address;
    response.m_flag = frame.m_flag;
    response.m_timeStamp = 0;
    response.m_timeStampValid = 0;
    if (frame.m_code == kCodeCB) {
        const auto value = static_cast<DWORD>(frame.m_value);
        response.m_code = static_cast<WORD>(((value & 0xFF) << 8) | ((value >> 8) & 0xFF));
        response.m_error = static_cast<WORD>((value >> 16) & 0xFF);
        response.m_value = 0;
        response.m_width = 0;
        return;
    }
    response.m_code = frame.m_code;
    response.m_value = frame.m_value;
    response.m_width = frame.m_width;
    response.m_error = 0;
}
}  // namespace

int CCommManager::ParseFrame(CAmpResponseMsg& response, CRingBuff* ring)
{
    CRingBuff& source = ring ? *ring : m_rxRing;
    // Frames are traced once they are taken for good, never when put back.
    for (;;) {
        if (!SkipFiller(source))
            return 0;
        RingBuffState start;
        source.SaveState(start);
        CAmpMsg frame;
        const int result = CLinkFrame::Read(source, frame);
        if (result == CLinkFrame::kIncomplete) {
            source.RestoreState(start);
            return 0;
        }
        if (result != CLinkFrame::kRead) {
            source.RestoreState(start);
            source.GetByte();
            ReportFrameError(result, frame, false);
            continue;
        }
        if (frame.m_code == kCodeTSR) {
            m_traceClients.Trace(frame, 0);  // a stamp without a reply before it
            continue;
        }
        SetResponseFromFrame(response, frame);
        CAmpMsg stamp;
        bool stamped = false;
        if (m_mode & kModeTimeStamps) {
            if (!ReadTimeStamp(response, source, frame, stamp, stamped))
                return 0;
        }
        // The trace keeps the wire's order: the reply, then the stamp that followed it.
        m_traceClients.Trace(frame, 0);
        if (stamped)
            m_traceClients.Trace(stamp, 0);
        if (frame.m_code == kCodeCB && response.m_error == AMP_ERR_CRC) {
            m_statistics.AddSample(kStatDriveCrcError, 0, frame.m_address);
            RaiseAlert("REPORT_DATA_ERROR", kReportedCrcText, 3, kAlertStatusBar, frame.m_address);
        }
        return 1;
    }
}

namespace {
// Puts a reply back in front of what is left, dropping the filler that
// followed it, so filler cannot pile up behind a reply that waits for its
// time stamp until the ring is full and the link stalls.
void PutReplyBack(CRingBuff& ring, const CAmpMsg& reply)
{
    BYTE bytes[CLinkFrame::kMaxLength];
    for (int i = CLinkFrame::Encode(reply, bytes) - 1; i >= 0; --i)
        ring.UngetByte(bytes[i]);
}
}  // namespace

int CCommManager::ReadTimeStamp(CAmpResponseMsg& response, CRingBuff& ring, const CAmpMsg& reply, CAmpMsg& stamp,
                                bool& stamped)
{
    stamped = false;
    if (!SkipFiller(ring)) {
        PutReplyBack(ring, reply);
        return 0;
    }
    RingBuffState next;
    ring.SaveState(next);
    CAmpMsg frame;
    const int result = CLinkFrame::Read(ring, frame);
    if (result == CLinkFrame::kIncomplete) {
        ring.RestoreState(next);
        PutReplyBack(ring, reply);
        return 0;
    }
    if (result == CLinkFrame::kRead) {
        if (frame.m_code != kCodeTSR) {
            ring.RestoreState(next);  // the next reply
            return 1;
        }
        response.m_timeStamp = static_cast<DWORD>(frame.m_value);
        response.m_timeStampValid = 1;
        stamp = frame;
        stamped = true;
        return 1;
    }
    ReportFrameError(result, frame, result == CLinkFrame::kBadWidth);
    ring.RestoreState(next);
    ring.GetByte();
    return 1;
}

void CCommManager::QueueBlockFollowUp(const CAmpResponseToDistMngr& response, const CAmpResponseMsg& reply)
{
    int registerCode = 0, highWord = 0, blockIndex = 0;
    DecodeBlockTransferQuery(reply, registerCode, highWord, blockIndex);
    // The module streams the register as plain replies after the in-progress
    // frame: a block-transfer job, never framed and kept queued, answers every
    // one of them under the transfer's id. One per stream, so repeated
    // in-progress frames cannot pile up jobs.
    for (POSITION pos = m_jobs.GetHeadPosition(); pos;) {
        const CAmpQryCmdJobCm* job = m_jobs.GetNext(pos);
        if (job->m_jobId == response.m_jobId && job->m_address == reply.m_address && job->m_code == registerCode &&
            (job->m_jobFlags & kJobBlockTransfer))
            return;
    }
    auto* followUp = new CAmpQryCmdJobCm;
    followUp->m_address = reply.m_address;
    followUp->m_code = static_cast<WORD>(registerCode);
    followUp->SetRead();
    followUp->m_jobId = response.m_jobId;
    followUp->m_timeout = 10;
    // It collects the slot's periodic data, which the scope places by the drives' time stamps.
    followUp->m_jobFlags = kJobBlockTransfer | kJobPollSlotData;
    followUp->m_sent = 1;
    followUp->m_blockIndex = static_cast<BYTE>(blockIndex);
    followUp->m_timer.Restart();
    m_jobs.AddFollowUpJob(followUp);
}

int CCommManager::DispatchResponse(const CAmpResponseMsg& message)
{
    CSingleLock lock(&m_jobs.GetLock(), TRUE);
    m_jobs.ResetCursor();
    CAmpResponseToDistMngr response;
    int matches = 0;
    int result = m_jobs.MatchResponse(message, response, matches);
    while (result != 0) {
        ++matches;
        if (response.m_error == 0 && BlockTransferClass(message.m_code, message.m_value) == 1)
            QueueBlockFollowUp(response, message);
        PostResponse(response);
        if (result == 2)
            break;
        result = m_jobs.MatchResponse(message, response, matches);
    }
    return 1;
}

// ---- The cycle --------------------------------------------------------------

void CCommManager::OnStart()
{
    if (m_port)
        m_port->SetReader(this);
}

// With nothing to send and a port that says when bytes come, the cycle has
// nothing to do until someone hands it work, a reply arrives, or (while jobs
// wait for replies) the next look for time-outs is due.
int CCommManager::GetRestMs()
{
    if (!m_port || !m_port->WakesReader() || m_portMayHoldMore)
        return GetPeriod();
    if (m_rawBlocks.GetCount() > 0 || m_txRing.GetCount() > 0 || HasUnsentJob())
        return GetPeriod();
    const BYTE modeBits = kModeBlockTransfers | kModeTimeStamps;
    if ((m_jobs.GetModeBits() & modeBits) != (m_mode & modeBits))
        return GetPeriod();
    if (m_jobs.GetCount() == 0)
        return kRestUntilWoken;
    const double untilCheck = kTimeoutCheckSeconds - m_timeoutClock.GetElapsedSeconds();
    return std::max(GetPeriod(), static_cast<int>(std::ceil(untilCheck * 1000.0)));
}

bool CCommManager::HasUnsentJob()
{
    CSingleLock lock(&m_jobs.GetLock(), TRUE);
    for (POSITION pos = m_jobs.GetHeadPosition(); pos;) {
        const CAmpQryCmdJobCm* job = m_jobs.GetNext(pos);
        if (!(job->m_jobFlags & kJobBlockTransfer) && !(job->m_sent & 1))
            return true;
    }
    return false;
}

void CCommManager::ReportCycleValues()
{
    CCommAppServices* app = CCommAppServices::Get();
    if (!app)
        return;
    app->LapWatchTimer("CCommManager::ExecCycle Update");
    app->SetWatchValue("ComMngr InBuffSize", m_rxRing.GetCount());
    app->SetWatchValue("ComMngr QSize", m_jobs.GetCount());
    app->SetWatchValue("ComMngr OutBuffSize", m_txRing.GetCount());
    app->SetWatchValue("ComMngr->DMngr buff size", m_responses.GetCount());
}

int CCommManager::Step()
{
    CSingleLock cycle(&m_cycleLock, TRUE);
    CCommAppServices* app = CCommAppServices::Get();
    if (app)
        app->StartWatchTimer("CCommManager::ExecCycle Exec Time()");
    ReportCycleValues();
    ReadPort(0);
    ParseAndDispatchAll();
    UpdateModeBits();
    WriteUnsentJobs();
    SendRawBlocks();
    if (m_txRing.GetCount() >= m_txRing.GetSize() - 1 || m_flushClock.GetElapsedSeconds() >= 0.001) {
        FlushTransmit();
        m_flushClock.Restart();
    }
    CheckTimeouts();
    if (app)
        app->ReadWatchTimer("CCommManager::ExecCycle Exec Time()");
    return 0;
}

void CCommManager::ParseAndDispatchAll()
{
    CAmpResponseMsg reply;
    while (ParseFrame(reply))
        DispatchResponse(reply);
}

void CCommManager::UpdateModeBits()
{
    const BYTE wanted = m_jobs.GetModeBits();
    const BYTE changed = static_cast<BYTE>((wanted ^ m_mode) & (kModeBlockTransfers | kModeTimeStamps));
    // A switch the drives were not told about (no room) keeps its old value and is tried next cycle.
    BYTE stored = static_cast<BYTE>((wanted & ~changed) | (m_mode & changed));
    const struct { BYTE bit; WORD code; } switches[] = {{kModeBlockTransfers, kCodeCSE}, {kModeTimeStamps, kCodeTRE}};
    for (const auto& s : switches) {
        if (!(changed & s.bit))
            continue;
        if (WriteFrame(CAmpMsg(0, s.code, (wanted & s.bit) ? 1 : 0, 1)))
            stored = static_cast<BYTE>((stored & ~s.bit) | (wanted & s.bit));
    }
    m_mode = stored;
}

void CCommManager::WriteUnsentJobs()
{
    CSingleLock lock(&m_jobs.GetLock(), TRUE);
    POSITION pos = m_jobs.GetHeadPosition();
    while (pos) {
        CAmpQryCmdJobCm* job = m_jobs.GetNext(pos);
        if ((job->m_jobFlags & kJobBlockTransfer) || (job->m_sent & 1))
            continue;
        if (!WriteJob(*job))
            break;
        job->m_sent |= 1;
    }
}

void CCommManager::SendRawBlocks()
{
    const CAmpMsg apeOff(0, kCodeAPE, 0, 1);
    const CAmpMsg apeOn(0, kCodeAPE, 1, 1);
    while (CQvxBlockData* block = m_rawBlocks.PeekHead()) {
        CSingleLock lock(&m_txLock, TRUE);
        const BOOL readBack = GetReadBackOption();
        const int needed = FrameBytesNeeded(apeOff, readBack) + block->m_count + FrameBytesNeeded(apeOn, readBack);
        if (needed > m_txRing.GetSize() - 1) {
            // It could never fit; left queued it would hold up every later block.
            ReportTransmitOverflow();
            m_rawBlocks.RemoveHead();
            continue;
        }
        if (RingRoom(m_txRing) < needed) {
            ReportTransmitOverflow();
            return;
        }
        PutFrame(apeOff, m_txRing, readBack);
        m_txRing.Write(block->m_bytes, block->m_count);
        m_rawBlocks.RemoveHead();
        PutFrame(apeOn, m_txRing, readBack);
    }
}

int CCommManager::ReadPort(int waitMs)
{
    if (!m_port)
        return 0;
    BYTE buffer[CQVXCommPort::kReadChunk];
    const auto start = std::chrono::steady_clock::now();
    int count = 0;
    for (;;) {
        // Never take more than the ring can hold: what stays in the port is read next time.
        const int maximum = std::min(CQVXCommPort::kReadChunk, RingRoom(m_rxRing));
        // A datagram the ring cannot take yet waits in the port for the next read.
        const int pending = m_port->NextReadSize();
        const bool waits = pending > maximum && pending <= CQVXCommPort::kReadChunk;
        count = maximum > 0 && !waits ? m_port->Read(maximum, buffer) : 0;
        count = std::clamp(count, 0, maximum);
        m_portMayHoldMore = maximum == 0 || count == maximum;
        if (count > 0 || MillisecondsSince(start) >= waitMs)
            break;
        Sleep(1);
    }
    if (m_bytesInClock.GetElapsedSeconds() >= 1.0) {
        m_bytesIn = 0;
        m_bytesInClock.Restart();
    }
    m_bytesIn += static_cast<DWORD>(count);
    if (count == 0)
        return 0;
    m_statistics.AddSample(kStatBytesIn, static_cast<DWORD>(count));
    m_rxRing.Write(buffer, count);
    if (RingRoom(m_rxRing) == 0) {
        m_statistics.AddSample(kStatRxOverflow, 0);
        RaiseAlert("RX_BUFF_OVRFLW", kRxOverflowText, 4, kAlertPopup);
    }
    return 1;
}

void CCommManager::FlushTransmit()
{
    CSingleLock lock(&m_txLock, TRUE);
    const int count = m_txRing.GetCount();
    if (count <= 0 || !m_port)
        return;
    std::vector<BYTE> bytes(static_cast<size_t>(count));
    const int taken = m_txRing.Read(count, bytes.data());
    if (taken <= 0)
        return;
    m_statistics.AddSample(kStatBytesOut, static_cast<DWORD>(taken));
    if (!m_port->Write(taken, bytes.data())) {
        m_statistics.AddSample(kStatWriteError, 0);
        RaiseAlert("TX_WRITE_ERROR", "Communications data write error. Data was lost.", 3, kAlertStatusBar);
    }
    if (m_bytesOutClock.GetElapsedSeconds() >= 1.0) {
        m_bytesOut = 0;
        m_bytesOutClock.Restart();
    }
    m_bytesOut += static_cast<DWORD>(taken);
}

void CCommManager::CheckTimeouts()
{
    if (m_timeoutClock.GetElapsedSeconds() < kTimeoutCheckSeconds)
        return;
    m_timeoutClock.Restart();
    CSingleLock lock(&m_jobs.GetLock(), TRUE);
    POSITION pos = m_jobs.GetHeadPosition();
    while (pos) {
        const POSITION here = pos;
        CAmpQryCmdJobCm* job = m_jobs.GetNext(pos);
        if (!(job->m_sent & 1) || job->m_timer.GetElapsedSeconds() < job->m_timeout)
            continue;
        TimeOutJob(*job);
        m_jobs.RemoveAt(here);
    }
}

void CCommManager::TimeOutJob(CAmpQryCmdJobCm& job)
{
    CAmpResponseToDistMngr response;
    MakeErrorResponse(job, AMP_ERR_RESPONSE_TIMEOUT, response);
    response.m_blockFlag = (job.m_jobFlags & kJobBlockTransfer) ? 1 : 0;
    PostResponse(response);
    CString text;
    if (job.m_address == 0) {
        text = "Timeout occurred on expected reply from communications module";
    } else {
        CString name;
        if (!m_driveNames.FindDriveName(job.m_address, name))
            name.Format("%u", static_cast<unsigned>(job.m_address));
        text.Format("Timeout occurred on expected reply from drive \"%s\".", name.GetString());
    }
    RaiseAlert("COMMAND_TIMEOUT", text, 2, kAlertStatusBar, job.m_address);
    m_statistics.AddSample(kStatReplyTimeout, 0, job.m_address);
}

// ---- Synchronous mode -------------------------------------------------------

int CCommManager::EnterSynchronousMode()
{
    if (!m_port || m_synchronous)
        return 0;  // nothing to talk to; the cycle lock is not taken
    while (m_jobs.GetCount() > 0)
        Sleep(100);
    m_cycleLock.Lock();
    m_synchronous = TRUE;
    // Frames the cycle has not sent yet (the stop of a stream just cancelled)
    // go out now: a drive still streaming would answer the caller with stream data.
    FlushTransmit();
    Sleep(200);
    return m_port ? m_port->EnterSync() : 0;
}

void CCommManager::LeaveSynchronousMode()
{
    if (!m_synchronous)
        return;
    m_cycleLock.Unlock();
    m_synchronous = FALSE;
    if (m_port)
        m_port->LeaveSync();
}

int CCommManager::SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int timeoutMs)
{
    if (!m_synchronous || !m_port)
        return 0;
    CRingBuff ring(kSyncRingBits);
    if (WriteFrame(message, FALSE, &ring)) {
        BYTE out[2 * CLinkFrame::kMaxLength];
        const int count = ring.Read(static_cast<int>(sizeof(out)), out);
        m_port->Purge(0);
        if (count > 0)
            m_port->Write(count, out);
    }
    ring.Clear();
    BYTE buffer[CQVXCommPort::kReadChunk];
    auto lastData = std::chrono::steady_clock::now();
    for (;;) {
        const int maximum = std::min(CQVXCommPort::kReadChunk, RingRoom(ring));
        const int count = std::clamp(maximum > 0 ? m_port->Read(maximum, buffer) : 0, 0, maximum);
        if (count > 0) {
            ring.Write(buffer, count);
            lastData = std::chrono::steady_clock::now();
            if (ParseFrame(response, &ring))
                return 1;
            continue;
        }
        if (MillisecondsSince(lastData) >= timeoutMs)
            break;
        Sleep(1);
    }
    response.m_subCommands.RemoveAll();
    static_cast<CAmpMsg&>(response) = message;
    response.m_error = AMP_ERR_RESPONSE_TIMEOUT;
    response.m_timeStampValid = 0;
    return 0;
}

// ---- Opening and closing ----------------------------------------------------

CString CCommManager::DriveTypeText(int code)
{
    switch (code) {
    case 0: return "None detected";
    case kFamilyZuvan: return "ZUVAN";
    case kFamilyKreln: return "KRELN";
    case kFamilyTavro: return "TAVRO";
    case kFamilyCommModule: return "Communications Module";
    case kFamilyUnknown: return "UNKNOWN";
    case -2: return "<TIMEOUT>";
    case -1: return "<ERROR>";
    default: return "<UNKNOWN>";
    }
}

int CCommManager::ScanDrives(CString& report)
{
    CCommAppServices* app = CCommAppServices::Get();
    CList<CDriveAssignment> assignments;
    if (app) {
        app->ClearConnectedDrives();
        app->GetDriveAssignments(assignments);
    }
    m_driveNames.RemoveAll();
    int outcome = kScanNone;
    CString lines;
    POSITION pos = assignments.GetHeadPosition();
    while (pos && m_port) {
        const CDriveAssignment& drive = assignments.GetNext(pos);
        const int code = m_port->IdentifyDrive(drive.m_address);
        lines.AppendFormat("     Drive: %s / Drive Type: %s\r\n", drive.m_name.GetString(),
                           DriveTypeText(code).GetString());
        if (code == kFamilyKreln || code == kFamilyTavro || code == kFamilyCommModule) {
            app->AddConnectedDrive(CAmplifierData(drive.m_address, code, drive.m_name));
            m_driveNames.SetName(drive.m_address, drive.m_name);
            outcome = kScanFound;
        } else if (code == kFamilyZuvan) {
            outcome = kScanRefused;
            break;
        } else if (code != 0 && code != -2) {
            outcome = kScanFailed;
            break;
        }
    }
    switch (outcome) {
    case kScanFound: report = CString("The following drives were detected:\r\n") + lines; break;
    case kScanNone: report = CString("No drives were detected on this connection.") + kShutDownText; break;
    case kScanFailed: report = CString("Connection or unknown drive.") + kShutDownText; break;
    default:
        report = CString("Zuvan series drive detected.  Please connect an Kreln or Tavro series drive.") + kShutDownText;
        break;
    }
    return outcome;
}

int CCommManager::DetectDrives(BOOL showResult)
{
    CString report;
    const int outcome = ScanDrives(report);
    if (showResult)
        AfxEngineMessageBox(report, "Korvane", MB_OK);
    return outcome;
}

void CCommManager::SendStartupFrame(int address, WORD code, LONG value, BYTE width)
{
    WriteFrame(CAmpMsg(static_cast<BYTE>(address), code, value, width));
    FlushTransmit();
}

bool CCommManager::WaitForQuietLine(int maxMs)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (!ReadPort(m_settle.quietMs))
            return true;
        // Replies that match no job are dropped; the ring never fills while we wait.
        ParseAndDispatchAll();
        if (MillisecondsSince(start) >= maxMs)
            return false;
    }
}

void CCommManager::CollectAnsweringDrives(const CList<CDriveAssignment>& assignments,
                                          CMapIntToStringLockable::NameMap& answered)
{
    CCommAppServices* app = CCommAppServices::Get();
    CAmpResponseMsg reply;
    while (ParseFrame(reply)) {
        if (reply.m_address == 0 || !app || app->GetDriveFamily(reply.m_address) == -1)
            continue;
        POSITION pos = assignments.GetHeadPosition();
        while (pos) {
            const CDriveAssignment& drive = assignments.GetNext(pos);
            if (drive.m_address == reply.m_address) {
                answered.SetAt(drive.m_address, drive.m_name);
                break;
            }
        }
    }
}

int CCommManager::SetUpDrives()
{
    CCommAppServices* app = CCommAppServices::Get();
    CList<CAmplifierData> drives;
    if (app)
        app->GetConnectedDrives(drives);
    const LONG vrm = GetReadBackOption() ? 6 : 2;
    POSITION pos = drives.GetHeadPosition();
    while (pos) {
        const CAmplifierData& drive = drives.GetNext(pos);
        for (WORD code = kCodeOSA; code <= kCodeOSD; ++code)
            SendStartupFrame(drive.m_address, code, 0, 4);
        SendStartupFrame(drive.m_address, kCodeVRM, vrm, 1);
    }
    if (!WaitForQuietLine(m_settle.setupMs)) {
        RaiseAlert("RX_UNEXPECTED_DATA", kUnexpectedDataText, 5, kAlertPopup);
        return 0;
    }
    return 1;
}

int CCommManager::RunStartupSequence()
{
    SetReadBackOption(FALSE);
    SendStartupFrame(0, kCodeVRM, 2, 1);
    const CMapIntToStringLockable::NameMap names = m_driveNames.Snapshot();
    POSITION pos = names.GetStartPosition();
    while (pos) {
        int address;
        CString name;
        names.GetNextAssoc(pos, address, name);
        SendStartupFrame(address, kCodeVRM, 2, 1);
    }
    SendStartupFrame(0, kCodeRQE, 1, 1);
    SendStartupFrame(0, kCodeAPE, 1, 1);
    SendStartupFrame(0, kCodeTRE, 0, 1);
    if (!ReadPort(1000))
        return 0;
    WaitForQuietLine(m_settle.startupMs);
    {
        CSingleLock lock(&m_txLock, TRUE);
        m_txRing.Clear();
    }

    CList<CDriveAssignment> assignments;
    if (CCommAppServices* app = CCommAppServices::Get())
        app->GetDriveAssignments(assignments);
    // The stop commands go out before we wait for the line to fall quiet;
    // held back, a drive still streaming could never let it settle.
    pos = assignments.GetHeadPosition();
    while (pos) {
        const int address = assignments.GetNext(pos).m_address;
        for (WORD code = kCodeOSA; code <= kCodeOSD; ++code)
            WriteFrame(CAmpMsg(static_cast<BYTE>(address), code, 0, 4));
    }
    FlushTransmit();
    if (!WaitForQuietLine(m_settle.setupMs)) {
        RaiseAlert("RX_UNEXPECTED_DATA", kUnexpectedDataText, 5, kAlertPopup);
        return 0;
    }
    const LONG vrm = GetReadBackOption() ? 6 : 2;
    pos = assignments.GetHeadPosition();
    while (pos)
        SendStartupFrame(assignments.GetNext(pos).m_address, kCodeVRM, vrm, 1);
    CMapIntToStringLockable::NameMap answered;
    CollectAnsweringDrives(assignments, answered);
    while (ReadPort(m_settle.quietMs))
        CollectAnsweringDrives(assignments, answered);
    m_driveNames.Replace(answered);

    m_flushClock.Restart();
    m_timeoutClock.Restart();
    return StartThread(THREAD_PRIORITY_HIGHEST, 1);
}

int CCommManager::FinishOpen(int opened)
{
    m_open = opened ? TRUE : FALSE;
    SetLinkState(opened ? 1 : 0);
    if (CCommAppServices* app = CCommAppServices::Get())
        app->ClearAllAlerts();
    return opened;
}

int CCommManager::OpenCommunications(const CCommLinkSettings& settings)
{
    if (m_open)
        CloseCommunications();  // never two cycles, nor a scan beside a running cycle
    CCommAppServices* app = CCommAppServices::Get();
    const CString ini = app ? app->GetUserSettingsIniPath() : CString();
    const int storedType = static_cast<int>(GetPrivateProfileInt("LINK TYPE", "Type", 2, ini));
    m_requestedLinkType = settings.m_linkType;

    m_statistics.ResetStatistics();
    CList<CDriveAssignment> assignments;
    if (app)
        app->GetDriveAssignments(assignments);
    POSITION pos = assignments.GetHeadPosition();
    while (pos)
        m_statistics.RegisterDrive(assignments.GetNext(pos).m_address);
    m_statistics.SetWindows();

    CString binaryCom;
    binaryCom.Format("%d", settings.m_binaryCom);
    WritePrivateProfileString("OPEN COMMUNICATIONS", "Binary_Com", binaryCom, ini);

    if (!(storedType == settings.m_linkType && m_port)) {
        ClosePort();
        if (m_portFactory && settings.m_linkType == kLinkUdp && !settings.m_remoteName.IsEmpty())
            m_port = m_portFactory->CreateUdpPort(settings.m_remoteName, settings.m_remoteRecord);
        else if (m_portFactory && settings.m_linkType != kLinkUdp && !settings.m_comPort.IsEmpty())
            m_port = m_portFactory->CreateSerialPort(settings.m_comPort, 115200, 8, 0, 0);
    }

    int opened = 0;
    if (m_port && DetectDrives(TRUE) == kScanFound) {
        opened = m_port->Open() == 1 ? 1 : 0;
        if (opened && !RunStartupSequence()) {
            CloseCommunications();
            opened = 0;
        }
    }
    if (m_port)
        m_port->SetName(settings.m_description);
    return FinishOpen(opened);
}

int CCommManager::OpenDemoCommunications()
{
    if (m_open)
        return 0;
    ClosePort();
    m_demo = TRUE;
    m_port = m_portFactory ? m_portFactory->CreateDemoPort() : nullptr;
    int opened = m_port && m_port->Open() == 1 ? 1 : 0;
    if (opened)
        opened = DetectDrives(FALSE) == kScanFound && SetUpDrives() && RunStartupSequence();
    if (!opened) {
        CloseCommunications();
        return 0;
    }
    m_open = TRUE;
    SetLinkState(1);
    return 1;
}

void CCommManager::ClosePort()
{
    if (!m_port)
        return;
    if (m_port->GetOpenState() == 1)
        m_port->Close();
    delete m_port;
    m_port = nullptr;
}

void CCommManager::EmptyQueues()
{
    m_responses.RemoveAll();
    m_jobs.RemoveAll();
    m_rawBlocks.RemoveAll();
    // Bytes of the old link must not reach the next one.
    CSingleLock lock(&m_txLock, TRUE);
    m_txRing.Clear();
    m_rxRing.Clear();
    m_mode = 0;
}

void CCommManager::CloseCommunications()
{
    m_statistics.HideWindow();
    StopThread(TRUE);
    ClosePort();
    m_open = FALSE;  // a demo link too
    m_demo = FALSE;
    EmptyQueues();
    SetLinkState(0);
}

void CCommManager::AttachPort(CQVXCommPort* port, BOOL open)
{
    ClosePort();
    m_port = port;
    m_open = open;
    SetLinkState(open ? 1 : 0);
    m_flushClock.Restart();
    m_timeoutClock.Restart();
}
