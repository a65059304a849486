// CLinkPortFactory: the ports the program opens: the serial link port and
// the demo simulator. The UDP port comes with the network link.
#pragma once

#include "CommPortFactory.h"

class CCommManager;

class CLinkPortFactory : public CCommPortFactory {
public:
    explicit CLinkPortFactory(CCommManager& manager) : m_manager(manager) {}

    CQVXCommPort* CreateSerialPort(const CString& portName, DWORD baudRate, int dataBits, int parity,
                                   int stopBits) override;
    CQVXCommPort* CreateUdpPort(const CString& remoteName, const BYTE* record) override;
    CQVXCommPort* CreateDemoPort() override;

private:
    CCommManager& m_manager;
};
