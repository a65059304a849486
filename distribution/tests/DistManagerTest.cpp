#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "testing/FakeCommLink.h"
#include "distribution/DistManager.h"
#include "foundation/DThread.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "distribution/DmQueryVar.h"
#include "distribution/MonitorDistCenterQueryDataMapQ.h"
#include "platform/core/Clock.h"
#include "testing/WaitFor.h"

namespace {

const WORD ABC = static_cast<WORD>(MnemonicToCode("ABC"));
const WORD DEF = static_cast<WORD>(MnemonicToCode("DEF"));
const WORD XYZ = static_cast<WORD>(MnemonicToCode("XYZ"));
const WORD OSA = 15969;

std::vector<CAmpResponseToGui> Drain(CDistMngrResponseReceiver& receiver)
{
    std::vector<CAmpResponseToGui> out;
    CAmpResponseToGui response;
    while (receiver.GetNextResponse(response))
        out.push_back(response);
    return out;
}

class DistManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::FreezeClock(5000000);
        CDistManager::Install(&m_manager);
    }
    void TearDown() override
    {
        CDistManager::Install(nullptr);
        kvtest::ThawClock();
    }
    // Runs one cycle per millisecond of simulated time.
    void Run(int ms)
    {
        for (int i = 0; i < ms; ++i) {
            kvtest::AdvanceClock(1);
            m_manager.ExecCycle();
        }
    }
    CAmpResponseToDistMngr BlockData(DWORD jobId, LONG value)
    {
        CAmpResponseToDistMngr data;
        data.m_address = 1;
        data.m_code = ABC;
        data.SetValueAuto(value);
        data.m_jobId = jobId;
        data.m_blockFlag = 1;
        return data;
    }

    FakeCommLink m_link;
    CDistManager m_manager{&m_link};
};

}  // namespace

TEST_F(DistManagerTest, IdenticalReadsShareOneJobAndEachReceiverGetsItsOwnPeriod)
{
    CDistMngrResponseReceiver fast, slow;
    const int fastId = fast.SendQuery(1, ABC, 100);
    const int slowId = slow.SendQuery(1, ABC, 300);
    ASSERT_GT(fastId, 0);
    ASSERT_GT(slowId, 0);
    ASSERT_EQ(m_manager.GetJobCount(), 1);
    const DWORD jobId = m_manager.FindJobOfQuery(static_cast<DWORD>(fastId));
    EXPECT_EQ(m_manager.FindJobOfQuery(static_cast<DWORD>(slowId)), jobId);
    WORD period = 0;
    BYTE flags = 0;
    int receivers = 0;
    ASSERT_TRUE(m_manager.GetJobInfo(jobId, nullptr, &period, &flags, &receivers));
    EXPECT_EQ(period, 100);
    EXPECT_EQ(flags, kQryDefault);
    EXPECT_EQ(receivers, 2);

    m_link.m_autoAnswer = true;
    std::vector<LONG> answered;
    for (int t = 1; t <= 1000; ++t) {
        m_link.SetRegister(1, "ABC", t);
        Run(1);
    }
    const auto submitted = m_link.Submitted();
    // Due after 100 to 105 ms, and once at once when the job was new.
    EXPECT_GE(submitted.size(), 10u);
    EXPECT_LE(submitted.size(), 11u);
    for (const auto& job : submitted)
        EXPECT_EQ(job.m_jobId, jobId);

    const auto fastAnswers = Drain(fast);
    const auto slowAnswers = Drain(slow);
    EXPECT_GE(fastAnswers.size(), 9u);
    ASSERT_GE(slowAnswers.size(), 3u);
    EXPECT_LE(slowAnswers.size(), 4u);
    for (size_t i = 0; i < slowAnswers.size(); ++i) {
        EXPECT_EQ(slowAnswers[i].m_queryId, static_cast<DWORD>(slowId));
        if (i > 0) {
            EXPECT_GE(slowAnswers[i].m_queueTime, 0.3);
        }
        // Always the latest answer of the shared job.
        bool sameAsAFastOne = false;
        for (const auto& f : fastAnswers)
            sameAsAFastOne |= f.m_value <= slowAnswers[i].m_value && slowAnswers[i].m_value - f.m_value < 106;
        EXPECT_TRUE(sameAsAFastOne);
    }
    for (size_t i = 1; i < fastAnswers.size(); ++i)
        EXPECT_GE(fastAnswers[i].m_value - fastAnswers[i - 1].m_value, 100);
}

