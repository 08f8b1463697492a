#include "rules/TonePlan.h"

#include "model/ByteMap.h"
#include "rules/ComboItems.h"

#include <algorithm>
#include <cstdlib>
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

auto tonesOf(const PlanCall& call) {
    return std::tie(call.kind, call.tone1, call.tone2);
}

// The members of one group that share one bandwidth, by pager and call.
struct BandClass {
    int bandwidth;
    std::size_t begin;
    std::size_t end;

    std::uint64_t size() const { return end - begin; }
};

// The calls of every pager with the same kind and tones, in classes of one
// bandwidth each.
struct EqualTones {
    PlanCall call;
    std::size_t firstClass;
    std::size_t endClass;
};

// The groups of one kind and first tone, which follow one another by second
// tone.
struct ToneRun {
    CallKind kind;
    ToneTenths tone1;
    std::size_t firstGroup;
    std::size_t endGroup;
};

// The tones a decoder answers around its own: |heard - own| x 1000 <=
// bandwidth x own, so |heard - own| <= bandwidth x own / 1000 rounded down.
struct Window {
    long low = 1;
    long high = 0;
};

Window windowOf(ToneTenths own, int bandwidthTenths) {
    const long product = static_cast<long>(bandwidthTenths) * own;
    if (product < 0) {
        return {};
    }
    const long reach = product / 1000;
    return {static_cast<long>(own) - reach, static_cast<long>(own) + reach};
}

// Every call of the fleet, grouped by equal tones and indexed by both tones.
//
// A pager answers only calls within its own bandwidth of its tones, so each
// class of one bandwidth in a group asks for the groups inside its own window
// of first and second tone: the runs of first tones in the window, and in
// each run the second tones found by bisection. A narrow pager's query
// stays narrow whatever the widest pager in the fleet, so one wide pager
// costs its own query and no more, and a query costs the first tones in its
// window plus the groups it finds.
class CallIndex {
public:
    explicit CallIndex(std::span<const PlanPager> pagers) {
        for (std::size_t pager = 0; pager < pagers.size(); ++pager) {
            for (const PlanCall& call : pagers[pager].calls) {
                members_.push_back({pager, call, pagers[pager].bandwidth});
            }
        }
        std::ranges::sort(members_, [](const Member& a, const Member& b) {
            if (tonesOf(a.call) != tonesOf(b.call)) {
                return tonesOf(a.call) < tonesOf(b.call);
            }
            if (a.bandwidth != b.bandwidth || a.pager != b.pager) {
                return std::tie(a.bandwidth, a.pager) < std::tie(b.bandwidth, b.pager);
            }
            return callBefore(a.call, b.call);
        });
        for (std::size_t i = 0; i < members_.size(); ++i) {
            const Member& m = members_[i];
            const bool newGroup =
                groups_.empty() || tonesOf(groups_.back().call) != tonesOf(m.call);
            if (newGroup) {
                if (runs_.empty() || runs_.back().kind != m.call.kind ||
                    runs_.back().tone1 != m.call.tone1) {
                    runs_.push_back({m.call.kind, m.call.tone1, groups_.size(), groups_.size()});
                }
                ++runs_.back().endGroup;
                groups_.push_back({m.call, classes_.size(), classes_.size()});
            }
            if (newGroup || classes_.back().bandwidth != m.bandwidth) {
                classes_.push_back({m.bandwidth, i, i});
                ++groups_.back().endClass;
            }
            ++classes_.back().end;
        }
    }

    std::span<const EqualTones> groups() const { return groups_; }
    std::span<const BandClass> classesOf(const EqualTones& group) const {
        return std::span(classes_).subspan(group.firstClass, group.endClass - group.firstClass);
    }
    std::span<const Member> membersOf(const BandClass& band) const {
        return std::span(members_).subspan(band.begin, band.size());
    }

