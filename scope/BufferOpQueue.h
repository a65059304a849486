// CBufferOpQueue: the jobs the recording buffer hands its file thread. The
// thread waits on the queue itself, so a queued job is taken at once.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

class CBufferOpQueue {
public:
    enum Op { kWriteAndSwap = 1, kNothing = 2, kPrefetchNext = 3, kPrefetchPrevious = 4, kStop = 5,
              kSeekTime = 6, kReloadAfterGap = 7 };
    struct Item {
        int m_op = kNothing;
        double m_arg = 0.0;
    };

    void Add(int op, double arg = 0.0);
    // Waits up to the given time for the oldest job; FALSE when none came.
    bool Take(Item& item, int waitMs);
    void Clear();
    bool IsEmpty() const;

private:
    std::deque<Item> m_items;
    mutable std::mutex m_lock;
    std::condition_variable m_added;
};
