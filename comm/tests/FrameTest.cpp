#include <gtest/gtest.h>

#include "CommTestSupport.h"
#include "comm/protocol/AmpErrors.h"
#include "comm/trace/CommManagerTraceClient.h"
#include "comm/protocol/LinkFrame.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes WriteAndTake(CCommManager& manager, const CAmpMsg& message)
{
    CRingBuff& ring = manager.GetTransmitRing();
    EXPECT_EQ(manager.WriteFrame(message), 1);
    Bytes bytes(static_cast<size_t>(ring.GetCount()));
    ring.Read(static_cast<int>(bytes.size()), bytes.data());
    return bytes;
}

void Feed(CCommManager& manager, const Bytes& bytes)
{
    manager.GetReceiveRing().Write(bytes.data(), static_cast<int>(bytes.size()));
}

std::vector<CAmpResponseMsg> ParseAll(CCommManager& manager)
{
    std::vector<CAmpResponseMsg> replies;
    CAmpResponseMsg reply;
    while (manager.ParseFrame(reply))
        replies.push_back(reply);
    return replies;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct FrameTest : ::testing::Test {
    FrozenClock clock;
    TestAppServices app;
    TestableCommManager manager;
};

}  // namespace

TEST_F(FrameTest, WrittenFramesAreByteExactForEveryWidth)
{
    struct Case { CAmpMsg message; Bytes bytes; };
    const Case cases[] = {
        {CAmpMsg(5, 21106, 300, 2), {0x45, 0x52, 0x72, 0x2C, 0x01, 0xBA}},
        {CAmpMsg(1, 98, 0, 0), {0x01, 0x00, 0x62, 0xFE}},
        {CAmpMsg(31, 0x1234, -2, 1), {0x3F, 0x12, 0x34, 0xFE, 0xC0}},
        {CAmpMsg(0, 0xFFFF, 0x00ABCDEF, 3), {0x60, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB, 0x9F}},
        {CAmpMsg(2, 1541, -70000, 4), {0x82, 0x06, 0x05, 0x90, 0xEE, 0xFE, 0xFF, 0x7D}},
        {CAmpMsg(33, 1, 0, 0), {0x01, 0x00, 0x01, 0xFE}},  // the address keeps its low five bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(WriteAndTake(manager, c.message), c.bytes) << c.message.ToString().GetString();
}

TEST_F(FrameTest, EveryWidthReadsBackAsWritten)
{
    for (BYTE width : {0, 1, 2, 3, 4}) {
        const LONG value = width == 0 ? 0 : static_cast<LONG>(0x89ABCDEFu & (0xFFFFFFFFu >> (32 - 8 * width)));
        const CAmpMsg sent(17, 0xBEEF, value, width);
        CRingBuff ring(6);
        const Bytes bytes = EncodeFrame(sent);
        ring.Write(bytes.data(), static_cast<int>(bytes.size()));
        CAmpMsg read;
        ASSERT_EQ(manager.ReadFrame(&ring, read), 0);
        EXPECT_EQ(read.m_address, 17);
        EXPECT_EQ(read.m_code, 0xBEEF);
        EXPECT_EQ(read.m_width, width);
        EXPECT_EQ(read.m_value, value) << "values are zero-extended";
        EXPECT_EQ(ring.GetCount(), 0);
    }
}

TEST_F(FrameTest, ReaderResults)
{
    struct Case { Bytes bytes; int result; };
    const Case cases[] = {
        {{}, -1},
        {{0x41, 0x52}, -1},
        {{0x41, 0x52, 0x72, 0x05}, -1},
        {{0xA1, 0x00, 0x01, 0x5E}, -2},
        {{0x21, 0x00, 0x01, 0x05, 0xDF}, -3},
        {{0x21, 0x00, 0x01, 0x05, 0xDE}, 0},
    };
    for (const Case& c : cases) {
        CRingBuff ring(6);
        ring.Write(c.bytes.data(), static_cast<int>(c.bytes.size()));
        CAmpMsg read;
        EXPECT_EQ(manager.ReadFrame(&ring, read), c.result);
    }
}

TEST_F(FrameTest, StreamCutAtEveryByteParsesToTheSameReplies)
{
    const Bytes stream = Concat({EncodeFrame(CAmpMsg(1, 21107, 300, 2)), {0, 0},
                                 EncodeFrame(CAmpMsg(2, 98, 0x02013E, 3)),  // error report: code 0x3E01, error 2
                                 EncodeFrame(CAmpMsg(3, 555, 0, 0)), EncodeFrame(CAmpMsg(4, 7, -5, 4)), {0},
                                 EncodeFrame(CAmpMsg(31, 9, 200, 1))});
    Feed(manager, stream);
    const std::vector<CAmpResponseMsg> whole = ParseAll(manager);
    ASSERT_EQ(whole.size(), 5u);
    EXPECT_EQ(whole[1].m_code, 0x3E01);
    EXPECT_EQ(whole[1].m_error, AMP_ERR_CRC);
    EXPECT_EQ(whole[1].m_address, 2);

    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        Feed(manager, Bytes(stream.begin(), stream.begin() + static_cast<long>(cut)));
        std::vector<CAmpResponseMsg> parts = ParseAll(manager);
        Feed(manager, Bytes(stream.begin() + static_cast<long>(cut), stream.end()));
        for (const CAmpResponseMsg& reply : ParseAll(manager))
            parts.push_back(reply);
        ASSERT_EQ(parts.size(), whole.size()) << "cut at " << cut;
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(parts[i].m_address, whole[i].m_address);
            EXPECT_EQ(parts[i].m_code, whole[i].m_code);
            EXPECT_EQ(parts[i].m_value, whole[i].m_value);
            EXPECT_EQ(parts[i].m_width, whole[i].m_width);
            EXPECT_EQ(parts[i].m_error, whole[i].m_error);
        }
    }
}

