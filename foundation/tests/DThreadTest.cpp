#include <gtest/gtest.h>

#include <atomic>

#include "foundation/DThread.h"
#include "platform/core/Event.h"
#include "platform/core/WinThread.h"
#include "testing/WaitFor.h"

namespace {

class CountingThread : public CDThread {
public:
    ~CountingThread() override { StopThread(1); }
    std::atomic<int> starts{0}, steps{0}, ends{0}, endReason{-1};
    std::atomic<int> stepResult{0};

protected:
    void OnStart() override { ++starts; }
    int Step() override
    {
        ++steps;
        return stepResult.load();
    }
    void OnEnd(int reason) override
    {
        endReason = reason;
        ++ends;
    }
};

// Holds OnStart until released, to catch the thread in its starting state.
class SlowStartThread : public CountingThread {
public:
    CEvent release{FALSE, TRUE};
    std::atomic<bool> inStart{false};

protected:
    void OnStart() override
    {
        inStart = true;
        release.Lock();
        CountingThread::OnStart();
    }
};

class DefaultThread : public CDThread {
public:
    ~DefaultThread() override { StopThread(1); }
    std::atomic<int> endReason{-1};

protected:
    void OnEnd(int reason) override { endReason = reason; }
};

}  // namespace

TEST(DThreadTest, RunsCyclesUntilStoppedAndCanRestart)
{
    CountingThread t;
    EXPECT_EQ(t.GetState(), CDThread::kIdle);
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.steps.load() >= 3; }));
    t.StopThread(1);
    EXPECT_EQ(t.GetState(), CDThread::kIdle);
    EXPECT_EQ(t.endReason.load(), 2);
    EXPECT_EQ(t.ends.load(), 1);

    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.starts.load() == 2; }));
    t.StopThread(1);
    EXPECT_EQ(t.ends.load(), 2);
}

TEST(DThreadTest, StartIsRefusedUnlessIdle)
{
    SlowStartThread t;
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.inStart.load(); }));
    EXPECT_EQ(t.GetState(), CDThread::kStarting);
    EXPECT_EQ(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    t.release.SetEvent();
    EXPECT_TRUE(WaitFor([&] { return t.GetState() == CDThread::kRunning; }));
    EXPECT_EQ(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    t.StopThread(1);
    EXPECT_EQ(t.starts.load(), 1);
}

TEST(DThreadTest, StopOfAStartingThreadWaitsThenStopsIt)
{
    SlowStartThread t;
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.inStart.load(); }));
    std::atomic<bool> stopped{false};
    std::pair<SlowStartThread*, std::atomic<bool>*> args(&t, &stopped);
    CWinThread* stopper = AfxBeginThread([](LPVOID p) -> UINT {
        auto* self = static_cast<std::pair<SlowStartThread*, std::atomic<bool>*>*>(p);
        self->first->StopThread(1);
        *self->second = true;
        return 0;
    }, &args);
    ASSERT_NE(stopper, nullptr);
    t.release.SetEvent();
    EXPECT_TRUE(WaitFor([&] { return stopped.load(); }));
    EXPECT_EQ(t.GetState(), CDThread::kIdle);
    EXPECT_EQ(t.endReason.load(), 2);
}

TEST(DThreadTest, StopOnAnIdleThreadReturnsAtOnce)
{
    CountingThread t;
    t.StopThread(1);
    EXPECT_EQ(t.GetState(), CDThread::kIdle);
    EXPECT_EQ(t.ends.load(), 0);
}

TEST(DThreadTest, AThreadWithoutStepRunsOneCycle)
{
    DefaultThread t;
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.GetState() == CDThread::kIdle; }));
    EXPECT_EQ(t.endReason.load(), 1);
}

TEST(DThreadTest, NonZeroStepEndsTheLoopWithThatReason)
{
    CountingThread t;
    t.stepResult = 7;
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.GetState() == CDThread::kIdle; }));
    EXPECT_EQ(t.steps.load(), 1);
    EXPECT_EQ(t.endReason.load(), 7);
}

TEST(DThreadTest, FailedCreationLeavesTheThreadIdle)
{
    CountingThread t;
    kvtest::FailThreadCreations(1);
    EXPECT_EQ(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_EQ(t.GetState(), CDThread::kIdle);
    t.StopThread(1);  // would wait forever if left starting
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return t.steps.load() >= 1; }));
}
