#include <gtest/gtest.h>

#include "CommTestSupport.h"
#include "comm/protocol/AmpErrors.h"
#include "comm/trace/CommDebugTrace.h"
#include "comm/trace/CommManagerTraceClient.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace {

CAmpQryCmdFromDistMngr MakeJob(DWORD id, BYTE address, WORD code, WORD flags = 0x14)
{
    CAmpQryCmdFromDistMngr job;
    job.m_jobId = id;
    job.m_address = address;
    job.m_code = code;
    job.m_jobFlags = flags;
    return job;
}

CAmpQryCmdFromDistMngr MakeWrite(DWORD id, BYTE address, WORD code, LONG value, WORD flags)
{
    CAmpQryCmdFromDistMngr job = MakeJob(id, address, code, flags);
    job.SetValueAuto(value);
    return job;
}

std::vector<CAmpResponseToDistMngr> TakeResponses(CCommManager& manager)
{
    std::vector<CAmpResponseToDistMngr> responses;
    CAmpResponseToDistMngr response;
    while (manager.GetResponseList().PopResponse(response))
        responses.push_back(response);
    return responses;
}

struct CommManagerTest : ::testing::Test {
    CommManagerTest()
    {
        port = manager.AttachTestPort();
        for (int address : {1, 2, 3})
            manager.GetDriveNames().SetName(address, address == 2 ? "Axis2" : "Drive");
    }
    // Submits and frames the jobs, and forgets what was written.
    void SubmitAndSend(std::initializer_list<CAmpQryCmdFromDistMngr> jobs)
    {
        for (const auto& job : jobs)
            manager.SubmitJob(job);
        manager.Cycle();
        port->TakeWritten();
    }
    void Reply(const CAmpMsg& frame)
    {
        port->QueueFrame(frame);
        manager.Cycle();
    }

    FrozenClock clock;
    TestAppServices app;
    TestableCommManager manager;
    TestCommPort* port;
};

}  // namespace

TEST_F(CommManagerTest, SubmitAnswersErrorsAndQueuesNothingThen)
{
    SubmitAndSend({MakeJob(7, 2, 500)});
    manager.SubmitJob(MakeJob(7, 2, 501));    // duplicate id
    manager.SubmitJob(MakeJob(8, 9, 500));    // no drive 9
    manager.SubmitJob(MakeJob(9, 0, 500));    // the module needs no name
    EXPECT_EQ(manager.GetJobQueue().GetCount(), 2);
    auto responses = TakeResponses(manager);
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].m_error, AMP_ERR_DUPLICATE_JOB);
    EXPECT_EQ(responses[0].m_code, 501);
    EXPECT_EQ(responses[0].m_jobId, 7u);
    EXPECT_EQ(responses[1].m_error, AMP_ERR_INVALID_ADDRESS);
    EXPECT_EQ(responses[1].m_address, 9);

    manager.CloseCommunications();
    manager.SubmitJob(MakeJob(10, 2, 500));
    responses = TakeResponses(manager);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].m_error, AMP_ERR_COMM_NOT_ENABLED);
    EXPECT_EQ(manager.GetJobQueue().GetCount(), 0) << "a job answered at once is not queued as well";
}

TEST_F(CommManagerTest, OneReplyFinishesEveryWaitingReadInQueueOrder)
{
    SubmitAndSend({MakeJob(1, 2, 500), MakeJob(2, 3, 500), MakeJob(3, 2, 500), MakeJob(4, 2, 501),
                   MakeJob(5, 2, 500)});
    Reply(CAmpMsg(2, 500, 42, 2));
    const auto responses = TakeResponses(manager);
    ASSERT_EQ(responses.size(), 3u);
    EXPECT_EQ(responses[0].m_jobId, 1u);
    EXPECT_EQ(responses[1].m_jobId, 3u);
    EXPECT_EQ(responses[2].m_jobId, 5u);
    for (const auto& response : responses) {
        EXPECT_EQ(response.m_value, 42);
        EXPECT_EQ(response.m_width, 2);
        EXPECT_EQ(response.m_error, 0);
    }
    EXPECT_EQ(manager.GetJobQueue().GetCount(), 2);
}

