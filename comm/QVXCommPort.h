// PROVISIONAL: replaced by the port base of the communication manager branch.
#pragma once

#include "platform/core/Mutex.h"
#include "platform/core/String.h"

class CQVXCommPort {
public:
    virtual ~CQVXCommPort() = default;
    virtual int Open(const char* argument) = 0;
    virtual int Close() = 0;
    virtual CString GetName() const { return m_name; }
    virtual int Write(int count, const BYTE* bytes) = 0;
    virtual int Read(int maximum, BYTE* buffer) = 0;
    virtual int IdentifyDrive(int address) = 0;
    virtual void Purge(int argument) = 0;
    virtual void EnterSync() {}
    virtual void LeaveSync() {}
    virtual int QueryPortKind() { return 0; }

protected:
    CString m_name;
    BYTE m_openState = 0;
    CMutex m_portLock;
};
