// A communication manager whose cycle the test runs by hand, on a frozen clock,
// against a test port; and a port factory that hands out test ports.
#pragma once

#include <functional>

#include "testing/TestAppServices.h"
#include "testing/TestCommPort.h"
#include "comm/link/CommManager.h"
#include "comm/link/CommPortFactory.h"
#include "platform/core/Clock.h"

class TestableCommManager : public CCommManager {
public:
    using CCommManager::AttachPort;
    using CCommManager::FlushTransmit;
    using CCommManager::ReadPort;
    using CCommManager::Step;

    TestCommPort* AttachTestPort(bool open = true)
    {
        auto* port = new TestCommPort;
        port->SetOpenState(1);
        AttachPort(port, open ? TRUE : FALSE);
        return port;
    }
    // One cycle, 2 ms after the last on the frozen clock, so it flushes.
    void Cycle()
    {
        kvtest::AdvanceClock(2);
        Step();
    }
};

class TestPortFactory : public CCommPortFactory {
public:
    std::function<void(TestCommPort&)> m_setUp;
    TestCommPort* m_last = nullptr;
    int m_serialMade = 0;
    int m_udpMade = 0;
    int m_demoMade = 0;
    CString m_lastPortName;

    CQVXCommPort* CreateSerialPort(const CString& portName, DWORD, int, int, int) override
    {
        ++m_serialMade;
        m_lastPortName = portName;
        return Make();
    }
    CQVXCommPort* CreateUdpPort(const CString& remoteName, const BYTE*) override
    {
        ++m_udpMade;
        m_lastPortName = remoteName;
        return Make();
    }
    CQVXCommPort* CreateDemoPort() override
    {
        ++m_demoMade;
        return Make();
    }

private:
    TestCommPort* Make()
    {
        m_last = new TestCommPort;
        if (m_setUp)
            m_setUp(*m_last);
        return m_last;
    }
};

// Freezes the clock for a test and thaws it afterwards.
class FrozenClock {
public:
    FrozenClock() { kvtest::FreezeClock(1000000); }
    ~FrozenClock() { kvtest::ThawClock(); }
};
