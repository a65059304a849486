// CSerialEx: a serial device with a listener thread that waits for port
// events and hands them to a virtual handler. Reads and writes stay on the
// caller's thread.
#pragma once

#include <atomic>

#include "Serial.h"
#include "platform/core/WinThread.h"

class CSerialEx : public CSerial {
public:
    CSerialEx() = default;
    ~CSerialEx() override;

    // Always opens for overlapped use.
    LONG Open(const char* device, DWORD inQueue = 0, DWORD outQueue = 0, bool startListener = false) override;
    LONG Close() override;

    // Does nothing when a listener runs already.
    LONG StartListener();
    LONG StopListener(DWORD waitMs = INFINITE);

protected:
    // Called on the listener thread with the events and the line errors (CE_* bits).
    virtual void OnEvent(DWORD /*events*/, DWORD /*errors*/) {}
    LONG CreateStopEvent();

private:
    static UINT ThreadProc(LPVOID param);
    LONG ListenLoop();

    std::atomic<bool> m_stopping{false};
    CWinThread* m_listener = nullptr;
    CEvent* m_stopEvent = nullptr;    // also the record of the listener's event wait
    CEvent m_listenerDone{FALSE, TRUE};
};