TEST_F(FrameTest, PartialFrameIsKeptUntilTheRestArrives)
{
    const Bytes frame = EncodeFrame(CAmpMsg(3, 4000, 1000, 2));
    Feed(manager, Bytes(frame.begin(), frame.begin() + 3));
    EXPECT_TRUE(ParseAll(manager).empty());
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), 3);
    Feed(manager, Bytes(frame.begin() + 3, frame.end()));
    const auto replies = ParseAll(manager);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].m_value, 1000);
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), 0);
}

TEST_F(FrameTest, CorruptFrameCostsOneByteAndResynchronises)
{
    struct Case { Bytes junk; const char* text; };
    const Case cases[] = {
        {{0xA3}, "Communications data receive error. Communications will be recovered, though data may have been lost."},
        {{0x23, 0x00, 0x01, 0x05, 0x00},
         "Communications data receive CRC error. Communications will be recovered, though data may have been lost."},
    };
    for (const Case& c : cases) {
        TestableCommManager fresh;
        app.TakeAlerts();
        Feed(fresh, Concat({c.junk, EncodeFrame(CAmpMsg(3, 77, 5, 1))}));
        const auto replies = ParseAll(fresh);
        ASSERT_EQ(replies.size(), 1u) << c.text;
        EXPECT_EQ(replies[0].m_code, 77);
        const auto alerts = app.TakeAlerts();
        ASSERT_GE(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].key, "RX_DATA_ERROR");
        EXPECT_EQ(alerts[0].text, c.text);
        EXPECT_EQ(alerts[0].level, 3);
        EXPECT_EQ(alerts[0].drive, -1);
        // Each dropped byte that started a bad frame counts once link-wide, and for the drive its header names.
        const int errors = fresh.GetStatistics().GetStatistics(kStatRxFrameError)->GetCount();
        EXPECT_EQ(errors, static_cast<int>(alerts.size()));
        EXPECT_GE(fresh.GetStatistics().GetStatistics(CCommStatistics::DriveKey(3, kStatRxFrameError))->GetCount(), 1);
    }
}

TEST_F(FrameTest, DriveReportedCheckErrorRaisesAlertForTheDrive)
{
    Feed(manager, EncodeFrame(CAmpMsg(6, 98, 0x020000 | 0x0562, 3)));
    const auto replies = ParseAll(manager);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].m_code, 0x6205);
    const auto alerts = app.TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].key, "REPORT_DATA_ERROR");
    EXPECT_EQ(alerts[0].drive, 6);
    EXPECT_EQ(manager.GetStatistics().GetStatistics(kStatDriveCrcError)->GetCount(), 1);
    EXPECT_EQ(manager.GetStatistics().GetStatistics(CCommStatistics::DriveKey(6, kStatDriveCrcError))->GetCount(), 1);
}

