// The whole road of a query: receivers, the distribution manager, the
// communication manager and the demo link's simulated drives.
#include <gtest/gtest.h>

#include <vector>

#include "comm/link/CommManager.h"
#include "comm/link/CommPortFactory.h"
#include "comm/demo/CommunicationsModuleSimulator.h"
#include "testing/TestAppServices.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/DmQueryVar.h"
#include "platform/core/MessageBox.h"
#include "testing/DemoEngine.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace {

const WORD VER = static_cast<WORD>(MnemonicToCode("VER"));
const WORD TLP = static_cast<WORD>(MnemonicToCode("TLP"));
const WORD MDL = static_cast<WORD>(MnemonicToCode("MDL"));
const WORD MDI = static_cast<WORD>(MnemonicToCode("MDI"));

// A receiver that keeps what it was handed, for the test thread to look at.
class Collector : public CDistMngrResponseReceiver {
public:
    std::vector<CAmpResponseToGui> Take()
    {
        CAmpResponseToGui response;
        while (GetNextResponse(response))
            m_seen.push_back(response);
        return m_seen;
    }
    size_t Count() { return Take().size(); }
    LONG LastValue()
    {
        const auto seen = Take();
        return seen.empty() ? -1 : seen.back().m_value;
    }

private:
    std::vector<CAmpResponseToGui> m_seen;
};

class DemoLinkTest : public ::testing::Test, protected DemoEngine {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { Close(); }
};

}  // namespace

TEST_F(DemoLinkTest, MergedReadServesEachReceiverAtItsOwnPeriod)
{
    Collector fast, middle, slow;
    ASSERT_GT(fast.SendQuery(1, VER, 30), 0);
    ASSERT_GT(middle.SendQuery(1, VER, 90), 0);
    ASSERT_GT(slow.SendQuery(1, VER, 250), 0);
    EXPECT_EQ(m_dist.GetJobCount(), 1);
    ASSERT_TRUE(WaitFor([&] { return slow.Count() >= 4; }, std::chrono::seconds(10)));

    const auto fastAnswers = fast.Take();
    const auto middleAnswers = middle.Take();
    const auto slowAnswers = slow.Take();
    EXPECT_GE(fastAnswers.size(), middleAnswers.size());
    EXPECT_GE(middleAnswers.size(), slowAnswers.size());
    const DWORD jobId = slowAnswers[0].m_jobId;
    struct Case { const std::vector<CAmpResponseToGui>* answers; double period; };
    for (const Case& c : {Case{&fastAnswers, 0.030}, Case{&middleAnswers, 0.090}, Case{&slowAnswers, 0.250}}) {
        for (size_t i = 0; i < c.answers->size(); ++i) {
            const CAmpResponseToGui& answer = (*c.answers)[i];
            EXPECT_EQ(answer.m_jobId, jobId);  // one job serves them all
            EXPECT_EQ(answer.m_error, 0);
            EXPECT_EQ(answer.m_value, Model(1, VER));
            if (i > 0) {
                EXPECT_GE(answer.m_queueTime, c.period - 1e-9);
            }
        }
    }

    // Cancelling one receiver leaves the others served.
    fast.CancelAllQueries();
    const size_t middleBefore = middle.Count();
    const size_t slowBefore = slow.Count();
    const size_t fastBefore = fast.Count();
    EXPECT_TRUE(WaitFor([&] { return middle.Count() > middleBefore + 2 && slow.Count() > slowBefore; }));
    EXPECT_EQ(fast.Count(), fastBefore);
    EXPECT_EQ(m_dist.GetJobCount(), 1);
}

TEST_F(DemoLinkTest, WritesAreNeverMergedAndEachGetsItsAnswer)
{
    Collector first, second;
    const int a = first.SendCommand(1, TLP, 55);
    const int b = second.SendCommand(1, TLP, 55);
    EXPECT_EQ(m_dist.GetJobCount(), 2);
    ASSERT_TRUE(WaitFor([&] { return first.Count() == 1 && second.Count() == 1; }));
    const auto fromFirst = first.Take();
    const auto fromSecond = second.Take();
    EXPECT_EQ(fromFirst[0].m_queryId, static_cast<DWORD>(a));
    EXPECT_EQ(fromSecond[0].m_queryId, static_cast<DWORD>(b));
    EXPECT_NE(fromFirst[0].m_jobId, fromSecond[0].m_jobId);
    EXPECT_EQ(fromFirst[0].m_write, 1u);
    EXPECT_EQ(fromFirst[0].m_error, 0);
    EXPECT_TRUE(WaitFor([&] { return m_dist.GetJobCount() == 0; }));
    EXPECT_EQ(Model(1, TLP), 55);
}