TEST_F(DistManagerTest, SlowReceiverGetsTheLatestAnswerOnceItsPeriodIsUp)
{
    CDistMngrResponseReceiver fast, slow;
    fast.SendQuery(1, ABC, 10);
    slow.SendQuery(1, ABC, 50);
    m_link.m_autoAnswer = true;
    m_link.SetRegister(1, "ABC", 1);
    Run(10);  // a receiver's first answer goes at once
    EXPECT_EQ(Drain(fast).size(), 1u);
    EXPECT_EQ(Drain(slow).size(), 1u);
    m_link.SetRegister(1, "ABC", 2);
    Run(40);
    EXPECT_TRUE(Drain(slow).empty());
    m_link.SetRegister(1, "ABC", 3);
    Run(1);  // its period is up: the latest answer, read before the change
    auto late = Drain(slow);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].m_value, 2);
    EXPECT_GE(Drain(fast).size(), 3u);
}

namespace {
// Notes the clock at each delivery, next to the value, which the register
// model sets to the clock at each read.
class TimedReceiver : public CDistMngrResponseReceiver {
public:
    void OnResponse(const CAmpResponseToGui& response) override
    {
        m_deliveries.emplace_back(static_cast<LONG>(GetTickCount64()), response.m_value);
    }
    std::vector<std::pair<LONG, LONG>> m_deliveries;  // (delivered at, read at)
};
}  // namespace

// A receiver alone on its job hears each answer as it comes; one sharing a
// faster job hears the latest answer once its own period is up.
TEST_F(DistManagerTest, EachValueReachesItsReceiverWithinItsPeriodOfBeingRead)
{
    TimedReceiver alone, shared, sharedSlow;
    alone.SendQuery(1, ABC, 200);
    shared.SendQuery(1, DEF, 100);
    sharedSlow.SendQuery(1, DEF, 250);
    m_link.m_autoAnswer = true;
    for (int t = 0; t < 2000; ++t) {
        const LONG now = static_cast<LONG>(GetTickCount64() + 1);
        m_link.SetRegister(1, "ABC", now);
        m_link.SetRegister(1, "DEF", now);
        Run(1);
    }
    struct Case {
        TimedReceiver* receiver;
        LONG period;
        LONG maxLag;
    } cases[] = {{&alone, 200, 0}, {&shared, 100, 0}, {&sharedSlow, 250, 110}};
    for (const Case& c : cases) {
        ASSERT_GE(c.receiver->m_deliveries.size(), static_cast<size_t>(2000 / (c.period + 110)));
        LONG previous = -1;
        for (const auto& [at, readAt] : c.receiver->m_deliveries) {
            EXPECT_LE(at - readAt, c.maxLag) << "period " << c.period;
            if (previous >= 0) {
                EXPECT_GE(at - previous, c.period);
            }
            previous = at;
        }
    }
}

namespace {
// Counts the turns of each job and the cycles that submitted anything: on its
// thread each such cycle is a wake-up, of this thread and of the link's.
class TurnCountingLink : public FakeCommLink {
public:
    void SubmitJob(const CAmpQryCmdFromDistMngr& job) override
    {
        FakeCommLink::SubmitJob(job);
        const LONG now = static_cast<LONG>(GetTickCount64());
        m_turns[job.m_code].push_back(now);
        if (m_wakeTicks.empty() || m_wakeTicks.back() != now)
            m_wakeTicks.push_back(now);
    }
    std::map<WORD, std::vector<LONG>> m_turns;
    std::vector<LONG> m_wakeTicks;
};
}  // namespace

