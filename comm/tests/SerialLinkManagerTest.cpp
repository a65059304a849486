// The whole road over a pseudo-terminal: the communication manager opens the
// serial link, identifies the drives, and reads and writes their registers.
#include "SerialLinkTestSupport.h"
#include "comm/protocol/AmpErrors.h"
#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"

using namespace std::chrono_literals;

namespace {

constexpr int kPosition = 0x4142;

class SerialLinkManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.ok());
        app.m_iniPath = dir.File("kvsettings.ini").c_str();
        manager.SetPortFactory(&factory);
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override { manager.CloseCommunications(); }

    int Open()
    {
        CCommLinkSettings settings;
        settings.m_linkType = kLinkSerial;
        settings.m_comPort = sim.portPath().c_str();
        settings.m_description = "Serial line";
        return manager.OpenCommunications(settings);
    }

    void Submit(DWORD jobId, int address, int code, LONG value, BYTE width, WORD jobFlags = 0)
    {
        CAmpQryCmdFromDistMngr job;
        job.m_address = static_cast<BYTE>(address);
        job.m_code = static_cast<WORD>(code);
        job.SetValue(value, width);
        job.m_jobId = jobId;
        job.m_jobFlags = jobFlags;
        manager.SubmitJob(job);
    }

    bool WaitForResponse(DWORD jobId, CAmpResponseToDistMngr& out, std::chrono::milliseconds within = 3s)
    {
        return WaitFor(
            [&] {
                CAmpResponseToDistMngr response;
                while (manager.GetResponseList().PopResponse(response)) {
                    if (response.m_jobId == jobId) {
                        out = response;
                        return true;
                    }
                }
                return false;
            },
            within);
    }

    TempDir dir;
    SimulatedSerialDrive sim;
    FakeCommServices app;
    CCommManager manager;
    CLinkPortFactory factory{manager};
};

TEST_F(SerialLinkManager, OneDriveIsIdentifiedReadAndWritten)
{
    sim.AddDrive(1, 450);
    sim.SetRegister(1, kPosition, 1234, 4);
    sim.Start();
    app.Assign(1, "Axis");
    ASSERT_EQ(1, Open());
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(-1, boxes[0].Find("     Drive: Axis / Drive Type: KRELN")) << boxes[0].GetString();
    EXPECT_EQ(kFamilyKreln, app.GetDriveFamily(1));
    sim.TakeRequests();

    Submit(11, 1, kPosition, 0, 0);
    CAmpResponseToDistMngr response;
    ASSERT_TRUE(WaitForResponse(11, response));
    EXPECT_EQ(0, response.m_error);
    EXPECT_EQ(1234, response.m_value);
    EXPECT_EQ(1, response.m_address);

    Submit(12, 1, kPosition, -5, 2, kJobReplyOnWriteSuccess);
    ASSERT_TRUE(WaitForResponse(12, response));
    EXPECT_EQ(0, response.m_error);
    EXPECT_EQ(-5, static_cast<int16_t>(sim.GetRegister(1, kPosition).first));
    EXPECT_EQ((std::vector<Bytes>{{0x01, 0x41, 0x42, 0xFE}, {0x41, 0x41, 0x42, 0xFB, 0xFF, 0xBE}}),
              sim.TakeRequests());
}

TEST_F(SerialLinkManager, AMultiDropLineCarriesPaddedRequestsToEachDrive)
{
    sim.AddDrive(1, 450);
    sim.AddDrive(2, 650);
    sim.SetRegister(1, kPosition, 10, 2);
    sim.SetRegister(2, kPosition, 20, 2);
    sim.Start();
    app.Assign(1, "Left");
    app.Assign(2, "Right");
    ASSERT_EQ(1, Open());
    EXPECT_EQ(kFamilyTavro, app.GetDriveFamily(2));
    sim.TakeRequests();

    Submit(21, 1, kPosition, 0, 0);
    Submit(22, 2, kPosition, 0, 0);
    CAmpResponseToDistMngr first;
    CAmpResponseToDistMngr second;
    ASSERT_TRUE(WaitForResponse(21, first));
    ASSERT_TRUE(WaitForResponse(22, second));
    EXPECT_EQ(10, first.m_value);
    EXPECT_EQ(20, second.m_value);
    EXPECT_EQ((std::vector<Bytes>{{0x01, 0x41, 0x42, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF},
                                  {0x02, 0x41, 0x42, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF}}),
              sim.TakeRequests());
}