TEST_F(CommManagerTest, WriteRepliesFollowTheJobFlags)
{
    struct Case { WORD flags; bool error; bool handedOn; };
    const Case cases[] = {
        {0x00, false, false}, {0x10, false, true}, {0x04, false, false},
        {0x00, true, false},  {0x04, true, true},  {0x10, true, false},
    };
    DWORD id = 100;
    for (const Case& c : cases) {
        SubmitAndSend({MakeWrite(++id, 1, 700, 9, c.flags)});
        if (c.error)
            Reply(CAmpMsg(1, 98, (4 << 16) | (700 & 0xFF) << 8 | (700 >> 8), 3));
        else
            Reply(CAmpMsg(1, 700, 9, 1));
        const auto responses = TakeResponses(manager);
        EXPECT_EQ(manager.GetJobQueue().GetCount(), 0) << "flags " << c.flags;
        ASSERT_EQ(responses.size(), c.handedOn ? 1u : 0u) << "flags " << c.flags << " error " << c.error;
        if (c.handedOn && c.error) {
            EXPECT_EQ(responses[0].m_error, AMP_ERR_INVALID_ARGUMENT);
            EXPECT_EQ(responses[0].m_value, 9) << "an error keeps the job's value";
        }
    }
}

TEST_F(CommManagerTest, SubCommandsAreAnsweredInOrder)
{
    CAmpQryCmdFromDistMngr job = MakeJob(1, 2, 900);
    job.AddCommand(901, -5);
    job.AddCommand(902, 300);
    SubmitAndSend({job});
    Reply(CAmpMsg(2, 902, 300, 2));  // out of order: ignored
    Reply(CAmpMsg(2, 900, 1, 1));    // the job's own code before its sub-commands: ignored
    Reply(CAmpMsg(2, 901, 0xFB, 1));
    Reply(CAmpMsg(2, 902, 300, 2));
    EXPECT_TRUE(TakeResponses(manager).empty());
    Reply(CAmpMsg(2, 900, 77, 1));
    const auto responses = TakeResponses(manager);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].m_value, 77);
    EXPECT_EQ(responses[0].m_subCommands.GetCount(), 2);
}

TEST_F(CommManagerTest, BlockTransferJobsStayQueuedAndStreamFollowUps)
{
    // The stream's job: never framed, answered by every in-progress frame.
    CAmpQryCmdFromDistMngr stream = MakeJob(50, 1, kCodeOSB, kJobBlockTransfer);
    stream.SetValue(0x10000, 4);
    SubmitAndSend({stream});
    EXPECT_TRUE(port->TakeWritten().empty());
    // A start reply (class 2) does not answer a class-1 job.
    Reply(CAmpMsg(1, kCodeOSB, 0x3412, 2));
    EXPECT_TRUE(TakeResponses(manager).empty());

    // Once the stream runs, its data comes with the drives' time stamps.
    auto reply = [&](const CAmpMsg& msg, DWORD stampMs, bool stamped) {
        port->QueueFrame(msg);
        if (stamped)
            port->QueueFrame(CAmpMsg(0, kCodeTSR, static_cast<LONG>(stampMs), 2));
        manager.Cycle();
    };
    DWORD stamp = 100;
    for (int frame = 0; frame < 3; ++frame) {
        reply(CAmpMsg(1, kCodeOSB, 0x00013412, 4), stamp++, frame > 0);
        auto responses = TakeResponses(manager);
        ASSERT_EQ(responses.size(), 1u);
        EXPECT_EQ(responses[0].m_blockFlag, 1);
        EXPECT_EQ(responses[0].m_jobId, 50u);
        // The streamed register's job is never framed; its first turns the time stamps on.
        const auto sent = port->TakeWrittenFrames();
        if (frame == 0) {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].m_code, kCodeTRE);
            EXPECT_EQ(sent[0].m_value, 1);
        } else {
            EXPECT_TRUE(sent.empty());
        }
        // ...and answers each streamed value under the transfer's id.
        for (LONG value : {8, 9}) {
            reply(CAmpMsg(1, 0x1234, value, 1), stamp, true);
            responses = TakeResponses(manager);
            ASSERT_EQ(responses.size(), 1u);
            EXPECT_EQ(responses[0].m_jobId, 50u);
            EXPECT_EQ(responses[0].m_value, value);
            EXPECT_EQ(responses[0].m_blockFlag, 1);
            EXPECT_EQ(responses[0].m_timeStampValid, 1);
            EXPECT_EQ(responses[0].m_timeStamp, stamp++);
        }
    }
    // Repeated in-progress frames keep one follow-up.
    EXPECT_EQ(manager.GetJobQueue().GetCount(), 2);
    // Cancelling the stream stops it at the drive and removes its follow-up.
    EXPECT_EQ(manager.CancelJob(50), 1);
    EXPECT_EQ(manager.GetJobQueue().GetCount(), 0);
    manager.Cycle();
    const auto written = port->TakeWrittenFrames();
    ASSERT_EQ(written.size(), 3u);  // the stop, then CSE = 0 and TRE = 0 now no block job is queued
    EXPECT_EQ(written[0].m_code, kCodeOSB);
    EXPECT_EQ(written[0].m_width, 4);
    EXPECT_EQ(written[0].m_value, 0);
    EXPECT_EQ(written[2].m_code, kCodeTRE);
    EXPECT_EQ(written[2].m_value, 0);
    EXPECT_EQ(manager.CancelJob(50), 0);
}

