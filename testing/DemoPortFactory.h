// A port factory for tests on the demo link that keeps the simulator it makes,
// so a test can look into its register model.
#pragma once

#include "comm/link/CommPortFactory.h"
#include "comm/demo/CommunicationsModuleSimulator.h"

class DemoPortFactory : public CCommPortFactory {
public:
    CQVXCommPort* CreateSerialPort(const CString&, DWORD, int, int, int) override { return nullptr; }
    CQVXCommPort* CreateUdpPort(const CString&, const BYTE*) override { return nullptr; }
    CQVXCommPort* CreateDemoPort() override { return m_simulator = new CCommunicationsModuleSimulator; }

    CCommunicationsModuleSimulator* m_simulator = nullptr;
};