// Windows opened one after another read at periods of their own; their reads
// soon go out together, one wake-up a turn of the fastest, and each read
// keeps its period (and no more than its delay of about 5 % on top).
TEST(DistManagerBatchTest, ReadsOfManyWindowsShareTheirTurns)
{
    kvtest::FreezeClock(5000000);
    TurnCountingLink link;
    link.m_autoAnswer = true;
    CDistManager manager(&link);
    CDistMngrResponseReceiver windows[4];
    const WORD GHI = static_cast<WORD>(MnemonicToCode("GHI"));
    const struct {
        WORD code;
        WORD period;
        int openedAt;
    } reads[] = {{ABC, 100, 0}, {DEF, 100, 37}, {XYZ, 200, 61}, {GHI, 500, 80}};
    auto cycle = [&] {
        kvtest::AdvanceClock(1);
        manager.ExecCycle();
    };
    int t = 0;
    for (size_t i = 0; i < std::size(reads); ++i) {
        windows[i].SetDistManager(&manager);
        for (; t < reads[i].openedAt; ++t)
            cycle();
        windows[i].SendQuery(1, reads[i].code, reads[i].period);
    }
    for (; t < 3000; ++t)
        cycle();

    for (const auto& read : reads) {
        const std::vector<LONG>& turns = link.m_turns[read.code];
        ASSERT_GE(turns.size(), static_cast<size_t>(2900 / (read.period * 21 / 20 + 1)));
        for (size_t k = 1; k < turns.size(); ++k) {
            EXPECT_GE(turns[k] - turns[k - 1], read.period);
            EXPECT_LE(turns[k] - turns[k - 1], read.period + read.period / 20 + 1);
        }
    }
    // Within a few turns they are in step: from then on every submission
    // goes in a turn of the oldest read, the only wake-ups left.
    const LONG settled = static_cast<LONG>(GetTickCount64()) - 1500;
    std::vector<LONG> lateWakes, lateTurns;
    std::copy_if(link.m_wakeTicks.begin(), link.m_wakeTicks.end(), std::back_inserter(lateWakes),
                 [&](LONG tick) { return tick >= settled; });
    std::copy_if(link.m_turns[ABC].begin(), link.m_turns[ABC].end(), std::back_inserter(lateTurns),
                 [&](LONG tick) { return tick >= settled; });
    EXPECT_EQ(lateWakes, lateTurns);
    for (auto& window : windows)
        window.CancelAllQueries();
    kvtest::ThawClock();
}

TEST_F(DistManagerTest, CancellingTheReadsLetsAnUnsentWriteGoOut)
{
    CDistMngrResponseReceiver window;
    window.SendQuery(1, ABC, 100);
    window.SendCommand(1, DEF, 0);  // a stop command not sent yet
    EXPECT_EQ(m_manager.GetJobCount(), 2);
    window.CancelReadQueries();
    EXPECT_EQ(m_manager.GetJobCount(), 1) << "the read is gone, the write stays";
    Run(1);
    auto submitted = m_link.Submitted();
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].m_code, DEF);
    EXPECT_EQ(submitted[0].m_jobFlags, kQryCommand);
}

TEST_F(DistManagerTest, DifferentSubCommandsAndWritesAreNeverMerged)
{
    CDistMngrResponseReceiver a, b;
    a.SendQueryWithArgument(1, ABC, XYZ, 1, 100);
    b.SendQueryWithArgument(1, ABC, XYZ, 2, 100);
    a.SendQuery(2, ABC, 100);  // another drive
    EXPECT_EQ(m_manager.GetJobCount(), 3);
    b.SendQueryWithArgument(1, ABC, XYZ, 1, 200);
    EXPECT_EQ(m_manager.GetJobCount(), 3);

    a.CancelAllQueries();
    b.CancelAllQueries();
    ASSERT_EQ(m_manager.GetJobCount(), 0);
    const int first = a.SendCommand(1, DEF, 5);
    const int second = b.SendCommand(1, DEF, 5);
    EXPECT_EQ(m_manager.GetJobCount(), 2);
    Run(1);
    auto submitted = m_link.Submitted();
    ASSERT_EQ(submitted.size(), 2u);
    for (const auto& job : submitted) {
        EXPECT_EQ(job.m_jobFlags, kQryCommand);
        EXPECT_EQ(job.m_width, 1);
    }
    m_link.AnswerAllSubmitted();
    Run(1);
    auto fromA = Drain(a);
    auto fromB = Drain(b);
    ASSERT_EQ(fromA.size(), 1u);
    ASSERT_EQ(fromB.size(), 1u);
    EXPECT_EQ(fromA[0].m_queryId, static_cast<DWORD>(first));
    EXPECT_EQ(fromB[0].m_queryId, static_cast<DWORD>(second));
    EXPECT_EQ(fromA[0].m_write, 1u);
    // A write ends after its answer.
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    Run(1000);
    EXPECT_EQ(m_link.SubmittedCount(), 2u);
}

TEST_F(DistManagerTest, CancellingOneReceiverKeepsTheJobAndTheLastCancelsItAtTheLink)
{
    CDistMngrResponseReceiver fast, slow;
    const int fastId = fast.SendQuery(1, ABC, 100, kQryNotify);
    slow.SendQuery(1, ABC, 300);
    const DWORD jobId = m_manager.FindJobOfQuery(static_cast<DWORD>(fastId));
    fast.CancelQuery(fastId);
    WORD period = 0;
    BYTE flags = 0;
    ASSERT_TRUE(m_manager.GetJobInfo(jobId, nullptr, &period, &flags, nullptr));
    EXPECT_EQ(period, 300);
    EXPECT_EQ(flags, kQryDefault);
    EXPECT_TRUE(m_link.Cancelled().empty());
    EXPECT_EQ(m_manager.GetNotificationCount(), 0);

    m_link.m_autoAnswer = true;
    Run(700);
    EXPECT_TRUE(Drain(fast).empty());
    EXPECT_FALSE(Drain(slow).empty());
    slow.CancelAllQueries();
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    ASSERT_EQ(m_link.Cancelled().size(), 1u);
    EXPECT_EQ(m_link.Cancelled()[0], jobId);
    EXPECT_FALSE(m_manager.CancelQuery(static_cast<DWORD>(fastId)));
}