TEST_F(DemoLinkTest, OneShotQueryWithArgumentGetsItsValue)
{
    CDmQueryVar var;
    ASSERT_TRUE(var.QueryWithArgument(2, MDL, MDI, 3, 0));
    ASSERT_TRUE(WaitFor([&] { return var.HasResponse() != 0; }));
    LONG value = 0;
    ASSERT_TRUE(var.GetRawValue(value));
    LONG expected = 0;
    // MDL[3] as the model holds it (the argument has selected entry 3).
    m_factory.m_simulator->Model().GetRegister(2, MDL, expected);
    EXPECT_EQ(value, expected);
    // The one-shot read is over; the subscription stays until cancelled.
    EXPECT_TRUE(WaitFor([&] { return m_dist.GetJobCount() == 0; }));
    EXPECT_EQ(m_dist.GetNotificationCount(), 1);
    var.Cancel();
    EXPECT_EQ(m_dist.GetNotificationCount(), 0);
}

TEST_F(DemoLinkTest, NotificationsFollowChangesOfValue)
{
    Collector poller, writer, listener;
    poller.SendQuery(1, TLP, 20);
    listener.SendQuery(1, TLP, 0, kQryOneShot | kQryNotify);
    ASSERT_TRUE(WaitFor([&] { return listener.Count() >= 2; }));  // its answer and the first value
    writer.SendCommand(1, TLP, 5);
    ASSERT_TRUE(WaitFor([&] { return writer.Count() == 1 && poller.LastValue() == 5; }));
    writer.SendCommand(1, TLP, 6);
    ASSERT_TRUE(WaitFor([&] { return writer.Count() == 2 && poller.LastValue() == 6; }));
    const size_t polled = poller.Count();
    ASSERT_TRUE(WaitFor([&] { return poller.Count() > polled + 5; }));  // more answers, same value

    std::vector<LONG> notified;
    for (const auto& response : listener.Take())
        if (response.m_notification)
            notified.push_back(response.m_value);
    EXPECT_EQ(notified, (std::vector<LONG>{100, 5, 6}));
}

TEST_F(DemoLinkTest, BlockQuerySetsUpAPollSlotAndDeliversItsDataUntilCancelled)
{
    Collector scope;
    const int blockId = scope.SendBlockQuery(1, VER, 20);
    ASSERT_GT(blockId, 0);
    // The slot's set-up answer, then the polled register's data, period after period.
    ASSERT_TRUE(WaitFor([&] { return scope.Count() >= 5; }));
    const auto answers = scope.Take();
    EXPECT_EQ(answers[0].m_code, 15969);
    EXPECT_EQ(answers[0].m_write, 1u);
    EXPECT_EQ(answers[0].m_queryId, static_cast<DWORD>(blockId));
    for (size_t i = 1; i < answers.size(); ++i) {
        EXPECT_EQ(answers[i].m_queryId, static_cast<DWORD>(blockId));
        EXPECT_EQ(answers[i].m_code, VER);
        EXPECT_EQ(answers[i].m_value, Model(1, VER));
    }
    scope.CancelQuery(blockId);
    EXPECT_EQ(m_dist.GetJobCount(), 0);
    // The slot is free again and the link keeps working.
    Collector probe;
    probe.SendQuery(1, VER, 0, kQryOneShot);
    ASSERT_TRUE(WaitFor([&] { return probe.Count() == 1; }));
    EXPECT_GT(scope.SendBlockQuery(1, TLP, 20), 0);
}

TEST_F(DemoLinkTest, ASynchronousReadRightAfterAStreamStopsGetsItsOwnAnswer)
{
    for (int round = 0; round < 3; ++round) {
        Collector scope;
        const int blockId = scope.SendBlockQuery(2, VER, 2);
        ASSERT_GT(blockId, 0);
        ASSERT_TRUE(WaitFor([&] { return scope.Count() >= 3; }));
        scope.CancelQuery(blockId);

        BeginSynchronousDriveAccess();
        CCompoundAmpMsg read;
        read.m_address = 1;
        read.m_code = TLP;
        CAmpResponseMsg answer;
        const bool answered = SendSynchronousMessage(read, answer);
        EndSynchronousDriveAccess();
        ASSERT_TRUE(answered) << "round " << round;
        EXPECT_EQ(answer.m_address, 1) << "round " << round;
        EXPECT_EQ(answer.m_value, Model(1, TLP)) << "round " << round << ": a late stream value taken as the answer";
    }
}
