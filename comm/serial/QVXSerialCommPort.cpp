#include "comm/serial/QVXSerialCommPort.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "comm/protocol/AmpErrors.h"
#include "comm/link/CommAppServices.h"
#include "comm/trace/CommDebugTrace.h"
#include "comm/trace/CommStatistics.h"
#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"

namespace {

// Commands the module answers itself.
constexpr WORD kCodeTre = 21061;  // time stamps on or off
constexpr WORD kCodeTss = 21107;  // set the time-stamp clock (ms)
constexpr WORD kCodeTsr = 21106;  // a time stamp
constexpr WORD kCodeVrm = 23117;  // echo of writes
constexpr WORD kCodeRqe = 18981;
constexpr WORD kCodeRqd = 18980;
constexpr WORD kCodeApe = 1541;
constexpr WORD kCodeCse = 3685;
constexpr WORD kCodeOsa = 15969;  // poll slots OSA..OSD
constexpr WORD kCodeOsd = 15972;
constexpr WORD kCodeVer = 22706;
constexpr WORD kCodeErrorReport = 98;

constexpr BYTE kGoodReply = 'g';
constexpr BYTE kErrorReply = 'b';
constexpr int kTries = 3;
constexpr int kRetryPauseMs = 50;
constexpr double kFrameBudgetSeconds = 0.025;
constexpr int kMaxLinkWidth = 4;
constexpr int kMaxLinkFrame = kMaxLinkWidth + 4;

CCommAppServices* App() { return CCommAppServices::Get(); }

int ConnectedDriveCount()
{
    CCommAppServices* app = App();
    if (!app)
        return 0;
    CList<CAmplifierData> drives;
    app->GetConnectedDrives(drives);
    return static_cast<int>(drives.GetCount());
}

int FamilyOfConnectedDrive(int address)
{
    CCommAppServices* app = App();
    return app ? app->GetDriveFamily(address) : -1;
}

// Pauses are counted from the moment they start, so the time spent before
// the sleep is not added to them.
void SleepUntil(std::chrono::steady_clock::time_point deadline) { std::this_thread::sleep_until(deadline); }

std::chrono::steady_clock::time_point MsAfter(std::chrono::steady_clock::time_point start, int ms)
{
    return start + std::chrono::milliseconds(ms);
}

LONG ValueFromBytes(const BYTE* bytes, int width)
{
    DWORD raw = 0;
    for (int i = 0; i < width && i < 4; ++i)
        raw |= static_cast<DWORD>(bytes[i]) << (8 * i);
    return static_cast<LONG>(raw);
}

}  // namespace

CQVXSerialCommPort::CQVXSerialCommPort(const CString& portName, DWORD baudRate, BYTE dataBits, BYTE parity,
                                       BYTE stopBits)
{
    m_device.m_portName = portName;
    m_device.m_description = portName;
    m_device.m_baudRate = baudRate;
    m_device.m_dataBits = dataBits;
    m_device.m_parity = parity;
    m_device.m_stopBits = stopBits;
}

CQVXSerialCommPort::~CQVXSerialCommPort() { Close(); }

void CQVXSerialCommPort::SetSilent(BOOL silent)
{
    CSingleLock lock(&m_flagsLock, TRUE);
    m_silent = silent ? 1 : 0;
}

bool CQVXSerialCommPort::IsSilent()
{
    CSingleLock lock(&m_flagsLock, TRUE);
    return m_silent != 0;
}

bool CQVXSerialCommPort::IsClosing()
{
    CSingleLock lock(&m_flagsLock, TRUE);
    return m_closing != 0;
}

// ---- the port base -------------------------------------------------------