TEST_F(DistManagerTest, EarlyTimeOutsAreDeliveredAtOnceAndFatalErrorsEndTheJob)
{
    CDistMngrResponseReceiver receiver, patient;
    receiver.SendQuery(1, ABC, 1000);
    patient.SendQuery(1, DEF, 1000, kQryTimeoutNotEarly);
    Run(1);
    ASSERT_EQ(m_link.SubmittedCount(), 2u);
    // Both have had a first answer, so an ordinary one now waits for the period.
    m_link.AnswerAllSubmitted();
    Run(1);
    ASSERT_EQ(Drain(receiver).size(), 1u);
    ASSERT_EQ(Drain(patient).size(), 1u);
    Run(10);
    for (const auto& job : m_link.Submitted())
        m_link.Queue(m_link.AnswerFor(job, 512));
    Run(1);
    auto early = Drain(receiver);
    ASSERT_EQ(early.size(), 1u);  // long before its 1000 ms period
    EXPECT_EQ(early[0].m_error, 512);
    EXPECT_TRUE(Drain(patient).empty());  // a time-out is an ordinary answer for this one
    EXPECT_EQ(m_manager.GetJobCount(), 2);

    Run(1100);
    EXPECT_EQ(Drain(patient).size(), 1u);
    const size_t before = m_link.SubmittedCount();
    EXPECT_GT(before, 2u);  // the job went on repeating
    m_link.AnswerAllSubmitted(1);  // "Invalid command": fatal
    Run(1);
    auto fatal = Drain(receiver);
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_EQ(fatal[0].m_error, 1);
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    EXPECT_EQ(m_link.Cancelled().size(), 2u);
    Run(2000);
    EXPECT_EQ(m_link.SubmittedCount(), before);
}

TEST_F(DistManagerTest, OneShotIsResubmittedAfterTimeOutsAndEndsAfterItsAnswer)
{
    CDistMngrResponseReceiver receiver;
    const int queryId = receiver.SendQuery(1, ABC, 0, kQryOneShot);
    Run(1);
    ASSERT_EQ(m_link.SubmittedCount(), 1u);
    m_link.AnswerAllSubmitted(512);
    Run(1);
    EXPECT_EQ(Drain(receiver).size(), 1u);
    Run(1);
    ASSERT_EQ(m_link.SubmittedCount(), 2u);
    m_link.SetRegister(1, "ABC", 42);
    m_link.AnswerAllSubmitted();
    Run(1);
    auto answers = Drain(receiver);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].m_value, 42);
    EXPECT_EQ(answers[0].m_queryId, static_cast<DWORD>(queryId));
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    Run(500);
    EXPECT_EQ(m_link.SubmittedCount(), 2u);
}

TEST_F(DistManagerTest, AnswersForUnknownJobsAreDropped)
{
    CDistMngrResponseReceiver receiver;
    receiver.SendQuery(1, ABC, 100);
    CAmpResponseToDistMngr stray;
    stray.m_jobId = 999999;
    m_link.Queue(stray);
    Run(1);
    EXPECT_TRUE(Drain(receiver).empty());
}

TEST_F(DistManagerTest, NotificationSubscriberHearsEachChangeOnce)
{
    CDistMngrResponseReceiver poller, listener;
    poller.SendQuery(1, ABC, 10);
    const int listenId = listener.SendQuery(1, ABC, 0, kQryOneShot | kQryNotify);
    m_link.m_autoAnswer = true;
    const LONG values[] = {5, 5, 5, 6, 6, 7, 7, 7};
    for (LONG value : values) {
        m_link.SetRegister(1, "ABC", value);
        Run(12);
    }
    int notifications = 0;
    std::vector<LONG> seen;
    for (const auto& response : Drain(listener)) {
        EXPECT_EQ(response.m_queryId, static_cast<DWORD>(listenId));
        if (response.m_notification) {
            ++notifications;
            seen.push_back(response.m_value);
        }
    }
    EXPECT_EQ(notifications, 3);
    EXPECT_EQ(seen, (std::vector<LONG>{5, 6, 7}));
    // The one-shot read itself is over; the subscription stays until cancelled.
    EXPECT_EQ(m_manager.GetNotificationCount(), 1);
    listener.CancelAllQueries();
    EXPECT_EQ(m_manager.GetNotificationCount(), 0);
}

