// The engine on the demo link, as tests of several folders run it: the link
// open on the simulated module with its Kreln drive at 1 and Tavro drive at
// 2, and the distribution manager started and installed.
#pragma once

#include <gtest/gtest.h>

#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "platform/core/MessageBox.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

class DemoEngine {
public:
    // Call from a fixture's SetUp (it asserts).
    void Open()
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        m_comm.SetPortFactory(&m_factory);
        AfxTakeScriptedMessageLog();
        ASSERT_EQ(m_comm.OpenDemoCommunications(), 1);
        CDistManager::Install(&m_dist);
        ASSERT_TRUE(m_dist.Start());
    }
    void Close()
    {
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
    }
    // A register of the simulated drive as the simulator holds it.
    LONG Model(int address, WORD code)
    {
        LONG value = 0;
        m_factory.m_simulator->Model().GetRegister(address, code, value);
        return value;
    }

    TempDir m_home;
    TestAppServices m_app;
    DemoPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
};