TEST_F(CommManagerTest, UnansweredReadTimesOutOnce)
{
    CAmpQryCmdFromDistMngr job = MakeJob(5, 2, 500);
    job.m_timeout = 3;
    SubmitAndSend({job});
    int waitedMs = 0;
    std::vector<CAmpResponseToDistMngr> responses;
    while (responses.empty() && waitedMs < 10000) {
        kvtest::AdvanceClock(48);
        waitedMs += 50;
        manager.Cycle();
        responses = TakeResponses(manager);
    }
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].m_error, AMP_ERR_RESPONSE_TIMEOUT);
    EXPECT_EQ(responses[0].m_jobId, 5u);
    EXPECT_GE(waitedMs, 3000);
    EXPECT_LE(waitedMs, 4000 + 100);
    const auto alerts = app.TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].key, "COMMAND_TIMEOUT");
    EXPECT_EQ(alerts[0].text, "Timeout occurred on expected reply from drive \"Axis2\".");
    EXPECT_EQ(alerts[0].drive, 2);
    EXPECT_EQ(manager.GetStatistics().GetStatistics(kStatReplyTimeout)->GetCount(), 1);
    EXPECT_EQ(manager.GetStatistics().GetStatistics(CCommStatistics::DriveKey(2, kStatReplyTimeout))->GetCount(), 1);
    kvtest::AdvanceClock(5000);
    manager.Cycle();
    EXPECT_TRUE(TakeResponses(manager).empty());
}

TEST_F(CommManagerTest, TimeStampModeFollowsTheQueuedJobs)
{
    SubmitAndSend({MakeJob(1, 2, 500, 0x02)});
    // The cycle framed TRE = 1 before the job.
    manager.SubmitJob(MakeJob(2, 2, 501, 0x02));
    manager.Cycle();
    auto written = port->TakeWrittenFrames();
    ASSERT_EQ(written.size(), 1u) << "TRE is sent once";
    EXPECT_EQ(written[0].m_code, 501);
    manager.CancelJob(1);
    manager.CancelJob(2);
    manager.Cycle();
    written = port->TakeWrittenFrames();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].m_code, kCodeTRE);
    EXPECT_EQ(written[0].m_value, 0);
    EXPECT_EQ(written[0].m_address, 0);
}

TEST_F(CommManagerTest, IdleCycleWritesNothing)
{
    const int calls = port->GetWriteCalls();
    manager.Cycle();
    manager.Cycle();
    EXPECT_EQ(port->GetWriteCalls(), calls);
}

namespace {
struct CountingClient : CCommManagerTraceClient {
    int CountRead()
    {
        int count = 0;
        CAmpMsg message;
        DWORD tag;
        while (GetNextItem(message, tag))
            count += tag == 0;
        return count;
    }
};
}  // namespace