namespace {
// Turns time stamps on the way a queued job does: a job with flag 2 and one cycle.
void SwitchTimeStampsOn(TestableCommManager& manager)
{
    manager.GetDriveNames().SetName(1, "A");
    CAmpQryCmdFromDistMngr job;
    job.m_address = 1;
    job.m_code = 500;
    job.m_jobId = 99;
    job.m_jobFlags = kJobPollSlotData;
    manager.SubmitJob(job);
    manager.Cycle();
    ASSERT_EQ(manager.GetMode() & kModeTimeStamps, kModeTimeStamps);
}
}  // namespace

TEST_F(FrameTest, TimeStampFramesAttachOrStay)
{
    TestCommPort* port = manager.AttachTestPort();
    SwitchTimeStampsOn(manager);
    port->TakeWritten();

    // A reply and its stamp: one response with the stamp.
    Feed(manager, Concat({EncodeFrame(CAmpMsg(1, 600, 9, 1)), {0}, EncodeFrame(CAmpMsg(1, 21106, 123456, 4))}));
    auto replies = ParseAll(manager);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].m_timeStampValid, 1);
    EXPECT_EQ(replies[0].m_timeStamp, 123456u);

    // A reply without its stamp yet is not taken.
    const Bytes reply = EncodeFrame(CAmpMsg(1, 600, 9, 1));
    Feed(manager, reply);
    EXPECT_TRUE(ParseAll(manager).empty());
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), static_cast<int>(reply.size()));

    // A reply followed by another reply: no stamp, and the second stays in the ring.
    const Bytes second = EncodeFrame(CAmpMsg(1, 601, 1, 1));
    Feed(manager, second);
    CAmpResponseMsg first;
    ASSERT_EQ(manager.ParseFrame(first), 1);
    EXPECT_EQ(first.m_code, 600);
    EXPECT_EQ(first.m_timeStampValid, 0);
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), static_cast<int>(second.size()));

    // A reply followed by a corrupt frame: the reply, one byte dropped, an alert naming the drive.
    manager.GetReceiveRing().Clear();
    app.TakeAlerts();
    Feed(manager, Concat({second, {0xE1, 0x05}}));
    replies = ParseAll(manager);
    ASSERT_EQ(replies.size(), 1u);
    const auto alerts = app.TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].drive, 1);
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), 1);

    // A stamp with no reply before it is dropped.
    manager.GetReceiveRing().Clear();
    Feed(manager, EncodeFrame(CAmpMsg(1, 21106, 5, 4)));
    EXPECT_TRUE(ParseAll(manager).empty());
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), 0);
}

TEST_F(FrameTest, FillerBehindAWaitingReplyDoesNotPileUp)
{
    manager.AttachTestPort();
    SwitchTimeStampsOn(manager);
    const Bytes reply = EncodeFrame(CAmpMsg(1, 600, 9, 1));
    Feed(manager, reply);
    for (int i = 0; i < 4000; ++i) {
        Feed(manager, {0});
        ASSERT_TRUE(ParseAll(manager).empty());
    }
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), static_cast<int>(reply.size()));
    Feed(manager, Concat({{0, 0}, EncodeFrame(CAmpMsg(1, 21106, 77, 4))}));
    const auto replies = ParseAll(manager);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].m_code, 600);
    EXPECT_EQ(replies[0].m_timeStamp, 77u);
}

TEST_F(FrameTest, FullTransmitRingRefusesTheWholeFrame)
{
    CRingBuff& ring = manager.GetTransmitRing();
    const Bytes filler(static_cast<size_t>(ring.GetSize() - 1 - 5), 0x55);
    ring.Write(filler.data(), static_cast<int>(filler.size()));
    EXPECT_EQ(manager.WriteFrame(CAmpMsg(1, 2, 300, 2)), 0);
    EXPECT_EQ(ring.GetCount(), static_cast<int>(filler.size()));
    EXPECT_EQ(app.CountAlerts("TX_BUFF_OVRFLW"), 1);
    EXPECT_EQ(manager.GetStatistics().GetStatistics(kStatTxOverflow)->GetCount(), 1);
    EXPECT_EQ(manager.WriteFrame(CAmpMsg(1, 2, 3, 1)), 1);  // five bytes fit exactly
}

