#include "rules/AdvanceLock.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kPassword = "R4TZQ";

bool blankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

bool AdvanceLock::accepts(std::string_view entry) {
    while (!entry.empty() && blankOrControl(entry.front())) {
        entry.remove_prefix(1);
    }
    while (!entry.empty() && blankOrControl(entry.back())) {
        entry.remove_suffix(1);
    }
    return std::ranges::equal(entry, kPassword, [](char typed, char wanted) {
        return std::toupper(static_cast<unsigned char>(typed)) == wanted;
    });
}

AdvanceLock::Answer AdvanceLock::tryPassword(std::string_view entry) {
    if (accepts(entry)) {
        return Answer::Unlocked;
    }
    ++failures;
    return failures >= kTries ? Answer::Locked : Answer::TryAgain;
}
