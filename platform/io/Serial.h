// CSerial: a serial device (a tty or a pty) in raw mode. Every operation
// answers a system error code (0 for success) and keeps it as the last error.
// "Overlapped" operations complete on the calling thread; the caller's record
// is signalled when they do, so code written for asynchronous completion works
// unchanged.
#pragma once

#include <atomic>

#include "platform/core/Event.h"
#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

// System error codes the serial classes answer.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_INVALID_FUNCTION = 1;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_GEN_FAILURE = 31;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_ALREADY_EXISTS = 183;
constexpr LONG ERROR_DEVICE_NOT_CONNECTED = 1167;
constexpr LONG ERROR_ALREADY_INITIALIZED = 1247;
constexpr LONG ERROR_TIMEOUT = 1460;

// Port events.
constexpr DWORD EV_RXCHAR = 0x0001;
constexpr DWORD EV_RXFLAG = 0x0002;
constexpr DWORD EV_TXEMPTY = 0x0004;
constexpr DWORD EV_CTS = 0x0008;
constexpr DWORD EV_DSR = 0x0010;
constexpr DWORD EV_RLSD = 0x0020;
constexpr DWORD EV_BREAK = 0x0040;
constexpr DWORD EV_ERR = 0x0080;
constexpr DWORD EV_RING = 0x0100;

// Line errors reported with the events.
constexpr DWORD CE_RXOVER = 0x0001;
constexpr DWORD CE_OVERRUN = 0x0002;
constexpr DWORD CE_RXPARITY = 0x0004;
constexpr DWORD CE_FRAME = 0x0008;
constexpr DWORD CE_BREAK = 0x0010;

constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE MARKPARITY = 3;
constexpr BYTE SPACEPARITY = 4;

constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE ONE5STOPBITS = 1;
constexpr BYTE TWOSTOPBITS = 2;

constexpr DWORD PURGE_TXABORT = 0x1;
constexpr DWORD PURGE_RXABORT = 0x2;
constexpr DWORD PURGE_TXCLEAR = 0x4;
constexpr DWORD PURGE_RXCLEAR = 0x8;

// The completion record of an overlapped operation: its event is set when the
// operation completes.
struct OVERLAPPED {
    CEvent* hEvent = nullptr;
};

class CSerial {
public:
    enum EHandshake { EHandshakeOff = 0, EHandshakeHardware = 1, EHandshakeSoftware = 2 };
    enum EReadTimeout { EReadTimeoutNonblocking = 0, EReadTimeoutBlocking = 1 };
    static constexpr DWORD kDefaultEventMask = EV_RXCHAR | EV_BREAK | EV_ERR;

    CSerial() = default;
    virtual ~CSerial();
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    virtual LONG Open(const char* device, DWORD inQueue = 0, DWORD outQueue = 0, bool overlapped = false);
    virtual LONG Close();
    virtual LONG Configure(DWORD baudRate, BYTE dataBits, BYTE parity, BYTE stopBits);
    virtual LONG SetEventChar(BYTE eventChar, bool adjustMask = true);
    virtual LONG SetEventMask(DWORD mask);
    // timeoutMs INFINITE waits without limit.
    virtual LONG WaitForEvent(OVERLAPPED* overlapped = nullptr, DWORD timeoutMs = INFINITE);
    virtual LONG SetHandshaking(int handshake);
    virtual LONG SetReadTimeouts(int mode);
    virtual long GetBaudRate();
    virtual int GetDataBits();
    virtual int GetParity();
    virtual int GetStopBits();
    virtual int GetHandshaking();
    virtual DWORD GetEventMask();
    virtual BYTE GetEventChar();
    virtual LONG WriteText(const char* text, DWORD* written = nullptr, OVERLAPPED* overlapped = nullptr,
                           DWORD timeoutMs = INFINITE);
    virtual LONG Write(const void* data, DWORD size, DWORD* written = nullptr, OVERLAPPED* overlapped = nullptr,
                       DWORD timeoutMs = INFINITE);
    virtual LONG Read(void* buffer, DWORD size, DWORD* read = nullptr, OVERLAPPED* overlapped = nullptr,
                      DWORD timeoutMs = INFINITE);

    // Waits until bytes can be read (or the line hung up), at most timeoutMs;
    // false when the time passed first.
    bool WaitForInput(DWORD timeoutMs);
    // Discards pending input and/or output (PURGE_* flags).
    LONG Purge(DWORD flags);
    // Takes the events the last wait received, clearing them.
    DWORD TakeReceivedEvents();
    // Reads and clears the line errors counted since the last call (CE_* bits).
    LONG ClearLineErrors(DWORD* errors);
    bool IsOpen() const { return m_fd >= 0; }
    LONG GetLastError() const { return m_lastError; }

protected:
    std::atomic<LONG> m_lastError{ERROR_SUCCESS};  // the listener thread sets it too

private:
    LONG Fail(LONG error) { return m_lastError = error; }
    LONG CheckOverlappedUse(OVERLAPPED* overlapped, DWORD timeoutMs);
    LONG LockExclusively();
    LONG ApplyRawMode();
    LONG ReadTerminal(struct termios& settings);
    LONG WriteTerminal(const struct termios& settings);
    // Waits until the device is readable/writable, the deadline passes or a
    // wake comes; answers the poll revents of the device, or -1 on time-out.
    int PollDevice(short events, long long deadlineMs, bool* woken);
    bool HasRxEvent(bool* stale);
    // The line errors counted since the last ClearLineErrors, without clearing them.
    bool PeekLineErrors(DWORD* errors, struct serial_icounter_struct* counts);
    void Wake();
    void DrainWake();
    static void Complete(OVERLAPPED* overlapped);

    int m_fd = -1;
    int m_wakeFd = -1;           // ends a pending event wait (eventfd)
    DWORD m_receivedEvents = 0;  // filled by the event wait
    std::atomic<DWORD> m_eventMask{0};
    BYTE m_eventChar = 0;
    int m_readMode = EReadTimeoutNonblocking;
    std::atomic<int> m_lastRxCount{0};  // input bytes seen by the last receive event
    CEvent* m_overlappedEvent = nullptr;
    struct LineCounters {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    } m_lineCounters;
};

// Maps an errno value onto the system error codes above.
LONG SerialErrorFromErrno(int error);
// The name of the group that owns a device file ("dialout" for serial ports on
// Debian); "" when the file or its group cannot be read.
CString SerialDeviceGroup(const char* path);
