// Waits for a condition with a deadline instead of a fixed sleep.
#pragma once

#include <chrono>
#include <thread>

template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