TEST_F(CommManagerTest, PortReadNeverOverflowsTheReceiveRing)
{
    CountingClient client;
    manager.AddClient(&client);
    std::vector<BYTE> flood;
    for (int i = 0; i < 1500; ++i) {
        const auto frame = EncodeFrame(CAmpMsg(1, static_cast<WORD>(1000 + i), i & 0x7F, 1));
        flood.insert(flood.end(), frame.begin(), frame.end());
    }
    port->QueueInput(flood);
    SubmitAndSend({MakeJob(1, 1, 1000 + 1499)});
    int cycles = 0;
    while (port->PendingInput() > 0 && cycles++ < 100)
        manager.Cycle();
    manager.Cycle();
    const auto responses = TakeResponses(manager);
    ASSERT_EQ(responses.size(), 1u) << "the last frame of the flood was not lost";
    EXPECT_EQ(responses[0].m_value, 1499 & 0x7F);
    EXPECT_EQ(client.CountRead(), 1500) << "every frame arrived whole";
    EXPECT_EQ(app.CountAlerts("RX_DATA_ERROR"), 0);
}

TEST_F(CommManagerTest, RawBlocksGoOutBetweenTheirMarkers)
{
    const BYTE block[] = {1, 2, 3, 4, 5, 6, 7};
    manager.AddRawBlock(block, sizeof(block));
    manager.Cycle();
    const auto bytes = port->TakeWritten();
    std::vector<BYTE> expected = EncodeFrame(CAmpMsg(0, kCodeAPE, 0, 1));
    expected.insert(expected.end(), block, block + sizeof(block));
    const auto on = EncodeFrame(CAmpMsg(0, kCodeAPE, 1, 1));
    expected.insert(expected.end(), on.begin(), on.end());
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(manager.GetRawBlockCount(), 0);

    // A block that could never fit the ring is dropped with an alert, not retried for ever.
    const std::vector<BYTE> huge(5000, 9);
    manager.AddRawBlock(huge.data(), static_cast<int>(huge.size()));
    manager.AddRawBlock(block, sizeof(block));
    manager.Cycle();
    EXPECT_EQ(manager.GetRawBlockCount(), 0);
    EXPECT_EQ(app.CountAlerts("TX_BUFF_OVRFLW"), 1);
}

TEST_F(CommManagerTest, FailedPortWriteIsCountedAndRaised)
{
    port->m_failWrites = true;
    manager.SubmitJob(MakeJob(1, 1, 500));
    manager.Cycle();
    EXPECT_EQ(app.CountAlerts("TX_WRITE_ERROR"), 1);
    EXPECT_EQ(manager.GetStatistics().GetStatistics(kStatWriteError)->GetCount(), 1);
}

TEST_F(CommManagerTest, UnmatchedPsdAndApeRepliesAreCounted)
{
    Reply(CAmpMsg(1, kCodePSD, 1, 1));
    Reply(CAmpMsg(0, kCodeAPE, 1, 1));
    Reply(CAmpMsg(0, kCodeAPE, 1, 1));
    Reply(CAmpMsg(0, 4444, 1, 1));
    EXPECT_EQ(manager.GetJobQueue().GetUnmatchedCount(0), 1);
    EXPECT_EQ(manager.GetJobQueue().GetUnmatchedCount(1), 2);
}

TEST_F(CommManagerTest, SynchronousModeTalksToThePortDirectly)
{
    port->SetResponder([](const CAmpMsg& frame, TestCommPort& p) {
        if (frame.m_code == 321)
            p.QueueFrame(CAmpMsg(frame.m_address, 321, 55, 1));
    });
    CAmpResponseMsg response;
    EXPECT_EQ(manager.SendReceiveSynchronous(CAmpMsg(2, 321, 0, 0), response, 50), 0) << "only in synchronous mode";
    ASSERT_EQ(manager.EnterSynchronousMode(), 1);
    EXPECT_EQ(port->m_syncEntered, 1);
    ASSERT_EQ(manager.SendReceiveSynchronous(CAmpMsg(2, 321, 0, 0), response, 200), 1);
    EXPECT_EQ(response.m_value, 55);
    EXPECT_EQ(manager.SendReceiveSynchronous(CAmpMsg(2, 322, 4, 1), response, 50), 0);
    EXPECT_EQ(response.m_error, AMP_ERR_RESPONSE_TIMEOUT);
    EXPECT_EQ(response.m_code, 322);
    EXPECT_EQ(response.m_value, 4);
    EXPECT_EQ(port->m_purges, 2);
    manager.LeaveSynchronousMode();
    EXPECT_EQ(port->m_syncLeft, 1);
}

