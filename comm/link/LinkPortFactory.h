// CLinkPortFactory: the ports the program opens: the serial link port, the
// UDP link port to a module on the network and the demo simulator.
#pragma once

#include "comm/link/CommPortFactory.h"

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