// A write from anyone (another window, the terminal) changes what the drive
// holds, so its subscribers hear of it as a plain value, not as a write echo.
TEST_F(DistManagerTest, NotificationOfAWriteAnswerIsNoWriteEcho)
{
    CDistMngrResponseReceiver writer, listener;
    listener.SendQuery(1, ABC, 0, kQryOneShot | kQryNotify);
    m_link.m_autoAnswer = true;
    m_link.SetRegister(1, "ABC", 5);
    Run(2);
    Drain(listener);
    writer.SendCommand(1, ABC, 9);
    m_link.SetRegister(1, "ABC", 9);
    Run(2);
    const auto heard = Drain(listener);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].m_notification, 1u);
    EXPECT_EQ(heard[0].m_write, 0u);
    EXPECT_EQ(heard[0].m_value, 9);
    const auto echo = Drain(writer);
    ASSERT_EQ(echo.size(), 1u);
    EXPECT_EQ(echo[0].m_write, 1u);
}

TEST_F(DistManagerTest, BlockTransfersUsePollSlotsAndStreamTheirData)
{
    CDistMngrResponseReceiver scope;
    const int blockId = scope.SendBlockQuery(1, ABC, 10);
    ASSERT_GT(blockId, 0);
    for (const char* code : {"DEF", "GHI", "JKL"})
        EXPECT_GT(scope.SendBlockQuery(1, static_cast<WORD>(MnemonicToCode(code)), 10), 0);
    EXPECT_EQ(scope.SendBlockQuery(1, XYZ, 10), -1);  // the drive has four slots
    EXPECT_EQ(scope.GetPendingCount(), 4);
    EXPECT_GT(scope.SendBlockQuery(2, XYZ, 10), 0);  // another drive has its own

    Run(1);
    auto submitted = m_link.Submitted();
    ASSERT_EQ(submitted.size(), 5u);
    EXPECT_EQ(submitted[0].m_code, OSA);
    EXPECT_EQ(submitted[3].m_code, OSA + 3);
    EXPECT_EQ(submitted[4].m_code, OSA);
    EXPECT_EQ(static_cast<DWORD>(submitted[0].m_value), (10u << 16) | static_cast<DWORD>(((ABC & 0xFF) << 8) | (ABC >> 8)));
    EXPECT_EQ(submitted[0].m_jobFlags, kQryCommand);

    m_link.AnswerAllSubmitted();
    const DWORD jobId = submitted[0].m_jobId;
    m_link.Queue(BlockData(jobId, 99));  // data right behind its set-up, in the same cycle
    Run(1);
    auto setUps = Drain(scope);
    ASSERT_EQ(setUps.size(), 5u);  // the set-up answers, each as it was
    EXPECT_EQ(setUps[0].m_code, OSA);
    Run(1);
    auto early = Drain(scope);
    ASSERT_EQ(early.size(), 1u);  // then the data, not lost
    EXPECT_EQ(early[0].m_value, 99);
    CCompoundAmpMsg command;
    BYTE flags = 0;
    ASSERT_TRUE(m_manager.GetJobInfo(jobId, &command, nullptr, &flags, nullptr));
    EXPECT_EQ(command.m_code, ABC);
    EXPECT_EQ(command.m_width, 0);
    EXPECT_EQ(flags, kQryBlockTransfer | kQryPollData);

    for (LONG v : {1, 2, 3})
        m_link.Queue(BlockData(jobId, v));
    Run(1);
    auto stream = Drain(scope);
    ASSERT_EQ(stream.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(stream[i].m_value, i + 1);
        EXPECT_EQ(stream[i].m_queryId, static_cast<DWORD>(blockId));
    }
    // A link that reads the polled register for each frame hands on plain replies.
    CAmpResponseToDistMngr plain = BlockData(jobId, 4);
    plain.m_blockFlag = 0;
    m_link.Queue(plain);
    Run(1);
    stream = Drain(scope);
    ASSERT_EQ(stream.size(), 1u);
    EXPECT_EQ(stream[0].m_value, 4);
    Run(500);
    EXPECT_EQ(m_link.SubmittedCount(), 5u);  // never resubmitted by the repeat timer

    // Stopping slot A (written as 0, naming no register) frees it for another transfer.
    const int stopId = scope.SendCommand(1, OSA, 0);
    Run(1);
    m_link.AnswerAllSubmitted();
    Run(1);
    auto stopAnswers = Drain(scope);
    ASSERT_EQ(stopAnswers.size(), 1u);
    EXPECT_EQ(stopAnswers[0].m_queryId, static_cast<DWORD>(stopId));
    EXPECT_FALSE(m_manager.GetJobInfo(jobId, nullptr, nullptr, nullptr, nullptr));
    EXPECT_GT(scope.SendBlockQuery(1, XYZ, 10), 0);
    Run(1);
    EXPECT_EQ(m_link.Submitted().back().m_code, OSA);
}

