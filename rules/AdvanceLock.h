#pragma once

#include <string_view>

// The password lock in front of the Advance Setting tab. Each showing of the
// lock allows three tries; the third wrong one locks the tab again.
class AdvanceLock {
public:
    enum class Answer { Unlocked, TryAgain, Locked };

    static constexpr int kTries = 3;

    // Upper and lower case alike, surrounding blanks and control characters
    // ignored.
    static bool accepts(std::string_view entry);

    // The lock is shown: three new tries.
    void start() { failures = 0; }
    Answer tryPassword(std::string_view entry);

private:
    int failures = 0;
};