TEST_F(FrameTest, JobIsWrittenWholeOrNotAtAll)
{
    CAmpQryCmdJobCm job;
    job.m_address = 2;
    job.m_code = 100;
    job.AddCommand(200, 1000);   // 6 bytes
    job.AddCommand(201, 70000);  // 8 bytes
    job.SetValueAuto(5);         // 5 bytes
    CRingBuff& ring = manager.GetTransmitRing();
    const Bytes filler(static_cast<size_t>(ring.GetSize() - 1 - 18), 0x55);
    ring.Write(filler.data(), static_cast<int>(filler.size()));
    EXPECT_EQ(manager.WriteJob(job), 0);
    EXPECT_EQ(ring.GetCount(), static_cast<int>(filler.size())) << "no part of the job went into the ring";

    ring.Clear();
    ASSERT_EQ(manager.WriteJob(job), 1);
    Bytes bytes(static_cast<size_t>(ring.GetCount()));
    ring.Read(static_cast<int>(bytes.size()), bytes.data());
    EXPECT_EQ(bytes, Concat({EncodeFrame(CAmpMsg(2, 200, 1000, 2)), EncodeFrame(CAmpMsg(2, 201, 70000, 4)),
                             EncodeFrame(CAmpMsg(2, 100, 5, 1))}));
    EXPECT_EQ(job.m_flag, 0);
}

TEST_F(FrameTest, ReadBackFollowsWritesUnlessTheJobSuppressesIt)
{
    manager.SetReadBackOption(TRUE);
    EXPECT_EQ(WriteAndTake(manager, CAmpMsg(4, 300, 7, 1)),
              Concat({EncodeFrame(CAmpMsg(4, 300, 7, 1)), EncodeFrame(CAmpMsg(4, 300, 0, 0))}));
    EXPECT_EQ(WriteAndTake(manager, CAmpMsg(4, 300, 0, 0)), EncodeFrame(CAmpMsg(4, 300, 0, 0)));

    CAmpQryCmdJobCm job;
    job.m_address = 4;
    job.m_code = 300;
    job.SetValueAuto(7);
    job.m_jobFlags = kJobNoReadBack;
    ASSERT_EQ(manager.WriteJob(job), 1);
    EXPECT_EQ(manager.GetTransmitRing().GetCount(), 5);
}

namespace {
struct RecordingClient : CCommManagerTraceClient {
    std::vector<std::pair<CAmpMsg, DWORD>> Take()
    {
        std::vector<std::pair<CAmpMsg, DWORD>> items;
        CAmpMsg message;
        DWORD tag;
        while (GetNextItem(message, tag))
            items.emplace_back(message, tag);
        return items;
    }
};
}  // namespace

TEST_F(FrameTest, TraceClientsSeeEachFrameOnceWithItsTag)
{
    RecordingClient client;
    ASSERT_TRUE(manager.AddClient(&client));
    EXPECT_FALSE(manager.AddClient(&client));
    manager.WriteFrame(CAmpMsg(1, 10, 0, 0));
    const Bytes reply = EncodeFrame(CAmpMsg(1, 10, 3, 1));
    Feed(manager, Bytes(reply.begin(), reply.begin() + 4));
    ParseAll(manager);  // incomplete: not traced
    Feed(manager, Bytes(reply.begin() + 4, reply.end()));
    ParseAll(manager);
    const auto items = client.Take();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].second, 1u);
    EXPECT_EQ(items[1].second, 0u);
    EXPECT_EQ(items[1].first.m_value, 3);
    {
        RecordingClient shortLived;
        manager.AddClient(&shortLived);
    }  // leaves the list on destruction; tracing goes on safely
    manager.WriteFrame(CAmpMsg(1, 10, 0, 0));
    EXPECT_EQ(client.Take().size(), 1u);
}

TEST_F(FrameTest, TraceShowsAReplyBeforeItsTimeStamp)
{
    manager.AttachTestPort();
    SwitchTimeStampsOn(manager);
    RecordingClient client;
    ASSERT_TRUE(manager.AddClient(&client));
    const Bytes reply = EncodeFrame(CAmpMsg(1, 600, 9, 1));
    Feed(manager, reply);
    ParseAll(manager);  // waits for its stamp: nothing traced yet
    EXPECT_TRUE(client.Take().empty());
    Feed(manager, Concat({{0}, EncodeFrame(CAmpMsg(1, 21106, 77, 4))}));
    ASSERT_EQ(ParseAll(manager).size(), 1u);
    const auto items = client.Take();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first.m_code, 600);
    EXPECT_EQ(items[1].first.m_code, 21106);
    EXPECT_EQ(items[1].first.m_value, 77);
}

TEST(TraceClientTest, ClientMayOutliveTheManager)
{
    RecordingClient client;
    {
        CCommManager manager;
        manager.AddClient(&client);
        manager.WriteFrame(CAmpMsg(1, 10, 0, 0));
    }
    EXPECT_EQ(client.Take().size(), 1u);
}