TEST_F(DistManagerTest, RefusedPollSlotSetUpFreesTheSlot)
{
    CDistMngrResponseReceiver scope;
    for (const char* code : {"ABC", "DEF", "GHI", "JKL"})
        scope.SendBlockQuery(1, static_cast<WORD>(MnemonicToCode(code)), 10);
    Run(1);
    m_link.AnswerAllSubmitted(4);
    Run(1);
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    EXPECT_GT(scope.SendBlockQuery(1, XYZ, 10), 0);
}

TEST_F(DistManagerTest, CancelledBlockTransferStopsAtTheLink)
{
    CDistMngrResponseReceiver scope;
    const int blockId = scope.SendBlockQuery(1, ABC, 10);
    Run(1);
    m_link.AnswerAllSubmitted();
    Run(1);
    const DWORD jobId = m_manager.FindJobOfQuery(static_cast<DWORD>(blockId));
    scope.CancelQuery(blockId);
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    EXPECT_EQ(m_link.Cancelled(), std::vector<DWORD>{jobId});
    EXPECT_GT(scope.SendBlockQuery(1, DEF, 10), 0);
}

TEST_F(DistManagerTest, DestroyedReceiverTakesItsQueriesWithIt)
{
    CDistMngrResponseReceiver keeper;
    keeper.SendQuery(1, ABC, 100);
    auto forgetful = std::make_unique<CDistMngrResponseReceiver>();
    forgetful->SendQuery(1, ABC, 50, kQryNotify);
    forgetful->SendQuery(1, DEF, 100);
    forgetful->SendBlockQuery(1, XYZ, 10);
    // A query that reached the manager without going through the receiver.
    CAmpQryCmdFromGui direct;
    direct.m_address = 3;
    direct.m_code = DEF;
    direct.m_time = 100;
    direct.m_receiver = forgetful.get();
    ASSERT_GT(m_manager.SubmitQuery(direct), 0);
    forgetful->SendCommand(2, DEF, 77);  // asked for, not yet sent
    EXPECT_EQ(m_manager.GetJobCount(), 5);

    forgetful.reset();
    EXPECT_EQ(m_manager.GetJobCount(), 2) << "the keeper's read and the unsent write";
    EXPECT_EQ(m_manager.GetNotificationCount(), 0);
    m_link.m_autoAnswer = true;
    Run(300);  // under the sanitizer a delivery to the dead receiver would show
    EXPECT_FALSE(Drain(keeper).empty());
    const auto submitted = m_link.Submitted();
    EXPECT_TRUE(std::any_of(submitted.begin(), submitted.end(), [](const CAmpQryCmdFromDistMngr& job) {
        return job.m_address == 2 && job.m_code == DEF && job.m_width != 0 && job.GetValue() == 77;
    })) << "the write went out after its window was gone";
    EXPECT_EQ(m_manager.GetJobCount(), 1) << "and ended with its answer";
}

TEST_F(DistManagerTest, LatenessOfRepeatingJobsIsSampled)
{
    CDistMngrResponseReceiver receiver;
    receiver.SendQuery(4, ABC, 100);
    Run(1);
    m_link.AnswerAllSubmitted();
    Run(1);
    m_link.m_overtime.clear();
    kvtest::AdvanceClock(150);
    m_manager.ExecCycle();
    ASSERT_EQ(m_link.m_overtime.size(), 1u);
    EXPECT_EQ(m_link.m_overtime[0].first, 4);
    EXPECT_GE(m_link.m_overtime[0].second, 46u);
    EXPECT_LE(m_link.m_overtime[0].second, 51u);
}

TEST(DueJitterTest, AddsUpToAboutFivePercent)
{
    struct Case { int period; int draw; int jitter; };
    const Case cases[] = {{100, 0, 0},    {100, 32767, 5},  {100, 16383, 0},   {9, 32767, 0},
                          {1000, 32767, 50}, {1000, 20000, 11}, {0, 32767, 0}, {65535, 32767, 3276}};
    for (const auto& c : cases)
        EXPECT_EQ(DueJitter(c.period, c.draw), c.jitter) << c.period << " " << c.draw;
}

