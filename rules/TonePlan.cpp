#include "rules/TonePlan.h"

#include "model/ByteMap.h"
#include "rules/ComboItems.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <tuple>
#include <utility>

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

PlanPager planPager(const ConfigImage& image) {
    return {bandwidthTenthsOfPercent(image), enabledCalls(image)};
}

bool answers(const PlanCall& own, int bandwidthTenths, const PlanCall& sent) {
    if (own.kind != sent.kind || !within(own.tone1, bandwidthTenths, sent.tone1)) {
        return false;
    }
    return own.kind == CallKind::Group || within(own.tone2, bandwidthTenths, sent.tone2);
}

namespace {

// One enabled call of one pager.
struct Member {
    std::size_t pager;
    PlanCall call;
    int bandwidth;
};

// The calls of every pager with the same kind and tones, by pager and call.
struct EqualTones {
    std::vector<Member> members;
    // How many members have each bandwidth, for counting pairs without
    // visiting them.
    std::vector<std::pair<int, std::uint64_t>> bandwidths;

    const PlanCall& call() const {
        return members.front().call;
    }
};

bool callBefore(const PlanCall& a, const PlanCall& b) {
    return std::tie(a.kind, a.call) < std::tie(b.kind, b.call);
}

bool findingBefore(const PlanFinding& a, const PlanFinding& b) {
    if (a.pagerA != b.pagerA || a.pagerB != b.pagerB) {
        return std::tie(a.pagerA, a.pagerB) < std::tie(b.pagerA, b.pagerB);
    }
    if (!(a.callA == b.callA)) {
        return callBefore(a.callA, b.callA);
    }
    return callBefore(a.callB, b.callB);
}

std::vector<EqualTones> equalToneGroups(std::span<const PlanPager> pagers) {
    std::vector<Member> all;
    for (std::size_t pager = 0; pager < pagers.size(); ++pager) {
        for (const PlanCall& call : pagers[pager].calls) {
            all.push_back({pager, call, pagers[pager].bandwidth});
        }
    }
    const auto tones = [](const Member& m) {
        return std::tie(m.call.kind, m.call.tone1, m.call.tone2);
    };
    std::ranges::sort(all, [&](const Member& a, const Member& b) {
        if (tones(a) != tones(b)) {
            return tones(a) < tones(b);
        }
        return a.pager != b.pager ? a.pager < b.pager : callBefore(a.call, b.call);
    });
    std::vector<EqualTones> groups;
    for (const Member& m : all) {
        if (groups.empty() || tones(groups.back().members.front()) != tones(m)) {
            groups.emplace_back();
        }
        EqualTones& group = groups.back();
        group.members.push_back(m);
        const auto same = std::ranges::find(group.bandwidths, m.bandwidth,
                                            &std::pair<int, std::uint64_t>::first);
        if (same == group.bandwidths.end()) {
            group.bandwidths.emplace_back(m.bandwidth, 1);
        } else {
            ++same->second;
        }
    }
    return groups;
}

// Pairs of members of one group that belong to different pagers.
std::uint64_t sharedPairs(const EqualTones& group) {
    const auto pairs = [](std::uint64_t n) { return n * (n - 1) / 2; };
    std::uint64_t count = pairs(group.members.size());
    std::uint64_t run = 0;
    for (std::size_t i = 0; i < group.members.size(); ++i) {
        ++run;
        if (i + 1 == group.members.size() || group.members[i + 1].pager != group.members[i].pager) {
            count -= pairs(run);
            run = 0;
        }
    }
    return count;
}

// Pairs of one member of each group, of different pagers, where one of the
// two answers the other's call.
std::uint64_t overlapPairs(const EqualTones& x, const EqualTones& y) {
    const auto hears = [&](int bandwidthX, int bandwidthY) {
        return answers(x.call(), bandwidthX, y.call()) || answers(y.call(), bandwidthY, x.call());
    };
    std::uint64_t count = 0;
    for (const auto& [bandwidthX, inX] : x.bandwidths) {
        for (const auto& [bandwidthY, inY] : y.bandwidths) {
            count += hears(bandwidthX, bandwidthY) ? inX * inY : 0;
        }
    }
    if (count == 0) {
        return 0;
    }
    // A pager with calls in both groups does not overlap itself; it has one
    // bandwidth, so its pairs are all of one cell above.
    auto a = x.members.begin();
    auto b = y.members.begin();
    while (a != x.members.end() && b != y.members.end()) {
        if (a->pager != b->pager) {
            (a->pager < b->pager ? a : b)++;
            continue;
        }
        const std::size_t pager = a->pager;
        std::uint64_t inX = 0;
        std::uint64_t inY = 0;
        for (; a != x.members.end() && a->pager == pager; ++a) {
            ++inX;
        }
        for (; b != y.members.end() && b->pager == pager; ++b) {
            ++inY;
        }
        const int bandwidth = std::prev(a)->bandwidth;
        count -= hears(bandwidth, bandwidth) ? inX * inY : 0;
    }
    return count;
}

// Keeps `most` findings of a kind, the earliest in order of pagers and calls
// of those offered.
class Listing {
public:
    explicit Listing(std::size_t most) : most_(most) {}

