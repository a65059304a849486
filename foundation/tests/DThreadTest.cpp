#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

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

namespace {

// Has work only when told; rests until woken, or for restMs when that is set.
class RestingThread : public CDThread {
public:
    ~RestingThread() override { StopThread(1); }
    std::atomic<int> steps{0};
    std::atomic<int> restMs{kRestUntilWoken};
    std::atomic<int> selfWakes{0};  // steps that hand themselves more work

protected:
    int Step() override
    {
        ++steps;
        if (selfWakes > 0) {
            --selfWakes;
            Wake();  // as a producer does while the cycle runs
        }
        return 0;
    }
    int GetRestMs() override { return restMs.load(); }
};

}  // namespace

TEST(DThreadTest, AThreadWithoutWorkRestsUntilWokenOrItsDeadline)
{
    RestingThread t;
    ASSERT_NE(t.StartThread(THREAD_PRIORITY_NORMAL, 1), 0);
    ASSERT_TRUE(WaitFor([&] { return t.IsResting(); }));
    EXPECT_EQ(t.steps.load(), 0);

    // Each wake gives one cycle, then it rests again.
    for (int wake = 1; wake <= 3; ++wake) {
        t.Wake();
        ASSERT_TRUE(WaitFor([&] { return t.steps.load() == wake && t.IsResting(); }));
    }
    EXPECT_EQ(t.steps.load(), 3);

    // A wake given during a cycle is not lost: the next rest ends at once.
    t.selfWakes = 2;
    t.Wake();
    ASSERT_TRUE(WaitFor([&] { return t.steps.load() == 6 && t.IsResting(); }));

    // A rest with a deadline ends by itself.
    t.restMs = 20;
    t.Wake();
    EXPECT_TRUE(WaitFor([&] { return t.steps.load() >= 9; }));
    t.restMs = CDThread::kRestUntilWoken;

    // A stop reaches a resting thread at once.
    ASSERT_TRUE(WaitFor([&] { return t.IsResting(); }));
    const auto before = std::chrono::steady_clock::now();
    t.StopThread(1);
    EXPECT_EQ(t.GetState(), CDThread::kIdle);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
}
