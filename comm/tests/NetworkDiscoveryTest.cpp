// Network discovery on loopback: modules answer the poll from their own
// addresses; the poll goes to the loopback broadcast address, never to the
// real one.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "comm/udp/QvxPollForRemotes.h"
#include "platform/core/MessageBox.h"
#include "testing/SimulatedNetworkModule.h"
#include "testing/TestAppServices.h"

namespace {

int Poll(CQvxRemotePollDataMap& map, int port, const char* address = "127.255.255.255")
{
    CQvxPollForRemotes poll;
    poll.SetTarget(address, static_cast<UINT>(port));
    return poll.PollForRemotes(map);
}

}  // namespace

TEST(NetworkDiscoveryTest, NoModuleGivesNothingAfterThePollTime)
{
    SimulatedNetworkModule silent;  // holds a poll port but answers nothing
    ASSERT_TRUE(silent.Start(0));
    silent.SetPollAnswer({});
    CQvxRemotePollDataMap map;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Poll(map, silent.PollPort()), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(CQvxPollForRemotes::kPollMs));
    EXPECT_LT(took, std::chrono::milliseconds(CQvxPollForRemotes::kPollMs + 3000)) << "no hang";
    EXPECT_EQ(silent.PollsReceived(), 1);
}

TEST(NetworkDiscoveryTest, TwoModulesGiveTwoEntriesUnderTheirAddresses)
{
    SimulatedNetworkModule first("127.0.0.2", "Cell A");
    ASSERT_TRUE(first.Start(0));
    SimulatedNetworkModule second("127.0.0.3", "Cell B");
    ASSERT_TRUE(second.Start(first.PollPort()));
    CQvxRemotePollDataMap map;
    ASSERT_EQ(Poll(map, first.PollPort()), 2);
    QVXREMOTEPOLLDATA* a = nullptr;
    QVXREMOTEPOLLDATA* b = nullptr;
    ASSERT_TRUE(map.Lookup("127.0.0.2", a));
    ASSERT_TRUE(map.Lookup("127.0.0.3", b));
    EXPECT_EQ(RemotePollName(*a), "Cell A");
    EXPECT_EQ(RemotePollPort(*a), first.LinkPort());
    EXPECT_EQ(RemotePollName(*b), "Cell B");
    EXPECT_EQ(RemotePollPort(*b), second.LinkPort());

    // A second poll into the same map replaces the records, one per address.
    ASSERT_EQ(Poll(map, first.PollPort()), 2);
}

TEST(NetworkDiscoveryTest, AnswersThatAreNoRecordsAreIgnoredAndShortOnesZeroFilled)
{
    SimulatedNetworkModule wrong("127.0.0.2", "Wrong");
    ASSERT_TRUE(wrong.Start(0));
    wrong.SetPollAnswer({0xBC, 0x5D, 0x10, 0x20});  // the signature's bytes swapped
    SimulatedNetworkModule empty("127.0.0.3", "Empty");
    ASSERT_TRUE(empty.Start(wrong.PollPort()));
    empty.SetPollAnswer({});
    SimulatedNetworkModule shortOne("127.0.0.4", "Short");
    ASSERT_TRUE(shortOne.Start(wrong.PollPort()));
    shortOne.SetPollAnswer({0x5D, 0xBC, 0x34, 0x12, 0, 0, 'N', 'e'});
    std::vector<BYTE> unterminated(60, 'x');
    unterminated[0] = 0x5D;
    unterminated[1] = 0xBC;
    SimulatedNetworkModule longName("127.0.0.5", "Long");
    ASSERT_TRUE(longName.Start(wrong.PollPort()));
    longName.SetPollAnswer(unterminated);

    CQvxRemotePollDataMap map;
    ASSERT_EQ(Poll(map, wrong.PollPort()), 2);
    QVXREMOTEPOLLDATA* record = nullptr;
    ASSERT_TRUE(map.Lookup("127.0.0.4", record));
    EXPECT_EQ(RemotePollPort(*record), 0x1234);
    EXPECT_EQ(RemotePollName(*record), "Ne");
    for (int i = 8; i < 54; ++i)
        EXPECT_EQ(reinterpret_cast<const BYTE*>(record)[i], 0) << i;
    ASSERT_TRUE(map.Lookup("127.0.0.5", record));
    EXPECT_EQ(RemotePollName(*record), CString('x', 47)) << "the name ends inside its 48 bytes";
}

TEST(NetworkDiscoveryTest, FilingTwiceUnderOneAddressReplacesTheRecord)
{
    CQvxRemotePollDataMap map;
    QVXREMOTEPOLLDATA record{};
    record.signature[0] = kRemotePollSignature0;
    std::strcpy(record.name, "one");
    map.File("10.0.0.1", record);
    std::strcpy(record.name, "two");
    map.File("10.0.0.1", record);
    ASSERT_EQ(map.GetCount(), 1);
    // Answers straight from the wire: empty and foreign ones are skipped.
    CQvxPollForRemotes poll;
    poll.FileAnswer(nullptr, 0, "10.0.0.2", map);
    const BYTE foreign[] = {0x12, 0x34, 0x56};
    poll.FileAnswer(foreign, sizeof foreign, "10.0.0.3", map);
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_EQ(poll.GetIgnoredCount(), 2);
    QVXREMOTEPOLLDATA* filed = nullptr;
    ASSERT_TRUE(map.Lookup("10.0.0.1", filed));
    EXPECT_EQ(RemotePollName(*filed), "two");
}
