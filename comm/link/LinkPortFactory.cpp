#include "comm/link/LinkPortFactory.h"

#include "comm/link/CommManager.h"
#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/serial/QVXSerialCommPort.h"
#include "comm/udp/QVX_UDPCommPort.h"

CQVXCommPort* CLinkPortFactory::CreateSerialPort(const CString& portName, DWORD baudRate, int dataBits, int parity,
                                                 int stopBits)
{
    auto* port = new CQVXSerialCommPort(portName, baudRate, static_cast<BYTE>(dataBits), static_cast<BYTE>(parity),
                                        static_cast<BYTE>(stopBits));
    // The port counts its retries and time-outs in the manager's statistics.
    port->SetStatistics(&m_manager.GetStatistics());
    return port;
}

CQVXCommPort* CLinkPortFactory::CreateUdpPort(const CString& remoteName, const BYTE* record)
{
    if (remoteName.IsEmpty() || !record)
        return nullptr;
    auto* port = new CQVX_UDPCommPort(remoteName, MakeRemotePollData(record, sizeof(QVXREMOTEPOLLDATA)));
    port->SetStatistics(&m_manager.GetStatistics());
    return port;
}

CQVXCommPort* CLinkPortFactory::CreateDemoPort() { return new CCommunicationsModuleSimulator; }
