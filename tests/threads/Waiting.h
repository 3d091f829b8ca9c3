// Bounded waiting for the thread tests: conditions are polled with short
// sleeps up to a generous limit, so a fault fails the test instead of
// hanging it.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace threads_test {

constexpr int kGenerousMs = 10000;

inline bool WaitUntil(const std::function<bool()> &condition, int limitMs = kGenerousMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace threads_test
