#include "rules/ToneRules.h"
#include "rules/ToneTables.h"
#include "model/ByteMap.h"
#include "model/ConfigImage.h"
#include "model/DefaultImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

std::string printfTone(double value) {
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04.1f", value);
    return buffer.data();
}

TEST(ToneTables, GroupHeadersInColumnOrder) {
    const std::array<std::string_view, kToneGroupCount> expected{
        "Mot 1", "Mot 2", "Mot 3",  "Mot 4",  "Mot 5",  "Mot 6",  "Mot A",
        "Mot B", "Mot Z", "Mot 10", "Mot 11", "GE A' ", "GE B' ", "GE C' "};
    for (std::size_t i = 0; i < kToneGroupCount; ++i) {
        EXPECT_EQ(ToneGroupTable[i].header, expected[i]) << "column " << i + 1;
    }
    EXPECT_EQ(ToneGroupTable[0].tones[0], 3305);  // "Mot 1" digit 0
    EXPECT_EQ(ToneGroupTable[2].tones[0], 10924); // "Mot 3" digit 0, out of order in its group
    EXPECT_EQ(ToneGroupTable[11].tones[3], 8025); // "GE A' " digit 3
    EXPECT_EQ(ToneGroupTable[13].tones[9], 6225); // "GE C' " digit 9
}

TEST(ToneTables, StandardListIsTheGroupTableSortedWithDuplicates) {
    std::vector<ToneTenths> fromGroups;
    for (const auto& group : ToneGroupTable) {
        fromGroups.insert(fromGroups.end(), group.tones.begin(), group.tones.end());
    }
    std::sort(fromGroups.begin(), fromGroups.end());
    EXPECT_TRUE(std::equal(fromGroups.begin(), fromGroups.end(), StandardToneList.begin(),
                           StandardToneList.end()));

    const std::set<ToneTenths> distinct(StandardToneList.begin(), StandardToneList.end());
    EXPECT_EQ(distinct.size(), 138u);
    EXPECT_EQ(std::count(StandardToneList.begin(), StandardToneList.end(), 7674), 2);
    EXPECT_EQ(std::count(StandardToneList.begin(), StandardToneList.end(), 8325), 2);

    const std::array<ToneTenths, 6> head{2885, 2965, 3047, 3130, 3217, 3305};
    const std::array<ToneTenths, 4> tail{22717, 23346, 24010, 24682};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), StandardToneList.begin()));
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), StandardToneList.end() - 4));

    int widest = 0;
    for (std::size_t i = 1; i < StandardToneList.size(); ++i) {
        widest = std::max(widest, StandardToneList[i] - StandardToneList[i - 1]);
    }
    EXPECT_EQ(widest, 672);
}

struct ParseRow {
    const char* typed;
    const char* shown;
    std::int64_t tenths;
};

TEST(ParseToneText, NormalizesAndReadsTenths) {
    const std::vector<ParseRow> rows{
        {"5", "05.0", 50},
        {"5.", "05.0", 50},
        {"0", "00.0", 0},
        {"0.7", "00.7", 7},
        {"288", "288.0", 2880},
        {"288.5", "288.5", 2885},
        {"1000.2", "1000.2", 10002},
        {"2468.3", "2468.3", 24683},
        {"0669.9", "669.9", 6699},
        // Wider than 16 bits: 6842.1 must not come out as 68421 - 65536 = 2885.
        {"6842.1", "6842.1", 68421},
        {"2147483647.9", "2147483647.9", 21474836479},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const auto parsed = parseToneText(row.typed);
        EXPECT_EQ(parsed.shownText, row.shown);
        EXPECT_EQ(parsed.shownText, printfTone(std::strtod(row.typed, nullptr)));
        EXPECT_EQ(parsed.tenths, row.tenths);
        EXPECT_EQ(parsed.error, "");
    }
    EXPECT_FALSE(toneInRange(ToneMode::Standard, *parseToneText("6842.1").tenths));
    EXPECT_FALSE(toneInRange(ToneMode::User, *parseToneText("6842.1").tenths));
}

