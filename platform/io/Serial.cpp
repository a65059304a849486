#include "Serial.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/core/Clock.h"

namespace {

struct BaudEntry {
    DWORD baud;
    speed_t speed;
};

constexpr BaudEntry kBaudTable[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedFromBaud(DWORD baud, speed_t* speed)
{
    for (const auto& entry : kBaudTable) {
        if (entry.baud == baud) {
            *speed = entry.speed;
            return true;
        }
    }
    return false;
}

long BaudFromSpeed(speed_t speed)
{
    for (const auto& entry : kBaudTable) {
        if (entry.speed == speed)
            return static_cast<long>(entry.baud);
    }
    return -1;
}

long long NowMs() { return static_cast<long long>(GetTickCount64()); }

long long DeadlineFrom(DWORD timeoutMs) { return timeoutMs == INFINITE ? -1 : NowMs() + timeoutMs; }

}  // namespace

CString SerialDeviceGroup(const char* path)
{
    struct stat info {};
    if (!path || stat(path, &info) != 0)
        return CString();
    const struct group* owner = getgrgid(info.st_gid);
    return owner && owner->gr_name ? CString(owner->gr_name) : CString();
}

LONG SerialErrorFromErrno(int error)
{
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EBUSY:
    case EWOULDBLOCK:
        return ERROR_ALREADY_EXISTS;  // another program holds the device
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOTTY:
        return ERROR_INVALID_FUNCTION;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EIO:
        return ERROR_DEVICE_NOT_CONNECTED;
    case ETIMEDOUT:
        return ERROR_TIMEOUT;
    default:
        return ERROR_GEN_FAILURE;
    }
}

CSerial::~CSerial() { CSerial::Close(); }

LONG CSerial::Open(const char* device, DWORD /*inQueue*/, DWORD /*outQueue*/, bool overlapped)
{
    // The kernel sizes the queues of a tty itself; the sizes asked for are accepted as they are.
    m_lastError = ERROR_SUCCESS;
    if (m_fd >= 0)
        return Fail(ERROR_ALREADY_INITIALIZED);
    m_fd = ::open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return Fail(SerialErrorFromErrno(errno));
    LONG error = isatty(m_fd) ? LockExclusively() : ERROR_INVALID_FUNCTION;
    if (error == ERROR_SUCCESS) {
        m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_wakeFd < 0)
            error = SerialErrorFromErrno(errno);
    }
    if (error == ERROR_SUCCESS && overlapped)
        m_overlappedEvent = new CEvent(FALSE, TRUE);
    if (error == ERROR_SUCCESS)
        error = ApplyRawMode();
    if (error != ERROR_SUCCESS) {
        Close();
        return Fail(error);
    }
    tcflush(m_fd, TCIOFLUSH);  // bytes left from an earlier user are not this user's
    SetEventMask(kDefaultEventMask);
    SetReadTimeouts(EReadTimeoutNonblocking);
    DWORD ignored = 0;
    ClearLineErrors(&ignored);
    m_lastRxCount = 0;
    return Fail(ERROR_SUCCESS);
}

// Two guards, because root passes TIOCEXCL: the exclusive-open mode of the tty
// and an advisory lock that every copy of this program takes.
LONG CSerial::LockExclusively()
{
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? ERROR_ALREADY_EXISTS : SerialErrorFromErrno(errno);
    ioctl(m_fd, TIOCEXCL);
    return ERROR_SUCCESS;
}

LONG CSerial::ApplyRawMode()
{
    termios settings{};
    LONG error = ReadTerminal(settings);
    if (error != ERROR_SUCCESS)
        return error;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    return WriteTerminal(settings);
}

LONG CSerial::Close()
{
    m_lastError = ERROR_SUCCESS;
    delete m_overlappedEvent;
    m_overlappedEvent = nullptr;
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
    if (m_fd >= 0) {
        ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);  // also releases the advisory lock
        m_fd = -1;
    }
    m_eventMask = 0;
    m_receivedEvents = 0;
    return m_lastError;
}

