#include "rules/KeyFilters.h"

#include <cstddef>

namespace {

bool isDigit(char32_t key) {
    return key >= U'0' && key <= U'9';
}

KeyDecision decimalKey(std::string_view text, char32_t key, std::size_t maxDecimals) {
    const auto point = text.find('.');
    if (point != std::string_view::npos) {
        const std::size_t decimals = text.size() - point - 1;
        if (key == kBackspace || (isDigit(key) && decimals < maxDecimals)) {
            return KeyDecision::Pass;
        }
        return KeyDecision::Swallow;
    }
    if (key == U'.') {
        return text.empty() ? KeyDecision::Swallow : KeyDecision::Pass;
    }
    return isDigit(key) || key == kBackspace ? KeyDecision::Pass : KeyDecision::Swallow;
}

} // namespace

KeyDecision wholeNumberKey(char32_t key) {
    if (isDigit(key)) {
        return KeyDecision::Pass;
    }
    return key == kEnter ? KeyDecision::EndEntry : KeyDecision::SwallowWithMessage;
}

KeyDecision oneDecimalKey(std::string_view text, char32_t key) {
    return key == kEnter ? KeyDecision::ExitThenEndEntry : decimalKey(text, key, 1);
}

KeyDecision twoDecimalKey(std::string_view text, char32_t key) {
    return key == kEnter ? KeyDecision::ExitKeepFocus : decimalKey(text, key, 2);
}

KeyDecision frequencyKey(char32_t key) {
    return key == kEnter ? KeyDecision::ExitThenEndEntry : KeyDecision::Pass;
}
