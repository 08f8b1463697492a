#include "rules/TonePlan.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <tuple>

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

std::vector<PlanPager> planOf(std::span<const ConfigImage> images) {
    std::vector<PlanPager> plan;
    for (const ConfigImage& image : images) {
        plan.push_back(planPager(image));
    }
    return plan;
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
    const auto findings = checkTonePlan(planOf(plan)).findings;
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
    const auto findings = checkTonePlan(planOf(plan)).findings;
    ASSERT_EQ(findings.size(), 2U);
    EXPECT_EQ(findings[0].pagerB, 2U);
    EXPECT_EQ(findings[0].callB.call, 1);
    EXPECT_EQ(findings[0].kind, FindingKind::Shared);
    EXPECT_EQ(findings[1].callB.call, 2);
    EXPECT_EQ(findings[1].kind, FindingKind::Overlap);
}

// Every pair, visited one by one: what the grouped count must equal.
struct PairCount {
    std::uint64_t shared = 0;
    std::uint64_t overlaps = 0;
};

PairCount countEveryPair(const std::vector<ConfigImage>& plan) {
    PairCount count;
    for (std::size_t a = 0; a < plan.size(); ++a) {
        for (std::size_t b = a + 1; b < plan.size(); ++b) {
            for (const PlanCall& x : enabledCalls(plan[a])) {
                for (const PlanCall& y : enabledCalls(plan[b])) {
                    if (!answers(x, bandwidthTenthsOfPercent(plan[a]), y) &&
                        !answers(y, bandwidthTenthsOfPercent(plan[b]), x)) {
                        continue;
                    }
                    const bool same = x.kind == y.kind && x.tone1 == y.tone1 && x.tone2 == y.tone2;
                    ++(same ? count.shared : count.overlaps);
                }
            }
        }
    }
    return count;
}

// A fleet drawn from a few close tones, bandwidths, and pagers with two or
// three calls of equal or near tones: the counts are exact, and what is
// listed is bounded, in order and true.
TEST(TonePlan, CountsEveryPairAndListsABoundedNumber) {
    std::mt19937 random(520);
    const std::array<ToneTenths, 5> tones{6699, 6675, 6720, 7073, 7125};
    const auto pick = [&](auto& from) { return from[random() % from.size()]; };
    std::vector<ConfigImage> plan;
    for (int n = 0; n < 150; ++n) {
        ConfigImage image = pager(pick(tones), pick(tones), static_cast<int>(random() % 16));
        image[field::Duty] = static_cast<std::uint8_t>(1 + random() % 15);
        for (int call = 2; call <= 4; ++call) {
            writeWord(image, field::T1(call), pick(tones));
            writeWord(image, field::T2(call), pick(tones));
        }
        image[field::GDuty] = static_cast<std::uint8_t>(random() % 4);
        writeWord(image, field::T3(1), pick(tones));
        writeWord(image, field::T3(2), pick(tones));
        plan.push_back(image);
    }
    const PairCount expected = countEveryPair(plan);
    const TonePlanCheck check = checkTonePlan(planOf(plan), 40);
    EXPECT_EQ(check.shared, expected.shared);
    EXPECT_EQ(check.overlaps, expected.overlaps);
    ASSERT_GT(expected.overlaps, 40U);
    ASSERT_GT(expected.shared, 40U);

    EXPECT_EQ(check.findings.size(), 80U);
    for (std::size_t i = 0; i < check.findings.size(); ++i) {
        const PlanFinding& f = check.findings[i];
        EXPECT_LT(f.pagerA, f.pagerB);
        if (i > 0) {
            EXPECT_LE(check.findings[i - 1].pagerA, f.pagerA);
        }
        EXPECT_EQ(f.aAnswersB, answers(f.callA, bandwidthTenthsOfPercent(plan[f.pagerA]), f.callB));
        EXPECT_EQ(f.bAnswersA, answers(f.callB, bandwidthTenthsOfPercent(plan[f.pagerB]), f.callA));
        EXPECT_TRUE(f.aAnswersB || f.bAnswersA);
        const bool same = f.callA.tone1 == f.callB.tone1 && f.callA.tone2 == f.callB.tone2;
        EXPECT_EQ(f.kind == FindingKind::Shared, same);
    }
}

// A hostile plan of close, all different calls stops counting at a bound
// rather than spending minutes, and says so.
TEST(TonePlan, CountingStopsAtItsBound) {
    constexpr int k3_1 = 15;
    std::vector<ConfigImage> plan;
    for (int n = 0; n < 1500; ++n) {
        plan.push_back(pager(static_cast<ToneTenths>(10000 + n / 10),
                             static_cast<ToneTenths>(15000 + n % 10), k3_1));
    }
    const TonePlanCheck check = checkTonePlan(planOf(plan));
    EXPECT_FALSE(check.complete);
    EXPECT_GE(check.overlaps, kMostOverlapsCounted);
    EXPECT_LT(check.overlaps, 1500U * 1499U / 2U);
    EXPECT_EQ(check.findings.size(), kListedFindings);
    EXPECT_TRUE(checkTonePlan(planOf(std::span(plan).first(100))).complete);
}

