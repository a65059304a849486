#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/core/Clock.h"
#include "platform/core/Event.h"
#include "platform/core/Mutex.h"
#include "platform/core/Rand.h"
#include "platform/core/SingleLock.h"
#include "platform/core/WinThread.h"
#include "testing/WaitFor.h"

TEST(ThreadTest, MutexIsRecursiveAndTimesOut)
{
    CMutex mutex;
    CSingleLock outer(&mutex, TRUE);
    CSingleLock inner(&mutex, TRUE);
    EXPECT_TRUE(inner.IsLocked());
    std::atomic<int> got{-1};
    std::thread other([&] { got = mutex.Lock(20); });
    other.join();
    EXPECT_EQ(got, FALSE);
}

TEST(ThreadTest, BeginThreadRunsAndAutoDeletes)
{
    static std::atomic<int> runs{0};
    runs = 0;
    CWinThread* t = AfxBeginThread([](LPVOID p) -> UINT {
        static_cast<std::atomic<int>*>(p)->fetch_add(1);
        return 0;
    }, &runs);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(WaitFor([] { return runs.load() == 1; }));
}

TEST(ThreadTest, InjectedCreationFailureReturnsNull)
{
    kvtest::FailThreadCreations(1);
    EXPECT_EQ(AfxBeginThread([](LPVOID) -> UINT { return 0; }, nullptr), nullptr);
}

TEST(ThreadTest, EventWakesAWaiter)
{
    CEvent event(FALSE, FALSE);
    EXPECT_FALSE(event.Lock(5));
    std::thread setter([&] { event.SetEvent(); });
    EXPECT_TRUE(event.Lock(5000));
    setter.join();
    EXPECT_FALSE(event.Lock(0));  // auto-reset
}

TEST(ThreadTest, ThirtyTwoBitClockWrapsButTheWideOneDoesNot)
{
    kvtest::FreezeClock(0xFFFFFFFFull - 4);
    const ULONGLONG before = GetTickCount64();
    kvtest::AdvanceClock(10);
    EXPECT_EQ(GetTickCount64() - before, 10u);
    EXPECT_EQ(timeGetTime(), 5u);
    kvtest::ThawClock();
}

TEST(ThreadTest, RandFollowsTheClassicSequencePerThread)
{
    SRand(1);
    const int first = Rand();
    const int second = Rand();
    EXPECT_EQ(first, 41);
    EXPECT_EQ(second, 18467);
    SRand(1);
    std::thread other([] {
        for (int i = 0; i < 100; ++i)
            Rand();
    });
    other.join();
    EXPECT_EQ(Rand(), 41);
}

#include "platform/core/MessageBox.h"

TEST(MessageBoxTest, ScriptedAnswerUsesQueueThenDefaultButtonAndLogs)
{
    AfxTakeScriptedMessageLog();
    AfxQueueScriptedAnswer(IDNO);
    EXPECT_EQ(AfxEngineMessageBox("first?", "Korvane", MB_YESNO), IDNO);
    EXPECT_EQ(AfxEngineMessageBox("second?", "Korvane", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxEngineMessageBox("third", "Korvane", MB_OKCANCEL), IDOK);
    const auto log = AfxTakeScriptedMessageLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "MSGBOX:first?");
    AfxSetMessageBoxHandler([](const char*, const char*, UINT, UINT) { return IDCANCEL; });
    EXPECT_EQ(AfxEngineMessageBox("x", "y", MB_OK), IDCANCEL);
    AfxSetMessageBoxHandler(nullptr);
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty());
}

#include <sys/prctl.h>

TEST(ThreadTest, FinerTimerPeriodReachesThreadsMadeAfterIt)
{
    const long before = prctl(PR_GET_TIMERSLACK);
    timeBeginPeriod(1);
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK), 1);
    long inThread = -1;
    std::thread later([&] { inThread = prctl(PR_GET_TIMERSLACK); });
    later.join();
    EXPECT_EQ(inThread, 1);
    timeEndPeriod(1);
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK), before);
}