int CQVXSerialCommPort::Open(BOOL startThread)
{
    {
        CSingleLock lock(&m_flagsLock, TRUE);
        m_closing = 0;
    }
    {
        CSingleLock lock(&m_lostLock, TRUE);
        m_lostDrives.RemoveAll();
        m_probeCursor = nullptr;
    }
    m_probeClock.Restart();
    {
        CSingleLock lock(&m_pollLock, TRUE);
        m_polling = 1;
    }
    bool opened;
    {
        CSingleLock lock(&m_transactionLock, TRUE);
        opened = m_device.OpenDevice(FALSE) == 1;
    }
    if (opened) {
        {
            CSingleLock lock(&m_rxLock, TRUE);
            m_rxRing.Clear();
        }
        {
            CSingleLock lock(&m_txLock, TRUE);
            m_txRing.Clear();
        }
        for (int i = 0; i < kPollSlots; ++i)
            m_pollSlots[i] = 0;
        m_timeStampClock.Restart();
        SetOpenState(1);
        if (!startThread || GetState() != kIdle)
            return 1;
        // A port whose thread cannot start would take frames and never answer them.
        if (StartThread(THREAD_PRIORITY_NORMAL, 1)) {
            while (GetState() != kRunning && GetState() != kIdle)
                Sleep(5);
            if (GetState() == kRunning)
                return 1;
        }
        CSingleLock lock(&m_transactionLock, TRUE);
        m_device.Close();
        SetOpenState(0);
    }
    if (IsSilent())
        return 0;
    SetOpenState(2);
    if (CCommAppServices* app = App())
        app->SetCommStatus(kCommAllDrivesLost);
    Alert("SER_OPEN_ERROR", "Could not open serial port.", 5, kAlertPopup);
    return 0;
}

int CQVXSerialCommPort::Close()
{
    {
        CSingleLock lock(&m_flagsLock, TRUE);
        m_closing = 1;
    }
    SetOpenState(0);
    StopThread(TRUE);
    {
        CSingleLock lock(&m_lostLock, TRUE);
        m_lostDrives.RemoveAll();
        m_probeCursor = nullptr;
    }
    CSingleLock lock(&m_transactionLock, TRUE);
    m_device.Close();
    return 1;
}

// Frames that do not fit are refused whole: dropping the ring would also
// throw away the complete frames of other jobs queued before them.
int CQVXSerialCommPort::Write(int count, const BYTE* bytes)
{
    if (GetOpenState() != 1 || count < 0)
        return 0;
    CSingleLock lock(&m_txLock, TRUE);
    if (m_txRing.GetSize() - m_txRing.GetCount() - 1 < count) {
        lock.Unlock();
        if (!IsSilent())
            Alert("SER_TX_BUFF_OVRFLW", "Serial communications output buffer overflow.  Data was lost.", 3,
                  kAlertPopup);
        return 0;
    }
    m_txRing.Write(bytes, count);
    lock.Unlock();
    Wake();
    return 1;
}

int CQVXSerialCommPort::Read(int maximum, BYTE* buffer)
{
    if (GetOpenState() != 1)
        return -1;
    CSingleLock lock(&m_rxLock, TRUE);
    const int taken = maximum > 0 ? m_rxRing.Read(maximum, buffer) : 0;
    return taken > 0 ? taken : 0;
}