TEST_F(SerialLinkManager, ADriveThatGoesSilentAnswersOfflineAndComesBack)
{
    auto& drive = sim.AddDrive(1, 450);
    sim.AddDrive(2, 650);
    sim.Start();
    app.Assign(1, "Left");
    app.Assign(2, "Right");
    ASSERT_EQ(1, Open());

    drive.silent = true;
    Submit(31, 1, kPosition, 0, 0);
    CAmpResponseToDistMngr response;
    ASSERT_TRUE(WaitForResponse(31, response));
    EXPECT_EQ(AMP_ERR_DRIVE_OFFLINE, response.m_error);
    EXPECT_EQ(1, app.CountAlerts("SER_COMM_LOSTCONNECTION"));
    EXPECT_EQ(kCommSomeDrivesLost, app.Status());
    EXPECT_EQ(3, manager.GetStatistics().GetStatistics(kStatReplyTimeout)->GetCount());
    EXPECT_EQ(3, manager.GetStatistics().GetStatistics(kStatSerialRetry)->GetCount());

    drive.silent = false;
    ASSERT_TRUE(WaitFor([&] { return app.CountAlerts("SER_COMM_REESTABLISHED") == 1; }, 4s));
    EXPECT_TRUE(app.Reconnected());
    Submit(32, 1, 22706, 0, 0);
    ASSERT_TRUE(WaitForResponse(32, response));
    EXPECT_EQ(0, response.m_error);
    EXPECT_EQ(450, response.m_value);
}

TEST_F(SerialLinkManager, ALineClosedUnderTheLinkRaisesAnAlertAndClosesCleanly)
{
    sim.AddDrive(1, 450);
    sim.Start();
    app.Assign(1, "Axis");
    ASSERT_EQ(1, Open());
    sim.Unplug();
    Submit(41, 1, kPosition, 0, 0);
    CAmpResponseToDistMngr response;
    ASSERT_TRUE(WaitForResponse(41, response));
    EXPECT_TRUE(response.m_error == AMP_ERR_COMM_WRITE || response.m_error == AMP_ERR_COMM_READ) << response.m_error;
    EXPECT_EQ(1, app.CountAlerts("SER_WRITE_ERROR") + app.CountAlerts("SER_READ_TO_ERROR"));
    const auto before = std::chrono::steady_clock::now();
    manager.CloseCommunications();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_FALSE(manager.IsOpen());
}

TEST_F(SerialLinkManager, SynchronousModeTalksToTheDriveDirectly)
{
    sim.AddDrive(1, 450);
    sim.SetRegister(1, kPosition, 99, 2);
    sim.Start();
    app.Assign(1, "Axis");
    ASSERT_EQ(1, Open());
    ASSERT_EQ(1, manager.EnterSynchronousMode());
    CAmpResponseMsg response;
    EXPECT_EQ(1, manager.SendReceiveSynchronous(CAmpMsg(1, kPosition, 0, 0), response, 1000));
    EXPECT_EQ(0, response.m_error);
    EXPECT_EQ(99, response.m_value);
    EXPECT_EQ(1, manager.SendReceiveSynchronous(CAmpMsg(1, kPosition, 55, 2), response, 1000));  // echoed
    EXPECT_EQ(55, sim.GetRegister(1, kPosition).first);
    manager.LeaveSynchronousMode();

    Submit(51, 1, kPosition, 0, 0);
    CAmpResponseToDistMngr queued;
    ASSERT_TRUE(WaitForResponse(51, queued));
    EXPECT_EQ(55, queued.m_value);
}

TEST_F(SerialLinkManager, ThePortInUseCannotBeOpened)
{
    sim.AddDrive(1, 450);
    sim.Start();
    app.Assign(1, "Axis");
    CSerial holder;
    ASSERT_EQ(ERROR_SUCCESS, holder.Open(sim.portPath().c_str()));
    EXPECT_EQ(0, Open());
    EXPECT_FALSE(manager.IsOpen());
}

}  // namespace
