#include "rules/NumberRules.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <string>

namespace {

ExitResult accepted(std::uint16_t value, std::optional<std::string> shown = std::nullopt) {
    return ExitResult::accepted(value, std::move(shown));
}

ExitResult refusal(ExitKind kind, std::string_view message) {
    return ExitResult::refused(kind, message);
}

struct WholeCase {
    const char* text;
    ExitResult expected;
};

TEST(ByteExit, RangeEmptyAndTypedText) {
    const std::array cases{
        WholeCase{"", {}},
        WholeCase{"0", accepted(0)},
        WholeCase{"255", accepted(255)},
        WholeCase{"007", accepted(7)}, // stored as 7, the field keeps "007"
        WholeCase{"+5", accepted(5)},
        WholeCase{" 12 ", accepted(12)},
        WholeCase{"256", refusal(ExitKind::OutOfRange, kByteRangeMessage)},
        WholeCase{"-1", refusal(ExitKind::OutOfRange, kByteRangeMessage)},
        WholeCase{"65535", refusal(ExitKind::OutOfRange, kByteRangeMessage)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(byteExit(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(WordExit, RangeAndLimits) {
    const std::array cases{
        WholeCase{"", {}},
        WholeCase{"0", accepted(0)},
        WholeCase{"256", accepted(256)},
        WholeCase{"65535", accepted(65535)},
        WholeCase{"00065535", accepted(65535)},
        WholeCase{"65536", refusal(ExitKind::OutOfRange, kWordRangeMessage)},
        WholeCase{"-65535", refusal(ExitKind::OutOfRange, kWordRangeMessage)},
        WholeCase{"2147483647", refusal(ExitKind::OutOfRange, kWordRangeMessage)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wordExit(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(WholeNumberExits, TextThatIsNotANumberIsReportedWithItsText) {
    for (const char* text : {"abc", "12a", "1.5", "0x10", "$10", " ", "+", "-", "+-5", "2147483648",
                             "99999999999999999999", "1 2"}) {
        const auto expected = refusal(ExitKind::NotANumber,
                                      std::string("'") + text + "' is not a valid integer value.");
        EXPECT_EQ(byteExit(text), expected) << '"' << text << '"';
        EXPECT_EQ(wordExit(text), expected) << '"' << text << '"';
    }
}

TEST(ParseWholeNumber, IntLimits) {
    EXPECT_EQ(parseWholeNumber("2147483647"), 2147483647);
    EXPECT_EQ(parseWholeNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseWholeNumber("\t1590000"), 1590000);
    EXPECT_EQ(parseWholeNumber("2147483648"), std::nullopt);
    EXPECT_EQ(parseWholeNumber(""), std::nullopt);
}

struct VoltageCase {
    const char* text;
    std::uint8_t stored;
    const char* shown;
    const char* refreshed;
};

TEST(VoltageExit, StoredByteAndTexts) {
    const std::array cases{
        VoltageCase{"0.00", 0, "0.00", "0.00"},
        VoltageCase{"0.01", 0, "0.01", "0.00"},
        VoltageCase{"0.10", 9, "0.10", "0.11"},
        VoltageCase{"0.27", 23, "0.27", "0.27"},
        VoltageCase{"0.33", 28, "0.33", "0.33"},
        VoltageCase{"0.50", 43, "0.50", "0.51"},
        VoltageCase{"0.71", 60, "0.71", "0.71"},
        VoltageCase{"0.80", 68, "0.80", "0.80"},
        VoltageCase{"1", 85, "1.00", "1.00"},
        VoltageCase{"0.96", 81, "0.96", "0.95"},
        VoltageCase{".5", 43, "0.50", "0.51"},
        VoltageCase{"-0", 0, "0.00", "0.00"},
        // The byte follows the rewritten text: 0.504 is stored as 0.50 would be.
        VoltageCase{"0.504", 43, "0.50", "0.51"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(voltageExit(c.text), accepted(c.stored, c.shown)) << c.text;
        EXPECT_EQ(formatVolts(c.stored), c.refreshed) << c.text;
    }
}

TEST(VoltageExit, RefusalsAndEmpty) {
    EXPECT_EQ(voltageExit(""), ExitResult{});
    for (const char* text : {"1.5", "1.01", "-0.01", "255"}) {
        EXPECT_EQ(voltageExit(text), refusal(ExitKind::OutOfRange, kVoltageRangeMessage)) << text;
    }
    for (const char* text : {"0,5", "abc", "inf", "nan", "1e999", "."}) {
        EXPECT_EQ(voltageExit(text),
                  refusal(ExitKind::NotANumber,
                          std::string("'") + text + "' is not a valid floating point value."))
            << text;
    }
}

TEST(RoundToDecimals, FifteenDigitTextDecidesTheRounding) {
    struct Case {
        double x;
        int decimals;
        double expected;
    };
    const std::array cases{
        Case{85.0, 1, 85.0},                      // no point, two characters
        Case{42.5, 1, 43.0},                      // one decimal: x + 0.5
        Case{8.5, 1, 9.0},                        // one decimal: x + 0.5
        Case{9.0, 1, 9.5},                        // a single character: x + 0.5
        Case{static_cast<float>(28.05), 1, 28.0}, // text 28.0499992370605
        Case{static_cast<float>(22.95), 1, 23.0}, // text 22.9500007629395
        Case{static_cast<float>(60.35), 1, 60.3}, // text 60.3499984741211
        Case{1.234, 2, 1.23},
        Case{1.2, 2, 1.7}, // one decimal: x + 0.5
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(roundToDecimals(c.x, c.decimals), c.expected) << c.x;
    }
}

struct HalfSecondCase {
    const char* text;
    double lower;
    ExitResult expected;
};

constexpr std::string_view kFromOne = "Please insert a number between 1 to 127.5";
constexpr std::string_view kFromZero = "Please insert a number between 0 to 127.5";

TEST(HalfSecondExit, StepsLimitsAndTexts) {
    const std::array cases{
        HalfSecondCase{"", 1, {}},
        HalfSecondCase{"2.5", 1, accepted(5, "2.5")},
        HalfSecondCase{"3", 1, accepted(6, "3.0")},
        HalfSecondCase{"5.", 1, accepted(10, "5.0")},
        HalfSecondCase{"1", 1, accepted(2, "1.0")},
        HalfSecondCase{"127.5", 1, accepted(255, "127.5")},
        HalfSecondCase{"2.3", 1, refusal(ExitKind::NotOnHalfStep, kHalfStepMessage)},
        HalfSecondCase{"0.5", 1, refusal(ExitKind::OutOfRange, kFromOne)},
        HalfSecondCase{"0", 1, refusal(ExitKind::OutOfRange, kFromOne)},
        HalfSecondCase{"128", 1, refusal(ExitKind::OutOfRange, kFromOne)},
        HalfSecondCase{"127.6", 1, refusal(ExitKind::OutOfRange, kFromOne)},
        HalfSecondCase{"0", 0, accepted(0, "0.0")},
        HalfSecondCase{"0.5", 0, accepted(1, "0.5")},
        HalfSecondCase{"-0.5", 0, refusal(ExitKind::OutOfRange, kFromZero)},
        HalfSecondCase{"-0.5", -1, refusal(ExitKind::OutOfRange, kFromZero)},
        HalfSecondCase{"x", 0,
                       refusal(ExitKind::NotANumber, "'x' is not a valid floating point value.")},
    };
    for (const auto& c : cases) {
        const auto message = c.lower >= 1 ? kFromOne : kFromZero;
        EXPECT_EQ(halfSecondExit(c.text, c.lower, message), c.expected) << c.text;
    }
}

// A two-decimal field can hold values that come to a half step at one decimal.
TEST(HalfSecondExit, TwoDecimalTextsStoreTheStepTheyAreShownAs) {
    const std::array cases{
        HalfSecondCase{"2.50", 1, accepted(5, "2.5")},
        HalfSecondCase{"2.45", 1, accepted(5, "2.5")},
        HalfSecondCase{"2.49", 1, accepted(5, "2.5")},
        HalfSecondCase{"2.55", 1, accepted(5, "2.5")},
        HalfSecondCase{"127.46", 1, accepted(255, "127.5")},
        HalfSecondCase{"3.00", 1, accepted(6, "3.0")},
        HalfSecondCase{"2.44", 1, refusal(ExitKind::NotOnHalfStep, kHalfStepMessage)},
        HalfSecondCase{"2.56", 1, refusal(ExitKind::NotOnHalfStep, kHalfStepMessage)},
        HalfSecondCase{"2.96", 1, refusal(ExitKind::NotOnHalfStep, kHalfStepMessage)},
        HalfSecondCase{"2.25", 1, refusal(ExitKind::NotOnHalfStep, kHalfStepMessage)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(halfSecondExit(c.text, c.lower, kFromOne), c.expected) << c.text;
    }
}

TEST(DisplayFormats, StoredBytesAsShown) {
    EXPECT_EQ(formatWholeNumber(7), "7");
    EXPECT_EQ(formatWholeNumber(1590000), "1590000");
    EXPECT_EQ(formatWholeNumber(-1), "-1");
    EXPECT_EQ(formatHalfSeconds(0), "0.0");
    EXPECT_EQ(formatHalfSeconds(5), "2.5");
    EXPECT_EQ(formatHalfSeconds(60), "30.0");
    EXPECT_EQ(formatHalfSeconds(255), "127.5");
    EXPECT_EQ(formatVolts(0), "0.00");
    EXPECT_EQ(formatVolts(82), "0.96");
    EXPECT_EQ(formatVolts(255), "3.00");
}

// The toolkit may switch the C locale to one with a decimal comma.
TEST(DecimalPoint, IgnoresTheCLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            switched = true;
            break;
        }
    }
    if (!switched) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const auto result = voltageExit("0.50");
    const auto shown = formatHalfSeconds(5);
    const auto parsed = parseDecimalNumber("2.5");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(result, accepted(43, "0.50"));
    EXPECT_EQ(shown, "2.5");
    EXPECT_EQ(parsed, 2.5);
}

} // namespace