// ---- Opening the link ---------------------------------------------------------

namespace {

struct OpenTest : ::testing::Test {
    OpenTest()
    {
        app.m_iniPath = home.File("kvsettings.ini");
        app.m_assignments = {{1, "Left"}, {2, "Right"}, {3, "Spare"}};
        factory.m_setUp = [this](TestCommPort& port) {
            port.EchoAll();
            port.m_identify = identify;
            port.m_destroyedFlag = &portDestroyed;
        };
        manager.SetPortFactory(&factory);
        // The test port answers at once: a short quiet spell and start-up wait keep the tests quick.
        CommSettleLimits limits;
        limits.quietMs = 30;
        limits.startupMs = 200;
        limits.setupMs = 300;
        manager.SetSettleLimits(limits);
        settings.m_linkType = kLinkSerial;
        settings.m_comPort = "/dev/ttyUSB0";
        settings.m_description = "USB serial";
        settings.m_binaryCom = 7;
        AfxTakeScriptedMessageLog();
    }
    ~OpenTest() override { manager.CloseCommunications(); }

    TempDir home;
    TestAppServices app;
    TestPortFactory factory;
    CCommManager manager;
    CCommLinkSettings settings;
    std::map<int, int> identify{{1, kFamilyKreln}, {2, kFamilyTavro}};
    int portDestroyed = 0;
};

}  // namespace

TEST_F(OpenTest, OpenScansStartsUpAndRunsTheCycle)
{
    ASSERT_EQ(manager.OpenCommunications(settings), 1);
    EXPECT_TRUE(manager.IsOpen());
    EXPECT_EQ(CCommManager::GetLinkState(), 1);
    EXPECT_EQ(manager.GetPortName(), "USB serial");
    EXPECT_EQ(factory.m_lastPortName, "/dev/ttyUSB0");
    EXPECT_EQ(app.m_clearAllCalls, 1);
    const auto log = AfxTakeScriptedMessageLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].Find("The following drives were detected:\r\n     Drive: Left / Drive Type: KRELN\r\n"
                          "     Drive: Right / Drive Type: TAVRO\r\n     Drive: Spare / Drive Type: None detected\r\n"),
              -1)
        << log[0].GetString();
    const auto connected = app.Connected();
    ASSERT_EQ(connected.size(), 2u);
    EXPECT_EQ(connected[1].m_family, kFamilyTavro);
    char value[16];
    GetPrivateProfileString("OPEN COMMUNICATIONS", "Binary_Com", "", value, sizeof(value), app.m_iniPath.c_str());
    EXPECT_STREQ(value, "7");

    // Only drives that answered keep a name; the echoing port answered both.
    CString name;
    EXPECT_TRUE(manager.GetDriveNames().FindDriveName(2, name));
    EXPECT_EQ(name, "Right");
    EXPECT_FALSE(manager.GetDriveNames().HasDrive(3));
    EXPECT_EQ(CAmpMsg(2, 1, 0, 0).ToString(), "@2:A") << "the base message text does not look names up";
    CCompoundAmpMsg named(2, 1, 0, 0);
    EXPECT_EQ(named.ToString(), "Right:A");

    // The start-up frames, in order.
    const auto written = factory.m_last->TakeWrittenFrames();
    std::vector<std::pair<int, int>> heads;
    for (const CAmpMsg& frame : written)
        heads.emplace_back(frame.m_address, frame.m_code);
    const std::vector<std::pair<int, int>> expected = {
        {0, kCodeVRM}, {1, kCodeVRM}, {2, kCodeVRM}, {0, kCodeRQE}, {0, kCodeAPE}, {0, kCodeTRE},
        {1, kCodeOSA}, {1, 15970},   {1, 15971},   {1, kCodeOSD}, {2, kCodeOSA}, {2, 15970},
        {2, 15971},   {2, kCodeOSD}, {3, kCodeOSA}, {3, 15970},   {3, 15971},   {3, kCodeOSD},
        {1, kCodeVRM}, {2, kCodeVRM}, {3, kCodeVRM}};
    EXPECT_EQ(heads, expected);

    // The thread runs the road of one query.
    manager.SubmitJob(MakeJob(77, 1, 600));
    CAmpResponseToDistMngr response;
    ASSERT_TRUE(WaitFor([&] { return manager.GetResponseList().PopResponse(response); }));
    EXPECT_EQ(response.m_jobId, 77u);
    EXPECT_EQ(response.m_error, 0);

    manager.CloseCommunications();
    EXPECT_FALSE(manager.IsOpen());
    EXPECT_EQ(portDestroyed, 1);
    EXPECT_EQ(CCommManager::GetLinkState(), 0);
}

