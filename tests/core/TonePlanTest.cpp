#include "rules/TonePlan.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"

#include <gtest/gtest.h>

namespace {

// k is the decoder bandwidth's item: (0.1 + 0.2 k) per cent.
constexpr int k1_5 = 7;
constexpr int k0_3 = 1;

// A pager with only individual call 1 on, its two tones and bandwidth.
ConfigImage pager(ToneTenths tone1, ToneTenths tone2, int bandwidthItem) {
    ConfigImage image = defaultImage();
    image[field::Duty] = 0x01;
    image[field::GDuty] = 0x00;
    writeWord(image, field::T1(1), tone1);
    writeWord(image, field::T2(1), tone2);
    image[field::BandWidth] = static_cast<std::uint8_t>(bandwidthItem);
    return image;
}

ConfigImage groupPager(ToneTenths tone, int bandwidthItem) {
    ConfigImage image = pager(0, 0, bandwidthItem);
    image[field::Duty] = 0x00;
    image[field::GDuty] = 0x01;
    writeWord(image, field::T3(1), tone);
    return image;
}

struct PlanCase {
    const char* name;
    ConfigImage a;
    ConfigImage b;
    std::optional<FindingKind> kind; // nothing: the calls do not meet
    bool aAnswersB;
    bool bAnswersA;
};

class TonePlanRule : public testing::TestWithParam<PlanCase> {};

TEST_P(TonePlanRule, FindsWhoAnswersWhom) {
    const PlanCase& c = GetParam();
    const std::vector<ConfigImage> plan{c.a, c.b};
    const auto findings = checkTonePlan(plan);
    if (!c.kind) {
        EXPECT_TRUE(findings.empty());
        return;
    }
    ASSERT_EQ(findings.size(), 1U);
    EXPECT_EQ(findings[0].kind, *c.kind);
    EXPECT_EQ(findings[0].pagerA, 0U);
    EXPECT_EQ(findings[0].pagerB, 1U);
    EXPECT_EQ(findings[0].aAnswersB, c.aAnswersB);
    EXPECT_EQ(findings[0].bAnswersA, c.bAnswersA);
}

ConfigImage withCallOff(ConfigImage image) {
    image[field::Duty] = 0x00;
    return image;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TonePlanRule,
    testing::Values(
        PlanCase{"EqualTonesShared", pager(6699, 7073, k1_5), pager(6699, 7073, k0_3),
                 FindingKind::Shared, true, true},
        PlanCase{"NeighboursAt1_5Overlap", pager(6699, 7073, k1_5), pager(6675, 7125, k1_5),
                 FindingKind::Overlap, true, true},
        PlanCase{"NeighboursAt0_3Apart", pager(6699, 7073, k0_3), pager(6675, 7125, k0_3),
                 std::nullopt, false, false},
        PlanCase{"OnlyTheWiderPagerAnswers", pager(6699, 7073, k1_5), pager(6675, 7125, k0_3),
                 FindingKind::Overlap, true, false},
        PlanCase{"OneToneApartIsNoOverlap", pager(6699, 7073, k1_5), pager(6675, 8000, k1_5),
                 std::nullopt, false, false},
        PlanCase{"DisabledCallIgnored", pager(6699, 7073, k1_5),
                 withCallOff(pager(6699, 7073, k1_5)), std::nullopt, false, false},
        PlanCase{"GroupTonesOverlap", groupPager(6699, k1_5), groupPager(6675, k0_3),
                 FindingKind::Overlap, true, false},
        PlanCase{"GroupAndIndividualNeverMeet", groupPager(6699, k1_5),
                 pager(6699, 7073, k1_5), std::nullopt, false, false}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.name); });

TEST(TonePlan, BandwidthEndsAndACodeWithoutItemIsTheWidest) {
    EXPECT_EQ(bandwidthTenthsOfPercent(pager(0, 0, 0)), 1);
    EXPECT_EQ(bandwidthTenthsOfPercent(pager(0, 0, 15)), 31);
    EXPECT_EQ(bandwidthTenthsOfPercent(pager(0, 0, 200)), 31);
}

// The edge itself counts: 1000 Hz at 1.5 % answers 985.0 and 1015.0 Hz, not 984.9.
TEST(TonePlan, BandwidthEdgeIsInside) {
    const PlanCall own{CallKind::Group, 1, 10000, 0};
    EXPECT_TRUE(answers(own, 15, {CallKind::Group, 1, 9850, 0}));
    EXPECT_TRUE(answers(own, 15, {CallKind::Group, 1, 10150, 0}));
    EXPECT_FALSE(answers(own, 15, {CallKind::Group, 1, 9849, 0}));
}

TEST(TonePlan, EveryPairOfPagersAndCallsInOrder) {
    ConfigImage three = pager(6699, 7073, k1_5);
    three[field::Duty] = 0x03;
    writeWord(three, field::T1(2), 6675);
    writeWord(three, field::T2(2), 7125);
    const std::vector<ConfigImage> plan{pager(6699, 7073, k1_5), pager(9000, 9500, k1_5), three};
    const auto findings = checkTonePlan(plan);
    ASSERT_EQ(findings.size(), 2U);
    EXPECT_EQ(findings[0].pagerB, 2U);
    EXPECT_EQ(findings[0].callB.call, 1);
    EXPECT_EQ(findings[0].kind, FindingKind::Shared);
    EXPECT_EQ(findings[1].callB.call, 2);
    EXPECT_EQ(findings[1].kind, FindingKind::Overlap);
}

} // namespace
