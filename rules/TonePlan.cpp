#include "rules/TonePlan.h"

#include "model/ByteMap.h"
#include "rules/ComboItems.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kIndividualCalls = 4;
constexpr int kGroupCalls = 2;

// |heard - programmed| <= bandwidth x programmed, in whole numbers: the
// bandwidth in tenths of a per cent is a fraction of 1000.
bool within(ToneTenths programmed, int bandwidthTenths, ToneTenths heard) {
    const long difference = std::labs(static_cast<long>(heard) - static_cast<long>(programmed));
    return difference * 1000 <= static_cast<long>(bandwidthTenths) * programmed;
}

} // namespace

int bandwidthTenthsOfPercent(const ConfigImage& image) {
    const int item = image[field::BandWidth];
    const int items = static_cast<int>(kBandWidthItems.size());
    return 1 + 2 * std::min(item, items - 1);
}

std::vector<PlanCall> enabledCalls(const ConfigImage& image) {
    std::vector<PlanCall> calls;
    for (int n = 1; n <= kIndividualCalls; ++n) {
        if (readBits(image, field::DutyBit(n)) != 0) {
            calls.push_back({CallKind::Individual, n, readWord(image, field::T1(n)),
                             readWord(image, field::T2(n))});
        }
    }
    for (int n = 1; n <= kGroupCalls; ++n) {
        if (readBits(image, field::GDutyBit(n)) != 0) {
            calls.push_back({CallKind::Group, n, readWord(image, field::T3(n)), 0});
        }
    }
    return calls;
}

bool answers(const PlanCall& own, int bandwidthTenths, const PlanCall& sent) {
    if (own.kind != sent.kind || !within(own.tone1, bandwidthTenths, sent.tone1)) {
        return false;
    }
    return own.kind == CallKind::Group || within(own.tone2, bandwidthTenths, sent.tone2);
}

std::vector<PlanFinding> checkTonePlan(std::span<const ConfigImage> pagers) {
    struct Pager {
        int bandwidth;
        std::vector<PlanCall> calls;
    };
    std::vector<Pager> plan;
    plan.reserve(pagers.size());
    for (const ConfigImage& image : pagers) {
        plan.push_back({bandwidthTenthsOfPercent(image), enabledCalls(image)});
    }
    std::vector<PlanFinding> findings;
    for (std::size_t a = 0; a < plan.size(); ++a) {
        for (std::size_t b = a + 1; b < plan.size(); ++b) {
            for (const PlanCall& callA : plan[a].calls) {
                for (const PlanCall& callB : plan[b].calls) {
                    const bool aHears = answers(callA, plan[a].bandwidth, callB);
                    const bool bHears = answers(callB, plan[b].bandwidth, callA);
                    if (!aHears && !bHears) {
                        continue;
                    }
                    const bool same = callA.kind == callB.kind && callA.tone1 == callB.tone1 &&
                                      callA.tone2 == callB.tone2;
                    findings.push_back({same ? FindingKind::Shared : FindingKind::Overlap, a,
                                        callA, b, callB, aHears, bHears});
                }
            }
        }
    }
    return findings;
}