TEST_F(OpenTest, ScanOutcomesThatShutTheLink)
{
    struct Case { std::map<int, int> codes; const char* text; };
    const Case cases[] = {
        {{}, "No drives were detected on this connection.  Communication will be shut down now."},
        {{{1, kFamilyKreln}, {2, kFamilyZuvan}},
         "Zuvan series drive detected.  Please connect an Kreln or Tavro series drive.  Communication will be shut "
         "down now."},
        {{{1, kFamilyUnknown}}, "Connection or unknown drive.  Communication will be shut down now."},
        {{{1, -1}}, "Connection or unknown drive.  Communication will be shut down now."},
    };
    for (const Case& c : cases) {
        identify = c.codes;
        const int clears = app.m_clearAllCalls;
        EXPECT_EQ(manager.OpenCommunications(settings), 0) << c.text;
        EXPECT_FALSE(manager.IsOpen());
        EXPECT_EQ(app.m_clearAllCalls, clears + 1) << "alerts are cleared whether the open succeeded or not";
        const auto log = AfxTakeScriptedMessageLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].Find(c.text), -1) << log[0].GetString();
        manager.CloseCommunications();
    }
}

TEST_F(OpenTest, SilentLineFailsTheStartUp)
{
    factory.m_setUp = [this](TestCommPort& port) { port.m_identify = identify; };
    EXPECT_EQ(manager.OpenCommunications(settings), 0);
    EXPECT_FALSE(manager.IsOpen());
    EXPECT_EQ(CCommManager::GetLinkState(), 0);
}

TEST_F(OpenTest, MissingPortNameCreatesNoPort)
{
    settings.m_comPort = "";
    EXPECT_EQ(manager.OpenCommunications(settings), 0);
    EXPECT_EQ(factory.m_serialMade, 0);
    settings.m_linkType = kLinkUdp;
    settings.m_remoteName = "Module-7";
    WritePrivateProfileString("LINK TYPE", "Type", "0", app.m_iniPath.c_str());
    EXPECT_EQ(manager.OpenCommunications(settings), 1);
    EXPECT_EQ(factory.m_udpMade, 1);
}

namespace {
struct StatisticsWindow : CCommStatisticsView {
    int hidden = 0;
    void HideStatistics() override { ++hidden; }
};
}  // namespace

TEST_F(OpenTest, DemoLinkOpensAndClosesLikeAnyOther)
{
    StatisticsWindow window;
    manager.GetStatistics().SetWindow(&window);
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    EXPECT_TRUE(manager.IsOpen());
    EXPECT_TRUE(manager.IsDemo());
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty()) << "the demo scan shows no box";
    EXPECT_EQ(manager.OpenDemoCommunications(), 0) << "refused while open";
    manager.CloseCommunications();
    EXPECT_FALSE(manager.IsOpen()) << "closing a demo link clears the open flag";
    EXPECT_EQ(window.hidden, 1);
    manager.GetStatistics().SetWindow(nullptr);
    EXPECT_FALSE(manager.IsDemo());
    EXPECT_EQ(portDestroyed, 1);
    manager.SubmitJob(MakeJob(1, 1, 500));
    CAmpResponseToDistMngr response;
    ASSERT_TRUE(manager.GetResponseList().PopResponse(response));
    EXPECT_EQ(response.m_error, AMP_ERR_COMM_NOT_ENABLED);
}

TEST_F(OpenTest, StreamingDriveFailsTheDemoSetUp)
{
    factory.m_setUp = [this](TestCommPort& port) {
        port.m_identify = identify;
        // Answers everything and, after the stop commands, keeps talking.
        port.SetResponder([](const CAmpMsg& frame, TestCommPort& p) {
            p.QueueFrame(frame);
            if (frame.m_code >= kCodeOSA && frame.m_code <= kCodeOSD)
                p.m_chatter = true;
        });
    };
    // The line never falls quiet: only the set-up limit ends the wait.
    EXPECT_EQ(manager.OpenDemoCommunications(), 0);
    EXPECT_FALSE(manager.IsOpen());
    EXPECT_EQ(app.CountAlerts("RX_UNEXPECTED_DATA"), 1);
}