TEST(ParseToneText, ReportsTextsThatDoNotConvert) {
    const std::string manyDigits(400, '9'); // beyond double
    for (const std::string& typed :
         {std::string(), std::string("abc"), std::string("1.2.3"), manyDigits}) {
        SCOPED_TRACE(typed);
        const auto parsed = parseToneText(typed);
        EXPECT_EQ(parsed.shownText, typed);
        EXPECT_FALSE(parsed.tenths);
        EXPECT_EQ(parsed.error, "'" + typed + "' is not a valid floating point value.");
    }
}

TEST(ParseToneText, ReportsWholePartBeyondInt) {
    for (const char* typed : {"2147483648", "2147483648.5", "123456789012345678901234567890"}) {
        SCOPED_TRACE(typed);
        const auto parsed = parseToneText(typed);
        const auto shown = printfTone(std::strtod(typed, nullptr));
        EXPECT_EQ(parsed.shownText, shown);
        EXPECT_FALSE(parsed.tenths);
        EXPECT_EQ(parsed.error,
                  "'" + shown.substr(0, shown.find('.')) + "' is not a valid integer value.");
    }
    EXPECT_EQ(parseToneText("2147483648").error, "'2147483648' is not a valid integer value.");
}

struct RangeRow {
    ToneMode mode;
    std::int64_t tenths;
    bool admitted;
};

TEST(ToneRange, BoundsAreInclusivePerMode) {
    const std::vector<RangeRow> rows{
        {ToneMode::Standard, 2880, false},  {ToneMode::Standard, 2884, false},
        {ToneMode::Standard, 2885, true},   {ToneMode::Standard, 24682, true},
        {ToneMode::Standard, 24683, false}, {ToneMode::Standard, 0, false},
        {ToneMode::User, 2799, false},      {ToneMode::User, 2800, true},
        {ToneMode::User, 24683, true},      {ToneMode::User, 35000, true},
        {ToneMode::User, 35001, false},     {ToneMode::User, -1, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(toneInRange(row.mode, row.tenths), row.admitted)
            << (row.mode == ToneMode::User ? "User " : "Standard ") << row.tenths;
    }
    EXPECT_EQ(toneRangeMessage(ToneMode::Standard),
              "Please insert a number between 288.5 to 2468.2");
    EXPECT_EQ(toneRangeMessage(ToneMode::User), "Please insert a number between 280 to 3500.0");
}

struct SnapRow {
    ToneMode mode;
    ToneTenths tone;
    ToneTenths stored;
};

TEST(SnapToStandardTone, WorkedCases) {
    const std::vector<SnapRow> rows{
        {ToneMode::Standard, 3006, 3047}, // 4.1 Hz from 296.5 and 304.7: the higher wins
        {ToneMode::Standard, 7674, 7674}, // listed twice
        {ToneMode::Standard, 10000, 10069},
        {ToneMode::Standard, 2885, 2885},
        {ToneMode::Standard, 24682, 24682},
        {ToneMode::Standard, 24346, 24682}, // midway 2401.0..2468.2 ties upwards
        {ToneMode::Standard, 1885, 2885},   // exactly 100.0 Hz away still qualifies
        {ToneMode::Standard, 1884, 1884},   // nothing within 100.0 Hz
        {ToneMode::Standard, 25683, 25683},
        {ToneMode::User, 24683, 24683},
        {ToneMode::User, 3006, 3006},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(snapToStandardTone(row.mode, row.tone), row.stored) << row.tone;
    }
}

TEST(SnapToStandardTone, EveryAdmittedToneGoesToTheNearestEntry) {
    for (int tone = kStandardToneMinimum; tone <= kStandardToneMaximum; ++tone) {
        const ToneTenths snapped = snapToStandardTone(ToneMode::Standard, tone);
        const int distance = std::abs(tone - snapped);
        ASSERT_TRUE(std::binary_search(StandardToneList.begin(), StandardToneList.end(), snapped))
            << tone;
        ASSERT_LE(distance, 336) << tone;
        for (const ToneTenths entry : StandardToneList) {
            const int other = std::abs(tone - entry);
            ASSERT_TRUE(other > distance || (other == distance && entry <= snapped))
                << tone << " snapped to " << snapped << " but " << entry << " is as near";
        }
    }
}

struct CodeRow {
    ToneTenths tone;
    ToneMarker marker;
    std::uint16_t code;
};

TEST(EncodeToneCode, WorkedCodes) {
    const std::vector<CodeRow> rows{
        {6699, ToneMarker::Tone1OrGroup, 0x8B0B},  {7073, ToneMarker::Tone2, 0x4B95},
        {3305, ToneMarker::Tone1OrGroup, 0x8558},  {6009, ToneMarker::Tone1OrGroup, 0x89AF},
        {2800, ToneMarker::Tone1OrGroup, 0x84A0},  {35000, ToneMarker::Tone2, 0x7A02},
        {2885, ToneMarker::Tone1OrGroup, 0x84BC},  {24682, ToneMarker::Tone2, 0x688C},
        {10069, ToneMarker::Tone1OrGroup, 0x908D}, {12345, ToneMarker::Tone1OrGroup, 0x9480},
        {8025, ToneMarker::Tone2, 0x4D18},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(encodeToneCode(row.tone, row.marker), row.code) << row.tone;
    }
}

TEST(EncodeToneCode, MatchesTheCodesOfTheDefaultImage) {
    const auto& image = defaultImage();
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(readWord(image, field::T1Code(n)),
                  encodeToneCode(readWord(image, field::T1(n)), ToneMarker::Tone1OrGroup));
        EXPECT_EQ(readWord(image, field::T2Code(n)),
                  encodeToneCode(readWord(image, field::T2(n)), ToneMarker::Tone2));
    }
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(readWord(image, field::T3Code(n)),
                  encodeToneCode(readWord(image, field::T3(n)), ToneMarker::Tone1OrGroup));
    }
}