TEST_F(DistManagerTest, SynchronousAccessSendsTheArgumentFirst)
{
    m_link.SetRegister(1, "ABC", 77);
    EXPECT_EQ(m_manager.BeginSynchronousAccess(), 1);
    EXPECT_TRUE(m_link.m_synchronous);
    CCompoundAmpMsg message(1, ABC, 0, 0);
    message.AddCommand(XYZ, 3);
    CAmpResponseMsg response;
    EXPECT_TRUE(m_manager.SendSynchronous(response, message));
    ASSERT_EQ(m_link.m_synchronousSent.size(), 2u);
    EXPECT_EQ(m_link.m_synchronousSent[0].m_code, XYZ);
    EXPECT_EQ(m_link.m_synchronousSent[0].m_value, 3);
    EXPECT_EQ(m_link.m_synchronousSent[1].m_code, ABC);
    EXPECT_EQ(response.m_value, 77);
    ASSERT_EQ(response.m_subCommands.GetCount(), 1);
    EXPECT_EQ(response.m_subCommands.GetHead().m_code, XYZ);

    m_link.m_synchronousAnswers = false;
    EXPECT_FALSE(m_manager.SendSynchronous(response, message));
    m_manager.EndSynchronousAccess();
    EXPECT_FALSE(m_link.m_synchronous);
}

TEST_F(DistManagerTest, MonitorSnapshotGroupsReceiversByJob)
{
    CDistMngrResponseReceiver a, b;
    a.SendQueryWithArgument(1, ABC, XYZ, 3, 100);
    b.SendQueryWithArgument(1, ABC, XYZ, 3, 200);
    a.SendQuery(2, DEF, 50);
    m_manager.PublishMonitorSnapshot();  // no monitor: nothing to do

    CMonitorDistCenterQueryDataMapQ queue;
    m_manager.SetMonitorQueue(&queue);
    m_manager.PublishMonitorSnapshot();
    m_manager.PublishMonitorSnapshot();  // left queued: the queue deletes it
    std::unique_ptr<CMonitorDistCenterQueryDataMap> snapshot(queue.Pop());
    ASSERT_TRUE(snapshot);
    ASSERT_EQ(snapshot->GetCount(), 2);
    bool foundMerged = false;
    for (POSITION pos = snapshot->GetStartPosition(); pos;) {
        DWORD jobId;
        CMonitorDistCenterQueryData* record;
        snapshot->GetNextAssoc(pos, jobId, record);
        if (record->m_address == 1) {
            foundMerged = true;
            EXPECT_EQ(record->m_commandKey, static_cast<DWORD>(XYZ) * 65536u + ABC);
            EXPECT_EQ(record->m_subValue, 3);
            EXPECT_EQ(record->m_period, 100u);
            EXPECT_EQ(record->m_receivers.GetCount(), 2);
        }
    }
    EXPECT_TRUE(foundMerged);
    m_manager.SetMonitorQueue(nullptr);
}

TEST_F(DistManagerTest, QueryVarKeepsTheLatestAnswerAndIgnoresLateOnes)
{
    CDmQueryVar var;
    EXPECT_EQ(var.GetReceiverName(), "QueryVar");
    ASSERT_TRUE(var.Query(1, ABC, 100));
    m_link.m_autoAnswer = true;
    m_link.SetRegister(1, "ABC", 0xFFFF);
    Run(100);
    ASSERT_EQ(var.HasResponse(), 1);
    EXPECT_EQ(var.HasChanged(1), 1);
    LONG value = 0;
    ASSERT_TRUE(var.GetValue(value));
    EXPECT_EQ(value, 65535);  // sent as 4 bytes
    Run(110);
    EXPECT_EQ(var.HasChanged(1), 0);  // the same value again

    var.Cancel();
    EXPECT_EQ(var.HasResponse(), 0);

    // Width decides the sign: 0xFFFF in two bytes is -1, 0x80 in one is -128.
    CDmQueryVar narrow;
    narrow.Query(1, DEF, 100);
    m_link.m_autoAnswer = false;
    Run(100);
    CAmpResponseToDistMngr answer = m_link.AnswerFor(m_link.Submitted().back());
    answer.SetValue(0xFFFF, 2);
    m_link.Queue(answer);
    Run(1);
    ASSERT_TRUE(narrow.GetValue(value));
    EXPECT_EQ(value, -1);
    LONG raw = 0;
    ASSERT_TRUE(narrow.GetRawValue(raw));
    EXPECT_EQ(raw, 0xFFFF);
    Run(200);
    answer.SetValue(0x80, 1);
    answer.m_jobId = m_link.Submitted().back().m_jobId;
    m_link.Queue(answer);
    Run(1);
    ASSERT_TRUE(narrow.GetValue(value));
    EXPECT_EQ(value, -128);

    // Errors are changes every time; GetValue fails without an error out.
    Run(200);
    answer.m_error = 4;
    answer.m_jobId = m_link.Submitted().back().m_jobId;
    narrow.HasChanged(1);
    m_link.Queue(answer);
    Run(1);
    EXPECT_EQ(narrow.HasChanged(1), 1);
    EXPECT_FALSE(narrow.GetValue(value));
    EXPECT_FALSE(narrow.GetRawValue(raw));
    WORD error = 0;
    EXPECT_TRUE(narrow.GetValue(value, &error));
    EXPECT_EQ(error, 4);

    // A late answer to a cancelled query is not reported.
    CDmQueryVar cancelled;
    cancelled.Query(1, XYZ, 100);
    Run(1);
    const CAmpQryCmdFromDistMngr inFlight = m_link.Submitted().back();
    cancelled.Cancel();
    m_link.Queue(m_link.AnswerFor(inFlight));
    Run(1);
    EXPECT_EQ(cancelled.HasResponse(), 0);
}