TEST(CommDebugTraceTest, TraceLineAndDriveNameLookup)
{
    TestAppServices app;
    app.m_seconds = 3.14159;
    CommDebugTrace("off");
    EXPECT_TRUE(app.m_debugLines.empty());
    app.m_traceOn = true;
    CommDebugTrace("Port opened");
    ASSERT_EQ(app.m_debugLines.size(), 1u);
    EXPECT_EQ(app.m_debugLines[0], "03.142: Port opened");

    app.m_assignments = {{4, "X"}, {5, "Y"}, {5, "Z"}};
    CString name = "unchanged";
    EXPECT_EQ(LookupDriveName(6, name), 0);
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(LookupDriveName(5, name), 1);
    EXPECT_EQ(name, "Y");
}

namespace {

// A port that, like the real ones, wakes its reader when bytes arrive.
class WakingTestPort : public TestCommPort {
public:
    bool WakesReader() override { return true; }
    void Arrive(const CAmpMsg& frame)
    {
        QueueFrame(frame);
        WakeReader();
    }
};

class CountingManager : public TestableCommManager {
public:
    ~CountingManager() override { StopThread(1); }
    std::atomic<int> steps{0};
    int Step() override
    {
        ++steps;
        return TestableCommManager::Step();
    }
};

// Stands in for the distribution manager: rests until an answer wakes it.
class AnswerTaker : public CDThread {
public:
    ~AnswerTaker() override { StopThread(1); }
    std::atomic<int> wakes{0};

protected:
    int Step() override
    {
        ++wakes;
        return 0;
    }
    int GetRestMs() override { return kRestUntilWoken; }
};

}  // namespace

// With nothing to send the manager's thread rests; a job queued then is framed
// and flushed by the very next cycle, and its reply wakes the taker of answers.
TEST(CommManagerRestTest, AJobQueuedToARestingManagerIsWrittenInTheNextCycle)
{
    TestAppServices app;
    CountingManager manager;
    auto* port = new WakingTestPort;
    port->SetOpenState(1);
    manager.AttachPort(port, TRUE);
    std::atomic<int> stepOfWrite{-1};
    port->SetResponder([&](const CAmpMsg& frame, TestCommPort&) {
        if (frame.m_code == 0x4142)
            stepOfWrite = manager.steps.load();
    });
    AnswerTaker taker;
    ASSERT_NE(taker.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    manager.SetResponseTaker(&taker);
    ASSERT_NE(manager.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);

    ASSERT_TRUE(WaitFor([&] { return manager.IsResting() && taker.IsResting(); }));
    const int stepsAtRest = manager.steps.load();
    // However briefly it rested, the flush clock has run out by now.
    kvtest::SetClockOffset(60000);
    manager.SubmitJob(MakeJob(7, 0, 0x4142));
    ASSERT_TRUE(WaitFor([&] { return stepOfWrite.load() >= 0; }));
    EXPECT_EQ(stepOfWrite.load(), stepsAtRest + 1);

    // While the read waits for its reply the manager rests, and the reply
    // wakes it: the job ends and the taker of answers is woken in turn.
    EXPECT_TRUE(WaitFor([&] { return manager.IsResting() && manager.GetJobQueue().GetCount() == 1; }));
    EXPECT_EQ(taker.wakes.load(), 0);
    port->Arrive(CAmpMsg(0, 0x4142, 99, 2));
    ASSERT_TRUE(WaitFor([&] { return manager.GetResponseList().GetCount() == 1; }));
    EXPECT_TRUE(WaitFor([&] { return taker.wakes.load() >= 1; }));
    EXPECT_TRUE(WaitFor([&] { return manager.IsResting() && manager.GetJobQueue().GetCount() == 0; }));
    manager.StopThread(1);
    manager.SetResponseTaker(nullptr);
    kvtest::SetClockOffset(0);
    const auto responses = TakeResponses(manager);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].m_jobId, 7u);
    EXPECT_EQ(responses[0].m_value, 99);
}
