// CCommPortFactory: makes the ports the communication manager opens. The
// serial, UDP and demo ports plug in here; a factory answers null for a kind
// it cannot make, and the open then fails.
#pragma once

#include "comm/link/QVXCommPort.h"

class CCommPortFactory {
public:
    virtual ~CCommPortFactory() = default;

    virtual CQVXCommPort* CreateSerialPort(const CString& portName, DWORD baudRate, int dataBits, int parity,
                                           int stopBits) = 0;
    // record: the module's 54-byte discovery answer.
    virtual CQVXCommPort* CreateUdpPort(const CString& remoteName, const BYTE* record) = 0;
    virtual CQVXCommPort* CreateDemoPort() = 0;
};