    // Calls visit(group index) for each group of the call's kind whose tones
    // a pager of the bandwidth programmed for `own` answers, until it returns
    // false.
    template <typename Visit>
    void forEachAnswered(const PlanCall& own, int bandwidthTenths, Visit visit) const {
        const Window first = windowOf(own.tone1, bandwidthTenths);
        const Window second = windowOf(own.tone2, bandwidthTenths);
        if (first.low > first.high) {
            return;
        }
        auto run = std::ranges::lower_bound(
            runs_, std::pair(own.kind, first.low), {},
            [](const ToneRun& r) { return std::pair(r.kind, static_cast<long>(r.tone1)); });
        for (; run != runs_.end() && run->kind == own.kind && run->tone1 <= first.high; ++run) {
            auto group = groups_.begin() + static_cast<std::ptrdiff_t>(run->firstGroup);
            const auto end = groups_.begin() + static_cast<std::ptrdiff_t>(run->endGroup);
            // A group call is answered by its one tone.
            if (own.kind == CallKind::Individual) {
                group = std::lower_bound(group, end, second.low, [](const EqualTones& g, long low) {
                    return static_cast<long>(g.call.tone2) < low;
                });
            }
            for (; group != end; ++group) {
                if (own.kind == CallKind::Individual && group->call.tone2 > second.high) {
                    break;
                }
                if (!visit(static_cast<std::size_t>(group - groups_.begin()))) {
                    return;
                }
            }
        }
    }

private:
    std::vector<Member> members_; // by kind, tones, bandwidth, pager, call
    std::vector<BandClass> classes_;
    std::vector<EqualTones> groups_;
    std::vector<ToneRun> runs_;
};

// Keeps `most` findings of a kind, the earliest in order of pagers and calls
// of those offered.
class Listing {
public:
    explicit Listing(std::size_t most) : most_(most) {}

    // Whether the finding was kept (for now).
    bool add(const PlanFinding& finding) {
        if (most_ == 0 || (bar_ && !findingBefore(finding, *bar_))) {
            return false;
        }
        kept_.push_back(finding);
        if (kept_.size() > 4 * most_ + 4) {
            trim();
        }
        return true;
    }
    // No finding whose lower pager comes after this one can be kept.
    bool beyond(std::size_t pagerA) const { return most_ == 0 || (bar_ && pagerA > bar_->pagerA); }
    std::size_t most() const { return most_; }
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
    std::vector<PlanFinding>& kept() { return kept_; }

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

// Pairs of members of one group that belong to different pagers; a pager's
// members of a group lie together, as it has one bandwidth.
std::uint64_t sharedPairs(const CallIndex& index, const EqualTones& group) {
    const auto pairs = [](std::uint64_t n) { return n * (n - 1) / 2; };
    std::uint64_t all = 0;
    std::uint64_t samePager = 0;
    for (const BandClass& band : index.classesOf(group)) {
        const auto members = index.membersOf(band);
        all += members.size();
        std::uint64_t run = 0;
        for (std::size_t i = 0; i < members.size(); ++i) {
            ++run;
            if (i + 1 == members.size() || members[i + 1].pager != members[i].pager) {
                samePager += pairs(run);
                run = 0;
            }
        }
    }
    return pairs(all) - samePager;
}

// Offers the group's pairs in order of pagers and calls until the listing
// takes no more.
void listShared(const CallIndex& index, const EqualTones& group, Listing& listing) {
    std::vector<Member> members;
    for (const BandClass& band : index.classesOf(group)) {
        const auto some = index.membersOf(band);
        members.insert(members.end(), some.begin(), some.end());
    }
    const auto lowest = std::ranges::min_element(members, {}, &Member::pager);
    if (listing.beyond(lowest->pager)) {
        return;
    }
    std::ranges::sort(members, [](const Member& a, const Member& b) {
        return a.pager != b.pager ? a.pager < b.pager : callBefore(a.call, b.call);
    });
    // Runs of one pager's members: pairs by lower pager, upper pager, calls.
    const auto runEnd = [&](std::size_t at) {
        const std::size_t pager = members[at].pager;
        while (at < members.size() && members[at].pager == pager) {
            ++at;
        }
        return at;
    };
    std::size_t offered = 0;
    for (std::size_t r = 0; r < members.size(); r = runEnd(r)) {
        for (std::size_t s = runEnd(r); s < members.size(); s = runEnd(s)) {
            for (std::size_t i = r; i < runEnd(r); ++i) {
                for (std::size_t j = s; j < runEnd(s); ++j) {
                    if (offered++ == listing.most() ||
                        !listing.add(findingOf(FindingKind::Shared, members[i], members[j]))) {
                        return;
                    }
                }
            }
        }
    }
}

// Where the first `pagers` pagers of a class's members end.
std::size_t firstPagersEnd(std::span<const Member> members, std::size_t pagers) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < members.size(); ++at) {
        if (at == 0 || members[at].pager != members[at - 1].pager) {
            if (seen++ == pagers) {
                break;
            }
        }
    }
    return at;
}

