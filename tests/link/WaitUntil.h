#pragma once

#include <chrono>
#include <thread>

// Looks at the condition every millisecond until it holds or the limit has
// passed, and gives its last answer: for what another thread or the kernel
// does in its own time (bytes crossing a pseudo-terminal, the emulator's
// counters), where a fixed pause would either waste time or guess too short.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(2)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