int CQVXSerialCommPort::Purge(int /*what*/)
{
    {
        CSingleLock txLock(&m_txLock, TRUE);
        CSingleLock rxLock(&m_rxLock, TRUE);
        m_txRing.Clear();
        m_rxRing.Clear();
    }
    CSingleLock lock(&m_transactionLock, TRUE);
    if (m_device.Purge(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != ERROR_SUCCESS)
        return 0;
    return 1;
}

int CQVXSerialCommPort::EnterSync()
{
    {
        CSingleLock lock(&m_pollLock, TRUE);  // waits for a running poll
        m_polling = 0;
    }
    Purge(0);
    return 1;
}

void CQVXSerialCommPort::LeaveSync()
{
    {
        CSingleLock lock(&m_pollLock, TRUE);
        m_polling = 1;
    }
    Wake();
}

int CQVXSerialCommPort::FamilyFromVersion(LONG version)
{
    if (version >= 500)
        return kFamilyTavro;
    if (version >= 401)
        return kFamilyKreln;
    return kFamilyUnknown;
}

int CQVXSerialCommPort::IdentifyDrive(int address)
{
    const BYTE header = static_cast<BYTE>(address == 31 ? 0 : address & 31);
    // The trailing zero is part of the identification request.
    const BYTE request[] = {header, HIBYTE(kCodeVer), LOBYTE(kCodeVer), static_cast<BYTE>(~header), 0x00};
    CSingleLock lock(&m_transactionLock, TRUE);
    if (!m_device.IsOpen() && !m_device.OpenDevice(FALSE))
        return -1;
    if (!m_device.WriteBytes(request, sizeof request)) {
        m_device.Close();
        return -1;
    }
    Sleep(500);
    BYTE reply[10];
    const int count = m_device.ReadBytes(reply, sizeof reply, TRUE);
    if (count < 0) {
        m_device.Close();
        return -1;
    }
    if (count == 0) {
        Trace("<Timeout>");
        return -2;
    }
    m_device.Close();
    const int width = reply[0] >> 5;
    // A width above 4 cannot hold a version: the reply is not one.
    if (width > kMaxLinkWidth || count < width + 3 || reply[width + 2] != static_cast<BYTE>(~reply[0]))
        return kFamilyUnknown;
    return FamilyFromVersion(ValueFromBytes(reply + 2, width));
}

int CQVXSerialCommPort::GetLostDriveCount()
{
    CSingleLock lock(&m_lostLock, TRUE);
    return static_cast<int>(m_lostDrives.GetCount());
}

// ---- serial transactions -------------------------------------------------

int CQVXSerialCommPort::BuildRequest(int address, WORD code, LONG value, int width, bool multiDrop, BYTE* out)
{
    const BYTE header = static_cast<BYTE>((width << 5) | (address == 31 ? 0 : address & 31));
    int length = 0;
    out[length++] = header;
    out[length++] = HIBYTE(code);
    out[length++] = LOBYTE(code);
    for (int i = 0; i < width; ++i)
        out[length++] = static_cast<BYTE>(static_cast<DWORD>(value) >> (8 * i));
    out[length++] = static_cast<BYTE>(~header);
    while (multiDrop && length < kMaxRequest)
        out[length++] = 0xFF;
    return length;
}

CQVXSerialCommPort::Outcome CQVXSerialCommPort::Transaction(int address, WORD code, LONG value, int width,
                                                            int timeoutMs, bool oneTry)
{
    if (CCommAppServices* app = App())
        app->LapWatchTimer("Serial send cycle time");
    Outcome outcome;
    if (FamilyOfConnectedDrive(address) == -1) {
        WriteErrorFrame(address, code, AMP_ERR_INVALID_ADDRESS);
        outcome.refused = true;
        outcome.value = 0;
        return outcome;
    }
    BYTE request[kMaxRequest];
    const int length = BuildRequest(address, code, value, width, ConnectedDriveCount() > 1, request);
    CSingleLock lock(&m_transactionLock, TRUE);
    SleepUntil(m_lineQuietUntil);
    const int tries = oneTry ? 1 : kTries;
    for (int attempt = 0; attempt < tries; ++attempt) {
        CHPTimer tryClock;
        tryClock.Restart();
        const auto tryStart = std::chrono::steady_clock::now();
        if (!m_device.WriteBytes(request, length)) {
            if (!IsSilent())
                Alert("SER_WRITE_ERROR",
                      "Serial communications write error.  Data was lost.  If this error continues, please close, "
                      "then re-open communications.",
                      4, kAlertStatusBar);
            outcome.value = AMP_ERR_COMM_WRITE;
            outcome.width = 1;
            return outcome;
        }
        SleepUntil(MsAfter(tryStart, 1));
        int replyAddress = 0;
        LONG replyValue = 0;
        int replyWidth = 1;
        const int error = ReadReply(timeoutMs, replyAddress, replyValue, replyWidth);
        CString line;
        line.Format("RTime=%0.0f ms", tryClock.GetElapsedSeconds() * 1000.0);
        Trace(line);
        outcome.value = error;
        outcome.width = replyWidth;
        if (error == AMP_ERR_NONE && replyAddress == address) {
            outcome.ok = true;
            outcome.value = replyValue;
            return outcome;
        }
        if (error == AMP_ERR_NONE) {
            Trace("<Wrong amp returned>");
            DropLateReply();
            CountStatistic(kStatRxFrameError, address);
            CountStatistic(kStatSerialRetry, address);
            outcome.value = AMP_ERR_INVALID_MESSAGE;  // what the caller learns if every try does this
            outcome.width = 1;
        } else if (error == AMP_ERR_CRC || error == AMP_ERR_INVALID_MESSAGE) {
            Trace(error == AMP_ERR_CRC ? "<CRC Error, retrying>" : "<Invalid Message Error, retrying>");
            CountStatistic(kStatDriveCrcError, address);
            DropLateReply();
            CountStatistic(kStatSerialRetry, address);
        } else if (error == AMP_ERR_COMM_TIMEOUT) {
            CountStatistic(kStatSerialRetry, address);
            CountStatistic(kStatReplyTimeout, address);
            if (IsClosing())
                break;
        } else if (error == AMP_ERR_COMM_READ) {
            if (!IsSilent()) {
                Alert("SER_READ_TO_ERROR",
                      "Serial communications failure.  Please check connection to drive.  Then close and re-open "
                      "communication.",
                      4, kAlertPopup);
                if (CCommAppServices* app = App())
                    app->SetCommStatus(kCommAllDrivesLost);
            }
            return outcome;
        } else {
            return outcome;  // the drive's own error
        }
    }
    return outcome;
}

void CQVXSerialCommPort::DropLateReply()
{
    Sleep(kRetryPauseMs);
    int address = 0;
    LONG value = 0;
    int width = 0;
    ReadReply(0, address, value, width);
}

int CQVXSerialCommPort::ReadReply(int timeoutMs, int& replyAddress, LONG& value, int& width)
{
    CHPTimer clock;
    clock.Restart();
    BYTE reply[kMaxReply];
    int held = 0;
    width = 1;
    for (;;) {
        const int count = m_device.ReadBytes(reply + held, kMaxReply - held, FALSE);
        if (count < 0) {
            Trace("<Read error>");
            return AMP_ERR_COMM_READ;
        }
        held += count;
        if (held > 0) {
            replyAddress = reply[0] & 31;
            if (replyAddress == 0)
                replyAddress = 31;
            const int replyWidth = reply[0] >> 5;
            const int expected = replyWidth + 3;
            // A width above 4 is no reply: its length would run past any reply.
            if (replyWidth > kMaxLinkWidth || held > expected) {
                CSerialDevicePort::TraceBytes(false, reply, held);
                Trace("<Invalid message error>");
                return AMP_ERR_INVALID_MESSAGE;
            }
            if (held == expected) {
                CSerialDevicePort::TraceBytes(false, reply, held);
                if (reply[1] == kGoodReply && reply[expected - 1] == static_cast<BYTE>(~reply[0])) {
                    value = ValueFromBytes(reply + 2, replyWidth);
                    width = replyWidth;
                    return AMP_ERR_NONE;
                }
                if (reply[1] == kGoodReply) {
                    Trace("<CRC error>");
                    return AMP_ERR_CRC;
                }
                if (reply[1] == kErrorReply) {
                    width = replyWidth;
                    CString line;
                    line.Format("<Drive reports error:>%d", reply[2]);
                    Trace(line);
                    return reply[2];
                }
                Trace("<Unexpected message error>");
                return AMP_ERR_INVALID_MESSAGE;
            }
        }
        const double elapsedMs = clock.GetElapsedSeconds() * 1000.0;
        if (elapsedMs > timeoutMs) {
            CSerialDevicePort::TraceBytes(false, reply, held);
            Trace("<Timeout error>");
            return AMP_ERR_COMM_TIMEOUT;
        }
        // Look again as soon as bytes come, or just past the time-out.
        const double leftMs = std::floor(timeoutMs - elapsedMs) + 1.0;
        m_device.WaitForInput(static_cast<DWORD>(std::max(1.0, leftMs)));
    }
}

// ---- the module's side ---------------------------------------------------

int CQVXSerialCommPort::Step()
{
    CCommAppServices* app = App();
    CHPTimer cycleClock;
    cycleClock.Restart();
    if (app)
        app->SetWatchValue("CM->Serial buff size", m_txRing.GetCount());
    BYTE frame[kMaxLinkFrame];
    while (cycleClock.GetElapsedSeconds() < kFrameBudgetSeconds && TakeFrame(frame))
        HandleFrame(frame);
    {
        CSingleLock lock(&m_pollLock, TRUE);
        if (m_polling)
            RunPeriodicPoll();
    }
    if (m_probeClock.GetElapsedSeconds() >= 1.0) {
        ProbeLostDrive();
        m_probeClock.Restart();
    }
    if (app)
        app->LapWatchTimer("CQVXSerialCommPort::ExecCycle()");
    return 0;
}

// Frames waiting, poll slots and lost drives give the thread work; without
// them it rests until the manager writes or synchronous mode ends.
int CQVXSerialCommPort::GetRestMs()
{
    if (HoldsWholeFrame())
        return GetPeriod();
    const int timed = MsUntilTimedWork();
    if (timed < 0)
        return kRestUntilWoken;
    return std::max(timed, GetPeriod());
}

bool CQVXSerialCommPort::HoldsWholeFrame()
{
    CSingleLock lock(&m_txLock, TRUE);
    RingBuffState start;
    m_txRing.SaveState(start);
    const int header = m_txRing.GetByte();
    m_txRing.RestoreState(start);
    if (header < 0)
        return false;
    // A header with too wide a field is dropped by the next cycle.
    return (header >> 5) > kMaxLinkWidth || m_txRing.GetCount() >= (header >> 5) + 4;
}

int CQVXSerialCommPort::MsUntilTimedWork()
{
    int soonest = -1;
    auto consider = [&soonest](double ms) {
        const int whole = static_cast<int>(std::ceil(std::max(0.0, ms)));
        if (soonest < 0 || whole < soonest)
            soonest = whole;
    };
    {
        CSingleLock lock(&m_pollLock, TRUE);
        if (m_polling) {
            for (int index = 4; index < kPollSlots; ++index) {
                const DWORD periodMs = m_pollSlots[index] >> 16;
                if (periodMs != 0)
                    consider(periodMs - m_pollTimers[index].GetElapsedSeconds() * 1000.0);
            }
        }
    }
    if (GetLostDriveCount() > 0)
        consider(1000.0 - m_probeClock.GetElapsedSeconds() * 1000.0);
    return soonest;
}

// Takes one complete link frame; an incomplete one stays for the next cycle.
// A header whose width field is above 4 is refused before the frame is read,
// so no length taken from it can run past the frame.
bool CQVXSerialCommPort::TakeFrame(BYTE* frame)
{
    CSingleLock lock(&m_txLock, TRUE);
    for (;;) {
        RingBuffState start;
        m_txRing.SaveState(start);
        const int header = m_txRing.GetByte();
        if (header < 0)
            return false;
        const int width = header >> 5;
        if (width > kMaxLinkWidth) {
            Trace("<Invalid message error>");
            CountStatistic(kStatRxFrameError);
            continue;  // the header is dropped; the next byte may start a frame
        }
        frame[0] = static_cast<BYTE>(header);
        const int length = width + 4;
        for (int i = 1; i < length; ++i) {
            const int b = m_txRing.GetByte();
            if (b < 0) {
                m_txRing.RestoreState(start);
                return false;
            }
            frame[i] = static_cast<BYTE>(b);
        }
        return true;
    }
}

void CQVXSerialCommPort::HandleFrame(const BYTE* frame)
{
    const int address = frame[0] & 31;
    const int width = frame[0] >> 5;
    const WORD code = static_cast<WORD>(frame[1] * 256 + frame[2]);
    LONG value = ValueFromBytes(frame + 3, width);
    if (width == 1)
        value = static_cast<signed char>(value);
    else if (width == 2)
        value = static_cast<SHORT>(value);

    if (frame[3 + width] != static_cast<BYTE>(~frame[0])) {
        WriteErrorFrame(address, code, AMP_ERR_CRC);
        WriteTimeStampFrame();
    } else if (IsLost(address)) {
        WriteErrorFrame(address, code, AMP_ERR_DRIVE_OFFLINE);
        WriteTimeStampFrame();
    } else if (width == 0) {
        HandleRead(address, code);
    } else {
        HandleWrite(address, code, value, width);
    }
}

void CQVXSerialCommPort::HandleRead(int address, WORD code)
{
    const Outcome outcome = Transaction(address, code, 0, 0, kTransactionTimeoutMs, false);
    if (outcome.ok) {
        // The drive gets its 2 ms of quiet after a good reply before the line
        // carries the next request; the reply goes up meanwhile.
        m_lineQuietUntil = MsAfter(std::chrono::steady_clock::now(), 2);
        WriteReplyFrame(address, code, outcome.value, outcome.width);
        WriteTimeStampFrame();
        return;
    }
    if (outcome.refused)
        return;  // its error frame is written
    if (outcome.value == AMP_ERR_COMM_TIMEOUT) {
        MarkLost(address);
        UpdateCommStatus();
        WriteErrorFrame(address, code, AMP_ERR_DRIVE_OFFLINE);
    } else {
        WriteErrorFrame(address, code, static_cast<int>(outcome.value));
    }
    WriteTimeStampFrame();
}

void CQVXSerialCommPort::HandleWrite(int address, WORD code, LONG value, int width)
{
    bool echo = m_echo != 0;
    if (code == kCodeTre) {
        m_timeStamps = static_cast<DWORD>(value);
    } else if (code == kCodeTss) {
        m_timeStampClock.Restart(value / 1000.0);
    } else if (code == kCodeVrm) {
        const bool wasOn = m_echo != 0;
        m_echo = (value & 3) != 0 ? 1 : 0;
        echo = m_echo != 0 || ((value & 5) != 0 && wasOn);
    } else if (code == kCodeRqe || code == kCodeRqd || code == kCodeApe || code == kCodeCse) {
        // The module has nothing to do for these.
    } else if (code >= kCodeOsa && code <= kCodeOsd) {
        if (FamilyOfConnectedDrive(address) == -1) {
            WriteErrorFrame(address, code, AMP_ERR_INVALID_ADDRESS);
            return;
        }
        const int slot = address * 4 + (code - kCodeOsa);
        m_pollSlots[slot] = static_cast<DWORD>(value);
        m_pollTimers[slot].Restart();
    } else {
        const Outcome outcome = Transaction(address, code, value, width, kTransactionTimeoutMs, false);
        if (!outcome.ok) {
            if (outcome.refused || outcome.value == 0)
                return;
            WriteErrorFrame(address, code, static_cast<int>(outcome.value));
            WriteTimeStampFrame();
            return;
        }
    }
    if (echo) {
        WriteReplyFrame(address, code, value, width);
        WriteTimeStampFrame();
    }
}

void CQVXSerialCommPort::RunPeriodicPoll()
{
    for (int address = 1; address <= 31; ++address) {
        for (int slot = 0; slot < 4; ++slot)
            PollSlot(address, slot);
    }
}

void CQVXSerialCommPort::PollSlot(int address, int slot)
{
    const int index = address * 4 + slot;
    const DWORD word = m_pollSlots[index];
    const DWORD periodMs = word >> 16;
    if (periodMs == 0 || m_pollTimers[index].GetElapsedSeconds() * 1000.0 < periodMs)
        return;
    const WORD swapped = LOWORD(word);
    const WORD code = static_cast<WORD>((swapped << 8) | (swapped >> 8));
    if (IsLost(address)) {
        // One error frame per period, as for any failed request; the probe
        // brings the drive back.
        WriteErrorFrame(address, code, AMP_ERR_DRIVE_OFFLINE);
        m_pollTimers[index].Restart();
    } else {
        const Outcome outcome = Transaction(address, code, 0, 0, kTransactionTimeoutMs, false);
        if (outcome.ok) {
            m_pollTimers[index].Restart();
            WriteReplyFrame(address, code, outcome.value, outcome.width);
        } else if (outcome.value == AMP_ERR_COMM_TIMEOUT && !outcome.refused) {
            MarkLost(address);
            UpdateCommStatus();
            WriteErrorFrame(address, code, AMP_ERR_DRIVE_OFFLINE);
        } else {
            if (!outcome.refused)
                WriteErrorFrame(address, code, static_cast<int>(outcome.value));
            m_pollSlots[index] = 0;
        }
    }
    WriteTimeStampFrame();
}

void CQVXSerialCommPort::ProbeLostDrive()
{
    int address;
    {
        CSingleLock lock(&m_lostLock, TRUE);
        if (CCommAppServices* app = App())
            app->SetWatchValue("UndetectedDrives", static_cast<double>(m_lostDrives.GetCount()));
        if (m_lostDrives.IsEmpty())
            return;
        if (!m_probeCursor)
            m_probeCursor = m_lostDrives.GetHeadPosition();
        address = m_lostDrives.GetNext(m_probeCursor);
    }
    const Outcome outcome = Transaction(address, kCodeVer, 0, 0, kProbeTimeoutMs, true);
    if (!outcome.ok)
        return;
    {
        CSingleLock lock(&m_lostLock, TRUE);
        if (POSITION pos = m_lostDrives.Find(address))
            m_lostDrives.RemoveAt(pos);
        m_probeCursor = nullptr;
    }
    CString line;
    line.Format("*** Reconnected drive: %d", address);
    Trace(line);
    // The flags first: whoever reacts to the alert reads them.
    if (CCommAppServices* app = App()) {
        if (FamilyFromVersion(outcome.value) == app->GetDriveFamily(address))
            app->SetDriveReconnected();
        else
            app->SetDriveTypeChanged();
    }
    UpdateCommStatus();
    Alert("SER_COMM_REESTABLISHED", "Communications re-established.", 1, kAlertStatusBar, address);
}

// ---- frames for the communication manager ---------------------------------

void CQVXSerialCommPort::WriteReplyFrame(int address, WORD code, LONG value, int width)
{
    BYTE frame[kMaxLinkFrame];
    int length = 0;
    frame[length++] = static_cast<BYTE>((width << 5) | (address & 31));
    frame[length++] = HIBYTE(code);
    frame[length++] = LOBYTE(code);
    for (int i = 0; i < width && i < kMaxLinkWidth; ++i)
        frame[length++] = static_cast<BYTE>(static_cast<DWORD>(value) >> (8 * i));
    frame[length++] = static_cast<BYTE>(~frame[0]);
    PutFrame(frame, length, "INTERNAL_ERROR_1002",
             "Serial communications buffer error #1002.  Please close, then re-open communications.");
}

void CQVXSerialCommPort::WriteErrorFrame(int address, WORD code, int error)
{
    const BYTE header = static_cast<BYTE>(0x60 | (address & 31));
    const BYTE frame[] = {header,         HIBYTE(kCodeErrorReport), LOBYTE(kCodeErrorReport),
                          HIBYTE(code),   LOBYTE(code),             static_cast<BYTE>(error),
                          static_cast<BYTE>(~header)};
    PutFrame(frame, sizeof frame, "INTERNAL_ERROR_1001",
             "Serial communications buffer error #1001.  Please close, then re-open communications.");
}

void CQVXSerialCommPort::WriteTimeStampFrame()
{
    if (!m_timeStamps)
        return;
    const LONG stamp = static_cast<LONG>(m_timeStampClock.GetElapsedSeconds() * 1000.0);
    int width = 2;
    if (stamp >= -127 && stamp <= 127)
        width = 1;
    else if (static_cast<DWORD>(stamp) & ~0x7FFFu)
        width = 4;
    WriteReplyFrame(0, kCodeTsr, stamp, width);
}

// A frame goes in whole or not at all: half a frame would garble the stream.
bool CQVXSerialCommPort::PutFrame(const BYTE* frame, int length, const char* key, const char* text)
{
    {
        CSingleLock lock(&m_rxLock, TRUE);
        if (m_rxRing.GetSize() - m_rxRing.GetCount() - 1 >= length) {
            m_rxRing.Write(frame, length);
            lock.Unlock();
            WakeReader();
            return true;
        }
    }
    if (!IsSilent())
        Alert(key, text, 5, kAlertPopup);
    return false;
}

// ---- lost drives ------------------------------------------------------------

bool CQVXSerialCommPort::IsLost(int address)
{
    CSingleLock lock(&m_lostLock, TRUE);
    return m_lostDrives.Find(address) != nullptr;
}

void CQVXSerialCommPort::MarkLost(int address)
{
    {
        CSingleLock lock(&m_lostLock, TRUE);
        if (!m_lostDrives.Find(address))
            m_lostDrives.AddTail(address);
        m_probeCursor = nullptr;
    }
    CString line;
    line.Format("*** Lost connected drive: %d", address);
    Trace(line);
    Alert("SER_COMM_LOSTCONNECTION", "Lost connection with drive.", 3, kAlertStatusBar, address);
}

void CQVXSerialCommPort::UpdateCommStatus()
{
    const int lost = GetLostDriveCount();
    int status = kCommSomeDrivesLost;
    if (lost == 0)
        status = kCommAllDrives;
    else if (lost == ConnectedDriveCount())
        status = kCommAllDrivesLost;
    if (CCommAppServices* app = App())
        app->SetCommStatus(status);
}

// ---- services ---------------------------------------------------------------

void CQVXSerialCommPort::Alert(const char* key, const char* text, int level, int flags, int address)
{
    if (CCommAppServices* app = App())
        app->RaiseAlert(key, text, level, flags, address);
}

void CQVXSerialCommPort::CountStatistic(int id, int address)
{
    if (m_statistics)
        m_statistics->AddSample(id, 0, address);
}

void CQVXSerialCommPort::Trace(const char* text) { CommDebugTrace(text); }