    void add(const PlanFinding& finding) {
        if (bar_ && !findingBefore(finding, *bar_)) {
            return;
        }
        kept_.push_back(finding);
        if (kept_.size() > 4 * most_ + 4) {
            trim();
        }
    }
    // A group, or a pair of groups, need offer no more than this many.
    std::size_t most() const {
        return most_;
    }
    void trim() {
        std::ranges::sort(kept_, findingBefore);
        if (kept_.size() >= most_) {
            kept_.resize(most_);
            // Nothing after the last kept can be among the first any more.
            if (most_ > 0) {
                bar_ = kept_.back();
            }
        }
    }
    std::vector<PlanFinding>& kept() {
        return kept_;
    }

private:
    std::size_t most_;
    std::vector<PlanFinding> kept_;
    std::optional<PlanFinding> bar_;
};

PlanFinding findingOf(FindingKind kind, const Member& x, const Member& y) {
    const bool xHears = answers(x.call, x.bandwidth, y.call);
    const bool yHears = answers(y.call, y.bandwidth, x.call);
    if (x.pager < y.pager) {
        return {kind, x.pager, x.call, y.pager, y.call, xHears, yHears};
    }
    return {kind, y.pager, y.call, x.pager, x.call, yHears, xHears};
}

void listShared(const EqualTones& group, Listing& listing) {
    std::size_t added = 0;
    const auto& m = group.members;
    for (std::size_t i = 0; i < m.size() && added < listing.most(); ++i) {
        for (std::size_t j = i + 1; j < m.size() && added < listing.most(); ++j) {
            if (m[i].pager != m[j].pager) {
                listing.add(findingOf(FindingKind::Shared, m[i], m[j]));
                ++added;
            }
        }
    }
}

void listOverlaps(const EqualTones& x, const EqualTones& y, Listing& listing) {
    std::size_t added = 0;
    for (const Member& a : x.members) {
        for (const Member& b : y.members) {
            if (added == listing.most()) {
                return;
            }
            if (a.pager == b.pager) {
                continue;
            }
            const PlanFinding finding = findingOf(FindingKind::Overlap, a, b);
            if (finding.aAnswersB || finding.bAnswersA) {
                listing.add(finding);
                ++added;
            }
        }
    }
}

// The fleet's widest bandwidth bounds how far apart two first tones can lie
// and still meet: (higher - lower) x 1000 <= widest x higher.
bool beyond(const PlanCall& lower, const PlanCall& higher, int widest) {
    return higher.kind != lower.kind || static_cast<long>(higher.tone1) * (1000 - widest) >
                                            static_cast<long>(lower.tone1) * 1000;
}

} // namespace

TonePlanCheck checkTonePlan(std::span<const PlanPager> pagers, std::size_t listed) {
    const std::vector<EqualTones> groups = equalToneGroups(pagers);
    int widest = 0;
    for (const PlanPager& pager : pagers) {
        widest = std::max(widest, pager.bandwidth);
    }
    TonePlanCheck check;
    Listing shared(listed);
    Listing overlaps(listed);
    for (std::size_t x = 0; x < groups.size() && check.complete; ++x) {
        const std::uint64_t pairs = sharedPairs(groups[x]);
        check.shared += pairs;
        if (pairs != 0) {
            listShared(groups[x], shared);
        }
        // Groups are in order of kind and first tone: those that can meet
        // this one follow it closely.
        for (std::size_t y = x + 1; y < groups.size(); ++y) {
            if (beyond(groups[x].call(), groups[y].call(), widest)) {
                break;
            }
            const std::uint64_t meeting = overlapPairs(groups[x], groups[y]);
            check.overlaps += meeting;
            if (meeting != 0) {
                listOverlaps(groups[x], groups[y], overlaps);
            }
            if (check.overlaps >= kMostOverlapsCounted) {
                check.complete = false;
                break;
            }
        }
    }
    shared.trim();
    overlaps.trim();
    check.findings = std::move(shared.kept());
    check.findings.insert(check.findings.end(), overlaps.kept().begin(), overlaps.kept().end());
    std::ranges::sort(check.findings, findingBefore);
    return check;
}