// Offers the pairs of two classes that may be among their first `most` in
// order of pagers and calls. A pair whose pager on one side comes after that
// side's first most + 1 pagers is not: those pagers, but for the pager on the
// other side, each make an earlier pair with the other side's member.
void listOverlaps(const CallIndex& index, const BandClass& x, const BandClass& y,
                  Listing& listing) {
    auto xs = index.membersOf(x);
    auto ys = index.membersOf(y);
    xs = xs.first(firstPagersEnd(xs, listing.most() + 1));
    ys = ys.first(firstPagersEnd(ys, listing.most() + 1));
    for (const Member& a : xs) {
        for (const Member& b : ys) {
            // The members of ys come by pager: once past the bar, the rest are too.
            if (listing.beyond(std::min(a.pager, b.pager))) {
                break;
            }
            if (a.pager != b.pager) {
                listing.add(findingOf(FindingKind::Overlap, a, b));
            }
        }
    }
}

// Pairs of one pager's own calls that the counting of classes takes in: its
// calls of one kind on different tones that its own decoder confuses.
std::uint64_t ownOverlaps(std::span<const PlanPager> pagers) {
    std::uint64_t count = 0;
    for (const PlanPager& pager : pagers) {
        for (std::size_t i = 0; i < pager.calls.size(); ++i) {
            for (std::size_t j = i + 1; j < pager.calls.size(); ++j) {
                const PlanCall& a = pager.calls[i];
                const PlanCall& b = pager.calls[j];
                if (tonesOf(a) != tonesOf(b) &&
                    (answers(a, pager.bandwidth, b) || answers(b, pager.bandwidth, a))) {
                    ++count;
                }
            }
        }
    }
    return count;
}

} // namespace

TonePlanCheck checkTonePlan(std::span<const PlanPager> pagers, std::size_t listed,
                            std::uint64_t mostCounted) {
    const CallIndex index(pagers);
    const auto groups = index.groups();
    TonePlanCheck check;
    Listing shared(listed);
    Listing overlaps(listed);
    for (const EqualTones& group : groups) {
        const std::uint64_t pairs = sharedPairs(index, group);
        check.shared += pairs;
        if (pairs != 0) {
            listShared(index, group, shared);
        }
    }
    // Pairs of classes of different groups where one class answers the
    // other: each counted once, from the class that answers, or from the
    // earlier group when both do. A pager's pairs with itself are counted
    // too and taken off at the end.
    const std::uint64_t own = ownOverlaps(pagers);
    std::uint64_t counted = 0;
    for (std::size_t x = 0; x < groups.size() && check.complete; ++x) {
        for (const BandClass& hearing : index.classesOf(groups[x])) {
            index.forEachAnswered(groups[x].call, hearing.bandwidth, [&](std::size_t y) {
                if (y == x) {
                    return true;
                }
                for (const BandClass& heard : index.classesOf(groups[y])) {
                    if (y < x && answers(groups[y].call, heard.bandwidth, groups[x].call)) {
                        continue;
                    }
                    counted += hearing.size() * heard.size();
                    listOverlaps(index, hearing, heard, overlaps);
                }
                check.complete = counted < own || counted - own < mostCounted;
                return check.complete;
            });
            if (!check.complete) {
                break;
            }
        }
    }
    check.overlaps = counted - own;
    shared.trim();
    overlaps.trim();
    check.findings = std::move(shared.kept());
    check.findings.insert(check.findings.end(), overlaps.kept().begin(), overlaps.kept().end());
    std::ranges::sort(check.findings, findingBefore);
    return check;
}