// The plain check: every pair of calls of two pagers visited, all findings
// kept in order of pagers and calls.
struct EveryPair {
    std::vector<PlanFinding> shared;
    std::vector<PlanFinding> overlaps;
};

auto findingKey(const PlanFinding& f) {
    return std::tuple(f.pagerA, f.pagerB, f.callA.kind, f.callA.call, f.callB.kind, f.callB.call,
                      f.kind, f.callA.tone1, f.callA.tone2, f.callB.tone1, f.callB.tone2,
                      f.aAnswersB, f.bAnswersA);
}

EveryPair checkEveryPair(std::span<const PlanPager> pagers) {
    EveryPair all;
    for (std::size_t a = 0; a < pagers.size(); ++a) {
        for (std::size_t b = a + 1; b < pagers.size(); ++b) {
            for (const PlanCall& x : pagers[a].calls) {
                for (const PlanCall& y : pagers[b].calls) {
                    const bool aHears = answers(x, pagers[a].bandwidth, y);
                    const bool bHears = answers(y, pagers[b].bandwidth, x);
                    if (!aHears && !bHears) {
                        continue;
                    }
                    const bool same = x.kind == y.kind && x.tone1 == y.tone1 && x.tone2 == y.tone2;
                    (same ? all.shared : all.overlaps)
                        .push_back({same ? FindingKind::Shared : FindingKind::Overlap, a, x, b, y,
                                    aHears, bHears});
                }
            }
        }
    }
    const auto byKey = [](const PlanFinding& f, const PlanFinding& g) {
        return findingKey(f) < findingKey(g);
    };
    std::ranges::sort(all.shared, byKey);
    std::ranges::sort(all.overlaps, byKey);
    return all;
}

// The check against every pair visited: counts, the first `listed` findings
// of each kind, and whether it stopped; findings of a check that stopped are
// true ones.
void expectAgreement(std::span<const PlanPager> plan, std::size_t listed, std::uint64_t most) {
    const TonePlanCheck check = checkTonePlan(plan, listed, most);
    const EveryPair all = checkEveryPair(plan);
    EXPECT_EQ(check.shared, all.shared.size());
    EXPECT_EQ(check.complete, all.overlaps.size() < most);
    std::vector<PlanFinding> first;
    for (const auto* kind : {&all.shared, &all.overlaps}) {
        first.insert(first.end(), kind->begin(),
                     kind->begin() + static_cast<std::ptrdiff_t>(std::min(listed, kind->size())));
    }
    std::ranges::sort(first, {}, findingKey);
    if (check.complete) {
        EXPECT_EQ(check.overlaps, all.overlaps.size());
        ASSERT_EQ(check.findings.size(), first.size());
        for (std::size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(findingKey(check.findings[i]), findingKey(first[i])) << i;
        }
        return;
    }
    EXPECT_GE(check.overlaps, most);
    EXPECT_LE(check.overlaps, all.overlaps.size());
    for (const PlanFinding& f : check.findings) {
        const auto& kind = f.kind == FindingKind::Shared ? all.shared : all.overlaps;
        EXPECT_TRUE(std::ranges::any_of(
            kind, [&](const PlanFinding& g) { return findingKey(f) == findingKey(g); }));
    }
}

// A pager with calls on both sides of an overlap, the first pager of each:
// its pair with the other pager is still listed.
TEST(TonePlan, ListsThePairsOfAPagerOnBothSides) {
    const std::vector<PlanPager> plan{
        {15, {{CallKind::Individual, 1, 10000, 10000}, {CallKind::Individual, 2, 10100, 10100}}},
        {15, {{CallKind::Individual, 1, 10100, 10100}}}};
    expectAgreement(plan, 1, kMostOverlapsCounted);
}

// Small fleets of a few close tones, bandwidths and calls, listed and
// counted up to small bounds: the check finds what visiting every pair finds,
// lists the first of each kind, and stops only where it must.
TEST(TonePlan, AgreesWithEveryPairVisited) {
    std::mt19937 random(2008);
    const std::array<ToneTenths, 4> tones{10000, 10010, 10100, 10400};
    const std::array<int, 3> bandwidths{1, 15, 31};
    const auto pick = [&](const auto& from) { return from[random() % from.size()]; };
    for (int fleet = 0; fleet < 300; ++fleet) {
        std::vector<PlanPager> plan(2 + random() % (fleet % 2 == 0 ? 5 : 11));
        for (PlanPager& pager : plan) {
            pager.bandwidth = pick(bandwidths);
            for (int call = 1; call <= 4; ++call) {
                if (random() % 2 == 0) {
                    pager.calls.push_back({CallKind::Individual, call, pick(tones), pick(tones)});
                }
            }
            for (int call = 1; call <= 2; ++call) {
                if (random() % 3 == 0) {
                    pager.calls.push_back({CallKind::Group, call, pick(tones), 0});
                }
            }
        }
        const std::size_t listed = random() % 4;
        const std::uint64_t most = random() % 2 == 0 ? kMostOverlapsCounted : 1 + random() % 30;
        SCOPED_TRACE("fleet " + std::to_string(fleet));
        expectAgreement(plan, listed, most);
    }
}

} // namespace