LONG CSerial::ReadTerminal(termios& settings)
{
    if (tcgetattr(m_fd, &settings) != 0)
        return SerialErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

LONG CSerial::WriteTerminal(const termios& settings)
{
    if (tcsetattr(m_fd, TCSANOW, &settings) != 0)
        return SerialErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

LONG CSerial::Configure(DWORD baudRate, BYTE dataBits, BYTE parity, BYTE stopBits)
{
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    termios settings{};
    if (LONG error = ReadTerminal(settings); error != ERROR_SUCCESS)
        return Fail(error);

    speed_t speed = 0;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    // Invalid combinations are refused before anything changes: 1.5 stop
    // bits exist only with 5 data bits, 2 stop bits only with 6 to 8.
    const bool validStop = stopBits == ONESTOPBIT || (stopBits == ONE5STOPBITS && dataBits == 5) ||
                           (stopBits == TWOSTOPBITS && dataBits > 5);
    if (!SpeedFromBaud(baudRate, &speed) || dataBits < 5 || dataBits > 8 || parity > SPACEPARITY || !validStop)
        return Fail(ERROR_INVALID_PARAMETER);

    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    settings.c_cflag |= kSizes[dataBits - 5];
    if (parity != NOPARITY)
        settings.c_cflag |= PARENB;
    if (parity == ODDPARITY || parity == MARKPARITY)
        settings.c_cflag |= PARODD;
    if (parity == MARKPARITY || parity == SPACEPARITY)
        settings.c_cflag |= CMSPAR;
    if (stopBits != ONESTOPBIT)
        settings.c_cflag |= CSTOPB;
    if (parity != NOPARITY)
        settings.c_iflag |= INPCK;
    else
        settings.c_iflag &= ~INPCK;
    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
    return Fail(WriteTerminal(settings));
}

LONG CSerial::SetEventChar(BYTE eventChar, bool adjustMask)
{
    // A tty has no event character of its own; it is kept for the getter and the mask.
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    m_eventChar = eventChar;
    if (adjustMask)
        return SetEventMask(m_eventMask | EV_RXFLAG);
    return m_lastError;
}

LONG CSerial::SetEventMask(DWORD mask)
{
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    m_eventMask = mask;
    Wake();  // a new mask ends a pending event wait
    return m_lastError;
}

void CSerial::Wake()
{
    const uint64_t one = 1;
    if (m_wakeFd >= 0 && ::write(m_wakeFd, &one, sizeof one) < 0) {
        // The counter cannot overflow in practice; a failed wake only delays the waiter.
    }
}

void CSerial::DrainWake()
{
    uint64_t count = 0;
    if (m_wakeFd >= 0 && ::read(m_wakeFd, &count, sizeof count) < 0) {
        // Nothing was pending.
    }
}

void CSerial::Complete(OVERLAPPED* overlapped)
{
    if (overlapped && overlapped->hEvent)
        overlapped->hEvent->SetEvent();
}

LONG CSerial::CheckOverlappedUse(OVERLAPPED* overlapped, DWORD timeoutMs)
{
    if (!m_overlappedEvent && (overlapped || timeoutMs != INFINITE))
        return Fail(ERROR_INVALID_FUNCTION);
    return ERROR_SUCCESS;
}

int CSerial::PollDevice(short events, long long deadlineMs, bool* woken)
{
    for (;;) {
        pollfd fds[2] = {{m_fd, events, 0}, {m_wakeFd, POLLIN, 0}};
        const int count = woken ? 2 : 1;
        int timeout = -1;
        if (deadlineMs >= 0) {
            const long long left = deadlineMs - NowMs();
            if (left <= 0)
                timeout = 0;
            else
                timeout = static_cast<int>(left);
        }
        const int ready = ::poll(fds, count, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return -1;
        if (woken && (fds[1].revents & POLLIN)) {
            DrainWake();
            *woken = true;
        }
        return fds[0].revents;
    }
}

// A receive event means bytes arrived since the last one; bytes that merely
// wait to be read do not raise it again.
bool CSerial::HasRxEvent(bool* stale)
{
    int pending = 0;
    *stale = false;
    if (ioctl(m_fd, FIONREAD, &pending) != 0)
        return false;
    const bool arrived = pending > m_lastRxCount;
    *stale = pending > 0 && !arrived;
    m_lastRxCount = pending;
    return arrived;
}

LONG CSerial::WaitForEvent(OVERLAPPED* overlapped, DWORD timeoutMs)
{
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    if (CheckOverlappedUse(overlapped, timeoutMs) != ERROR_SUCCESS)
        return m_lastError;
    const long long deadline = DeadlineFrom(timeoutMs);
    m_receivedEvents = 0;
    DrainWake();  // only a change of mask during this wait ends it
    for (;;) {
        DWORD events = 0;
        DWORD lineErrors = 0;
        serial_icounter_struct counts{};
        if (PeekLineErrors(&lineErrors, &counts)) {
            events |= (lineErrors & CE_BREAK) ? EV_BREAK : 0;
            events |= (lineErrors & ~CE_BREAK) ? EV_ERR : 0;
        }
        bool stale = false;
        if ((m_eventMask & EV_RXCHAR) && HasRxEvent(&stale))
            events |= EV_RXCHAR;
        if (events & m_eventMask) {
            m_receivedEvents = events;
            Complete(overlapped);
            return m_lastError;
        }
        // Unread bytes keep the device readable: look again shortly rather than spin.
        const short watch = (m_eventMask & EV_RXCHAR) && !stale ? POLLIN : 0;
        long long until = deadline;
        if (stale && (until < 0 || until > NowMs() + 1))
            until = NowMs() + 1;
        bool woken = false;
        const int revents = PollDevice(watch, until, &woken);
        if (woken) {
            Complete(overlapped);
            return m_lastError;
        }
        if (revents > 0 && (revents & (POLLHUP | POLLERR | POLLNVAL)))
            return Fail(ERROR_DEVICE_NOT_CONNECTED);
        if (deadline >= 0 && NowMs() >= deadline)
            return Fail(ERROR_TIMEOUT);
    }
}

DWORD CSerial::TakeReceivedEvents()
{
    const DWORD events = m_receivedEvents;
    m_receivedEvents = 0;
    return events;
}

bool CSerial::PeekLineErrors(DWORD* errors, serial_icounter_struct* counts)
{
    *errors = 0;
    if (ioctl(m_fd, TIOCGICOUNT, counts) != 0)
        return false;  // a pty keeps no line counters: it never has line errors
    if (counts->frame != m_lineCounters.frame)
        *errors |= CE_FRAME;
    if (counts->overrun != m_lineCounters.overrun)
        *errors |= CE_OVERRUN;
    if (counts->parity != m_lineCounters.parity)
        *errors |= CE_RXPARITY;
    if (counts->brk != m_lineCounters.brk)
        *errors |= CE_BREAK;
    if (counts->buf_overrun != m_lineCounters.bufOverrun)
        *errors |= CE_RXOVER;
    return *errors != 0;
}

LONG CSerial::ClearLineErrors(DWORD* errors)
{
    *errors = 0;
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    serial_icounter_struct counts{};
    if (PeekLineErrors(errors, &counts))
        m_lineCounters = {counts.frame, counts.overrun, counts.parity, counts.brk, counts.buf_overrun};
    return m_lastError;
}

LONG CSerial::SetHandshaking(int handshake)
{
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    if (handshake < EHandshakeOff || handshake > EHandshakeSoftware)
        return Fail(ERROR_INVALID_PARAMETER);
    termios settings{};
    if (LONG error = ReadTerminal(settings); error != ERROR_SUCCESS)
        return Fail(error);
    settings.c_cflag &= ~CRTSCTS;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (handshake == EHandshakeHardware)
        settings.c_cflag |= CRTSCTS;
    if (handshake == EHandshakeSoftware)
        settings.c_iflag |= IXON | IXOFF;
    if (LONG error = WriteTerminal(settings); error != ERROR_SUCCESS)
        return Fail(error);
    // DTR and RTS follow the mode; devices without modem lines (a pty) have none to set.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(m_fd, handshake == EHandshakeHardware ? TIOCMBIS : TIOCMBIC, &lines);
    return m_lastError;
}

LONG CSerial::SetReadTimeouts(int mode)
{
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    if (mode != EReadTimeoutNonblocking && mode != EReadTimeoutBlocking)
        return Fail(ERROR_INVALID_PARAMETER);
    m_readMode = mode;
    return m_lastError;
}

long CSerial::GetBaudRate()
{
    termios settings{};
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ReadTerminal(settings);
    if (m_lastError != ERROR_SUCCESS)
        return -1;
    return BaudFromSpeed(cfgetospeed(&settings));
}

int CSerial::GetDataBits()
{
    termios settings{};
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ReadTerminal(settings);
    if (m_lastError != ERROR_SUCCESS)
        return -1;
    switch (settings.c_cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

int CSerial::GetParity()
{
    termios settings{};
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ReadTerminal(settings);
    if (m_lastError != ERROR_SUCCESS)
        return -1;
    if (!(settings.c_iflag & INPCK) || !(settings.c_cflag & PARENB))
        return NOPARITY;
    const bool odd = settings.c_cflag & PARODD;
    if (settings.c_cflag & CMSPAR)
        return odd ? MARKPARITY : SPACEPARITY;
    return odd ? ODDPARITY : EVENPARITY;
}

int CSerial::GetStopBits()
{
    termios settings{};
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ReadTerminal(settings);
    if (m_lastError != ERROR_SUCCESS)
        return -1;
    if (!(settings.c_cflag & CSTOPB))
        return ONESTOPBIT;
    return (settings.c_cflag & CSIZE) == CS5 ? ONE5STOPBITS : TWOSTOPBITS;
}

int CSerial::GetHandshaking()
{
    termios settings{};
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ReadTerminal(settings);
    if (m_lastError != ERROR_SUCCESS)
        return -1;
    if (settings.c_cflag & CRTSCTS)
        return EHandshakeHardware;
    if ((settings.c_iflag & IXON) && (settings.c_iflag & IXOFF))
        return EHandshakeSoftware;
    return EHandshakeOff;
}

DWORD CSerial::GetEventMask()
{
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    return m_fd < 0 ? 0 : m_eventMask.load();
}

BYTE CSerial::GetEventChar()
{
    m_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    return m_fd < 0 ? 0 : m_eventChar;
}

LONG CSerial::WriteText(const char* text, DWORD* written, OVERLAPPED* overlapped, DWORD timeoutMs)
{
    return Write(text, static_cast<DWORD>(std::strlen(text)), written, overlapped, timeoutMs);
}

LONG CSerial::Write(const void* data, DWORD size, DWORD* written, OVERLAPPED* overlapped, DWORD timeoutMs)
{
    m_lastError = ERROR_SUCCESS;
    if (written)
        *written = 0;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    if (CheckOverlappedUse(overlapped, timeoutMs) != ERROR_SUCCESS)
        return m_lastError;
    const long long deadline = DeadlineFrom(timeoutMs);
    const BYTE* bytes = static_cast<const BYTE*>(data);
    DWORD done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return Fail(SerialErrorFromErrno(errno));
        if (deadline >= 0 && NowMs() >= deadline) {
            tcflush(m_fd, TCOFLUSH);  // the write is cancelled
            return Fail(ERROR_TIMEOUT);
        }
        const int revents = PollDevice(POLLOUT, deadline, nullptr);
        if (revents > 0 && (revents & (POLLHUP | POLLERR | POLLNVAL)))
            return Fail(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (written)
        *written = done;
    Complete(overlapped);
    return m_lastError;
}

LONG CSerial::Read(void* buffer, DWORD size, DWORD* read, OVERLAPPED* overlapped, DWORD timeoutMs)
{
    m_lastError = ERROR_SUCCESS;
    if (read)
        *read = 0;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    if (CheckOverlappedUse(overlapped, timeoutMs) != ERROR_SUCCESS)
        return m_lastError;
    const long long deadline = DeadlineFrom(timeoutMs);
    BYTE* bytes = static_cast<BYTE*>(buffer);
    DWORD done = 0;
    while (done < size) {
        const ssize_t n = ::read(m_fd, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return Fail(SerialErrorFromErrno(errno));
        // Nothing there. A hung-up tty reads as empty: tell it apart.
        pollfd device = {m_fd, POLLIN, 0};
        if (::poll(&device, 1, 0) > 0 && (device.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return Fail(ERROR_DEVICE_NOT_CONNECTED);
        if (m_readMode == EReadTimeoutNonblocking)
            break;
        if (deadline >= 0 && NowMs() >= deadline)
            return Fail(ERROR_TIMEOUT);
        PollDevice(POLLIN, deadline, nullptr);
    }
    if (read)
        *read = done;
    Complete(overlapped);
    return m_lastError;
}

bool CSerial::WaitForInput(DWORD timeoutMs)
{
    if (m_fd < 0)
        return false;
    return PollDevice(POLLIN, DeadlineFrom(timeoutMs), nullptr) > 0;
}

LONG CSerial::Purge(DWORD flags)
{
    m_lastError = ERROR_SUCCESS;
    if (m_fd < 0)
        return Fail(ERROR_INVALID_HANDLE);
    const bool input = flags & (PURGE_RXABORT | PURGE_RXCLEAR);
    const bool output = flags & (PURGE_TXABORT | PURGE_TXCLEAR);
    if (!input && !output)
        return m_lastError;
    const int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    if (tcflush(m_fd, queue) != 0)
        return Fail(SerialErrorFromErrno(errno));
    m_lastRxCount = 0;
    return m_lastError;
}
