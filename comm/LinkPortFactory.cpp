#include "LinkPortFactory.h"

#include "CommManager.h"
#include "CommunicationsModuleSimulator.h"
#include "QVXSerialCommPort.h"

CQVXCommPort* CLinkPortFactory::CreateSerialPort(const CString& portName, DWORD baudRate, int dataBits, int parity,
                                                 int stopBits)
{
    auto* port = new CQVXSerialCommPort(portName, baudRate, static_cast<BYTE>(dataBits), static_cast<BYTE>(parity),
                                        static_cast<BYTE>(stopBits));
    // The port counts its retries and time-outs in the manager's statistics.
    port->SetStatistics(&m_manager.GetStatistics());
    return port;
}

CQVXCommPort* CLinkPortFactory::CreateUdpPort(const CString& /*remoteName*/, const BYTE* /*record*/)
{
    return nullptr;
}

CQVXCommPort* CLinkPortFactory::CreateDemoPort() { return new CCommunicationsModuleSimulator; }