namespace {

// A link that, as the communication manager does, wakes the manager's thread
// when it leaves answers.
class WakingLink : public FakeCommLink {
public:
    bool SetAnswerTaker(CDThread* taker) override
    {
        m_taker = taker;
        return true;
    }
    void AnswerAll()
    {
        AnswerAllSubmitted();
        if (CDThread* taker = m_taker.load())
            taker->Wake();
    }
    std::atomic<CDThread*> m_taker{nullptr};
};

}  // namespace

// On its own thread the manager rests between a repeating job's answer and its
// next turn, yet submits it again at its period and hands on every answer.
TEST(DistManagerRestTest, RestsBetweenTurnsAndKeepsThePeriod)
{
    WakingLink link;
    CDistManager manager(&link);
    CDistMngrResponseReceiver receiver;
    receiver.SetDistManager(&manager);
    ASSERT_TRUE(manager.Start());
    ASSERT_TRUE(WaitFor([&] { return manager.IsResting(); }));

    const auto start = std::chrono::steady_clock::now();
    receiver.SendQuery(1, ABC, 60);
    for (size_t turn = 1; turn <= 3; ++turn) {
        ASSERT_TRUE(WaitFor([&] { return link.SubmittedCount() == turn; }));
        link.AnswerAll();
        ASSERT_TRUE(WaitFor([&] { return receiver.GetResponseCount() == static_cast<int>(turn); }));
        // Nothing due until the next turn: the thread rests.
        ASSERT_TRUE(WaitFor([&] { return manager.IsResting() || link.SubmittedCount() > turn; }));
    }
    // Two full periods passed between the first and the third submission.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
    receiver.CancelAllQueries();
    manager.Stop();
    EXPECT_EQ(link.m_taker.load(), &manager);
}

// A link that answers each job at once, as a quick drive does, and wakes the
// manager's thread for it.
class AnsweringLink : public WakingLink {
public:
    AnsweringLink() { m_autoAnswer = true; }
    void SubmitJob(const CAmpQryCmdFromDistMngr& job) override
    {
        FakeCommLink::SubmitJob(job);
        if (CDThread* taker = m_taker.load())
            taker->Wake();
    }
};

// While an answer waits for a slower receiver's period, and between turns, the
// thread sleeps until something falls due: a few wake-ups a turn, not one a
// millisecond.
TEST(DistManagerRestTest, HeldAnswersCostNoWakeUpsUntilTheyAreDue)
{
    AnsweringLink link;
    CDistManager manager(&link);
    CDistMngrResponseReceiver fast, slow;
    fast.SetDistManager(&manager);
    slow.SetDistManager(&manager);
    ASSERT_TRUE(manager.Start());
    fast.SendQuery(1, ABC, 100);
    slow.SendQuery(1, ABC, 300);
    ASSERT_TRUE(WaitFor([&] { return slow.GetResponseCount() >= 4; }, std::chrono::seconds(5)));
    const long submitted = static_cast<long>(link.SubmittedCount());
    // Each turn: the submission, its answer, a held delivery; a few spare.
    EXPECT_LT(manager.GetStepCount(), 4 * submitted + 10);
    fast.CancelAllQueries();
    slow.CancelAllQueries();
    manager.Stop();
}
