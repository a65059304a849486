// The whole engine on the demo link: the manager opens the simulator, scans
// it and reads and writes the simulated drives' registers.
#include <gtest/gtest.h>

#include "testing/TestAppServices.h"
#include "comm/protocol/AmpErrors.h"
#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "comm/link/QVXCommPort.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace {

class DemoLinkTest : public ::testing::Test {
protected:
    DemoLinkTest()
    {
        app.m_iniPath = home.File("kvsettings.ini");
        app.m_assignments = {{0, "Module"}, {1, "Kreln"}, {2, "Tavro"}};
        manager.SetPortFactory(&factory);
    }
    ~DemoLinkTest() override { manager.CloseCommunications(); }

    CAmpResponseToDistMngr Ask(int address, const char* mnemonic, LONG value = 0, int width = 0, WORD flags = 0)
    {
        CAmpQryCmdFromDistMngr job;
        job.m_address = static_cast<BYTE>(address);
        job.m_code = static_cast<WORD>(MnemonicToCode(mnemonic));
        job.SetValue(value, static_cast<BYTE>(width));
        job.m_jobId = ++m_lastJobId;
        job.m_jobFlags = flags;
        manager.SubmitJob(job);
        CAmpResponseToDistMngr response;
        EXPECT_TRUE(WaitFor([&] { return manager.GetResponseList().PopResponse(response); }));
        EXPECT_EQ(response.m_jobId, m_lastJobId);
        return response;
    }

    TempDir home;
    TestAppServices app;
    CCommManager manager;
    CLinkPortFactory factory{manager};
    DWORD m_lastJobId = 0;
};

}  // namespace

TEST_F(DemoLinkTest, ScanFindsTheModuleAndBothDrives)
{
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    EXPECT_EQ(manager.GetPortName(), "DEMO Drive");
    const auto drives = app.Connected();
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].m_family, kFamilyCommModule);
    EXPECT_EQ(drives[1].m_family, kFamilyKreln);
    EXPECT_EQ(drives[2].m_family, kFamilyTavro);
}

TEST_F(DemoLinkTest, RegistersRoundTripThroughTheEngine)
{
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    const auto version = Ask(1, "VER");
    EXPECT_EQ(version.m_error, 0);
    EXPECT_EQ(version.m_value, 416);
    EXPECT_EQ(Ask(2, "VER").m_value, 510);

    const auto written = Ask(2, "CS", 42, 1, kJobReplyOnWriteSuccess);
    EXPECT_EQ(written.m_error, 0);
    EXPECT_EQ(Ask(2, "CS").m_value, 42);

    EXPECT_EQ(Ask(1, "ZZZ").m_error, AMP_ERR_INVALID_COMMAND);
    EXPECT_EQ(Ask(5, "VER").m_error, AMP_ERR_INVALID_ADDRESS);
}

TEST_F(DemoLinkTest, ReopeningStartsFromTheConstructionValues)
{
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    Ask(1, "CS", 99, 1, kJobReplyOnWriteSuccess);
    manager.CloseCommunications();
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    EXPECT_EQ(Ask(1, "CS").m_value, 21);
}
