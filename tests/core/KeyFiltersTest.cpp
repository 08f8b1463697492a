#include "rules/KeyFilters.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using enum KeyDecision;

struct KeyCase {
    std::string_view text;
    char32_t key;
    KeyDecision expected;
};

TEST(WholeNumberKey, DigitsPassEnterEndsEverythingElseIsRefused) {
    for (char32_t key = U'0'; key <= U'9'; ++key) {
        EXPECT_EQ(wholeNumberKey(key), Pass);
    }
    EXPECT_EQ(wholeNumberKey(kEnter), EndEntry);
    for (char32_t key : {kBackspace, U'.', U'-', U'a', U' ', char32_t{27}, U'\u0663'}) {
        EXPECT_EQ(wholeNumberKey(key), SwallowWithMessage) << static_cast<unsigned>(key);
    }
}

TEST(OneDecimalKey, AtMostOneDecimalAndNoLeadingPoint) {
    const std::array cases{
        KeyCase{"", U'5', Pass},
        KeyCase{"", U'.', Swallow},
        KeyCase{"", kBackspace, Pass},
        KeyCase{"5", U'.', Pass},
        KeyCase{"5", U'0', Pass},
        KeyCase{"5", kBackspace, Pass},
        KeyCase{"5", U'a', Swallow},
        KeyCase{"5", U'-', Swallow},
        KeyCase{"12.", U'5', Pass},
        KeyCase{"12.", U'.', Swallow},
        KeyCase{"12.5", U'3', Swallow},
        KeyCase{"12.5", kBackspace, Pass},
        KeyCase{"12.5", U'.', Swallow},
        KeyCase{"12.5", char32_t{27}, Swallow},
        KeyCase{"12.5", kEnter, ExitThenEndEntry},
        KeyCase{"", kEnter, ExitThenEndEntry},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(oneDecimalKey(c.text, c.key), c.expected)
            << '"' << c.text << "\" + " << static_cast<unsigned>(c.key);
    }
}

TEST(TwoDecimalKey, AtMostTwoDecimalsAndEnterKeepsTheFocus) {
    const std::array cases{
        KeyCase{"", U'.', Swallow},
        KeyCase{"", U'0', Pass},
        KeyCase{"0", U'.', Pass},
        KeyCase{"0.", U'7', Pass},
        KeyCase{"0.7", U'1', Pass},
        KeyCase{"0.71", U'1', Swallow},
        KeyCase{"0.71", kBackspace, Pass},
        KeyCase{"0.7", U'.', Swallow},
        KeyCase{"0.71", kEnter, ExitKeepFocus},
        KeyCase{"", kEnter, ExitKeepFocus},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(twoDecimalKey(c.text, c.key), c.expected)
            << '"' << c.text << "\" + " << static_cast<unsigned>(c.key);
    }
}

TEST(FrequencyKey, OnlyEnterIsHandled) {
    EXPECT_EQ(frequencyKey(kEnter), ExitThenEndEntry);
    for (char32_t key : {U'1', U'a', U'.', kBackspace, char32_t{27}}) {
        EXPECT_EQ(frequencyKey(key), Pass) << static_cast<unsigned>(key);
    }
}

} // namespace
