#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "testing/FakeCommLink.h"
#include "distribution/DistManager.h"
#include "distribution/SynchronizedQueryResponseClient.h"
#include "distribution/SynchronizedQueryResponseTable.h"
#include "platform/core/Clock.h"

namespace {

const WORD CS = static_cast<WORD>(MnemonicToCode("CS"));
const WORD MDL = static_cast<WORD>(MnemonicToCode("MDL"));
const WORD MDI = static_cast<WORD>(MnemonicToCode("MDI"));

class RecordingClient : public CSynchronizedQueryResponseClient {
public:
    void OnSyncResponse(int key) override { told.push_back(key); }
    std::vector<int> told;
};

class SynchronizedQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::FreezeClock(7000000);
        m_table.SetDistManager(&m_manager);
        m_link.m_autoAnswer = true;
    }
    void TearDown() override { kvtest::ThawClock(); }
    void Run(int cycles)
    {
        for (int i = 0; i < cycles; ++i) {
            kvtest::AdvanceClock(1);
            m_table.ExecCycle();
            m_manager.ExecCycle();
            m_table.ExecCycle();
        }
    }

    FakeCommLink m_link;
    CDistManager m_manager{&m_link};
    CSynchronizedQueryResponseTable m_table;
};

}  // namespace

TEST_F(SynchronizedQueryTest, ClientsOfOneRegisterShareOneRequest)
{
    RecordingClient first, second;
    first.AttachToTable(&m_table);
    second.AttachToTable(&m_table);
    m_link.SetRegister(1, "CS", 17);
    m_link.SetRegister(1, "MDL", -3, 6);
    ASSERT_TRUE(first.AddSyncQuery(10, 1, CS, -1));
    EXPECT_FALSE(first.AddSyncQuery(10, 1, CS, -1));  // the key is taken
    ASSERT_TRUE(first.AddSyncQueryWithArgument(11, 1, MDI, 6, MDL, -1));
    ASSERT_TRUE(second.AddSyncQuery(99, 1, CS, -1));
    EXPECT_EQ(m_table.GetRequestCount(), 2);
    LONG value = 0;
    EXPECT_FALSE(first.GetSyncAnswer(10, value, 1));

    Run(1);
    EXPECT_EQ(m_link.SubmittedCount(), 2u);
    ASSERT_TRUE(first.GetSyncAnswer(10, value, 1));
    EXPECT_EQ(value, 17);
    ASSERT_TRUE(second.GetSyncAnswer(99, value, 1));
    EXPECT_EQ(value, 17);
    ASSERT_TRUE(first.GetSyncAnswer(11, value, 1));
    EXPECT_EQ(value, -3);
    ASSERT_TRUE(first.GetSyncAnswer(11, value, 0));
    EXPECT_EQ(value, 0xFD);  // the byte as received
    EXPECT_EQ(second.told, std::vector<int>{99});

    // A third client asking later is answered from what is there.
    RecordingClient late;
    late.AttachToTable(&m_table);
    ASSERT_TRUE(late.AddSyncQuery(1, 1, CS, -1));
    ASSERT_TRUE(late.GetSyncAnswer(1, value, 1));
    EXPECT_EQ(value, 17);
    EXPECT_EQ(m_link.SubmittedCount(), 2u);
}

TEST_F(SynchronizedQueryTest, RefusedRequestNeverAnswers)
{
    CSynchronizedQueryResponseTable orphan;  // no distribution manager anywhere
    RecordingClient client;
    client.AttachToTable(&orphan);
    ASSERT_TRUE(client.AddSyncQuery(1, 1, CS, -1));
    orphan.ExecCycle();
    CAmpResponseToGui answer;
    BYTE state = 0;
    ASSERT_TRUE(orphan.GetAnswer(1, answer, state));
    EXPECT_EQ(state, kSyncRefused);
    orphan.ExecCycle();
    LONG value;
    EXPECT_FALSE(client.GetSyncAnswer(1, value, 1));
    EXPECT_TRUE(client.told.empty());
}

TEST_F(SynchronizedQueryTest, ResubmittedOneShotTellsOnlyOfChanges)
{
    RecordingClient client;
    client.AttachToTable(&m_table);
    m_link.SetRegister(1, "CS", 5);
    client.AddSyncQuery(3, 1, CS, -1);
    Run(1);
    EXPECT_EQ(client.told.size(), 1u);
    Run(50);
    EXPECT_EQ(m_link.SubmittedCount(), 1u);  // one-shot

    m_table.ResubmitOneShotRequests();
    Run(1);
    EXPECT_EQ(m_link.SubmittedCount(), 2u);
    EXPECT_EQ(client.told.size(), 1u);  // same value: not told again

    m_link.SetRegister(1, "CS", 6);
    m_table.ResubmitOneShotRequests();
    Run(1);
    EXPECT_EQ(client.told.size(), 2u);
    LONG value = 0;
    ASSERT_TRUE(client.GetSyncAnswer(3, value, 1));
    EXPECT_EQ(value, 6);
    EXPECT_EQ(m_manager.GetNotificationCount(), 1);  // the old subscription went with the old query
}

TEST_F(SynchronizedQueryTest, TimedOutAnswerIsNoValue)
{
    RecordingClient client;
    client.AttachToTable(&m_table);
    client.AddSyncQuery(3, 1, CS, -1);
    m_link.m_autoAnswer = false;
    Run(1);
    m_link.AnswerAllSubmitted(512);
    Run(1);
    LONG value = 0;
    EXPECT_FALSE(client.GetSyncAnswer(3, value, 1));
    Run(1);  // the one-shot goes out again after the time-out
    m_link.SetRegister(1, "CS", 9);
    m_link.AnswerAllSubmitted();
    Run(1);
    ASSERT_TRUE(client.GetSyncAnswer(3, value, 1));
    EXPECT_EQ(value, 9);
}

TEST_F(SynchronizedQueryTest, LastClientLeavingCancelsTheQuery)
{
    auto first = std::make_unique<RecordingClient>();
    RecordingClient second;
    first->AttachToTable(&m_table);
    second.AttachToTable(&m_table);
    first->AddSyncQuery(1, 1, CS, 100);
    second.AddSyncQuery(1, 1, CS, 100);
    Run(1);
    EXPECT_EQ(m_manager.GetJobCount(), 1);
    first.reset();
    EXPECT_EQ(m_table.GetRequestCount(), 1);
    EXPECT_EQ(m_manager.GetJobCount(), 1);
    m_table.DetachClient(&second);
    EXPECT_EQ(m_table.GetRequestCount(), 0);
    EXPECT_EQ(m_manager.GetJobCount(), 0);
    EXPECT_EQ(m_manager.GetNotificationCount(), 0);
    EXPECT_EQ(second.GetTable(), nullptr);
    LONG value;
    EXPECT_FALSE(second.AddSyncQuery(2, 1, CS, 100));  // detached
    EXPECT_FALSE(second.GetSyncAnswer(1, value, 1));
}
