// CQVXCommPort: the link port through which the communication manager moves
// bytes. The manager owns one while communications are open.
#pragma once

#include <atomic>

#include "platform/core/Mutex.h"
#include "platform/core/String.h"

class CDThread;

class CQVXCommPort {
public:
    // Read buffers the manager offers.
    static constexpr int kReadChunk = 4100;

    CQVXCommPort() = default;
    virtual ~CQVXCommPort() = default;
    CQVXCommPort(const CQVXCommPort&) = delete;
    CQVXCommPort& operator=(const CQVXCommPort&) = delete;

    virtual int Open() = 0;
    virtual int Close() = 0;
    virtual CString GetName();
    // Non-zero on success.
    virtual int Write(int count, const BYTE* bytes) = 0;
    // Bytes received so far, at most maximum; 0 when none.
    virtual int Read(int maximum, BYTE* buffer) = 0;
    // 2, 4 or 8 name a drive's kind; 0 none, -2 time-out, 1 and 16 refuse, -1 failure.
    virtual int IdentifyDrive(int address) = 0;
    virtual int Purge(int what) = 0;
    virtual int EnterSync() { return 1; }
    virtual void LeaveSync() {}
    virtual int GetPortKind() { return 0; }
    // The size of the next read for a port that hands over whole datagrams
    // (a read with a smaller buffer drops it); 0 for a byte stream.
    virtual int NextReadSize() { return 0; }

    // The thread that reads this port, woken when bytes arrive for Read. A
    // port that wakes it answers true to WakesReader; with any other port
    // the reader keeps looking every cycle.
    void SetReader(CDThread* reader) { m_reader = reader; }
    virtual bool WakesReader() { return false; }

    void SetName(const CString& name);
    BYTE GetOpenState();
    void SetOpenState(BYTE state);

protected:
    void WakeReader();

    CString m_name;
    BYTE m_openState = 0;
    CMutex m_lock;  // guards the open state and the name
    std::atomic<CDThread*> m_reader{nullptr};
};