// g and h found by counting, with no division: g whole periods of
// 35795450 / t cycles fit in 118920 cycles, h units of 120 cycles in the rest.
std::pair<int, int> countedPeriodsAndRest(std::int64_t t) {
    const std::int64_t window = 118920 * t; // in units of 1 / t cycle
    int g = 0;
    while ((g + 1) * std::int64_t{35795450} <= window) {
        ++g;
    }
    const std::int64_t rest = window - g * std::int64_t{35795450};
    int h = 0;
    while ((h + 1) * 120 * t <= rest) {
        ++h;
    }
    return {g, h};
}

// The single-precision evaluation the pager's own figures were made with.
std::pair<int, int> singlePrecisionPeriodsAndRest(int t) {
    const auto x = static_cast<float>(t * 0.1);
    const auto g = static_cast<int>(std::trunc(118920.0 * x / 3579545.0));
    const auto h =
        static_cast<int>(std::trunc((29730.0 / 3579545.0 - g / (4.0 * x)) * 119318.1667));
    return {g, h};
}

TEST(EncodeToneCode, EveryUserToneAgreesWithTwoIndependentEvaluations) {
    for (int t = kUserToneMinimum; t <= kUserToneMaximum; ++t) {
        const auto [g, h] = countedPeriodsAndRest(t);
        ASSERT_EQ(singlePrecisionPeriodsAndRest(t), std::make_pair(g, h)) << t;
        ASSERT_TRUE(g >= 9 && g <= 116 && h >= 0 && h <= 99) << t;
        const auto tone = static_cast<ToneTenths>(t);
        ASSERT_EQ(encodeToneCode(tone, ToneMarker::Tone1OrGroup), 0x8000 + 128 * g + h) << t;
        ASSERT_EQ(encodeToneCode(tone, ToneMarker::Tone2), 0x4000 + 128 * g + h) << t;
    }
}

TEST(EncodeToneCode, ToneOutsideTheUserRangeKeepsTheMarkerIntact) {
    EXPECT_EQ(encodeToneCode(0, ToneMarker::Tone2), encodeToneCode(2800, ToneMarker::Tone2));
    EXPECT_EQ(encodeToneCode(65535, ToneMarker::Tone1OrGroup),
              encodeToneCode(35000, ToneMarker::Tone1OrGroup));
    EXPECT_EQ(encodeToneCode(65535, ToneMarker::Tone2) & 0xC000, 0x4000);
}

TEST(FormatTone, EveryValueShowsAsPrintfWould) {
    EXPECT_EQ(formatTone(0), "00.0");
    EXPECT_EQ(formatTone(5), "00.5");
    EXPECT_EQ(formatTone(3305), "330.5");
    EXPECT_EQ(formatTone(24682), "2468.2");
    for (int t = 0; t <= 0xFFFF; ++t) {
        ASSERT_EQ(formatTone(static_cast<ToneTenths>(t)), printfTone(t * 0.1)) << t;
    }
}

} // namespace
