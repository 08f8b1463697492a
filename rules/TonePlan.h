#pragma once

#include "model/ConfigImage.h"
#include "rules/ToneRules.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A fleet's tone plan: which pagers would alert on another pager's call. A
// pager answers a call when every tone of the call lies within its decoder
// bandwidth of the tone it is programmed for, in one of its enabled calls of
// the same kind (individual calls by TONE 1 and TONE 2, group calls by their
// one tone).

enum class CallKind { Individual, Group };

struct PlanCall {
    CallKind kind = CallKind::Individual;
    int call = 0;         // 1..4 individual, 1..2 group
    ToneTenths tone1 = 0; // the group tone for a group call
    ToneTenths tone2 = 0; // individual calls only
    bool operator==(const PlanCall&) const = default;
};

// The decoder bandwidth in tenths of a per cent: 1 (0.1 %) to 31 (3.1 %).
// A stored code that names no item is read as the widest, so that a doubtful
// pager is taken to answer more calls, never fewer.
int bandwidthTenthsOfPercent(const ConfigImage& image);

// The calls a pager answers and sends: its enabled calls, in call order.
std::vector<PlanCall> enabledCalls(const ConfigImage& image);

// What the plan needs of one pager: a few bytes instead of its image, so a
// sheet of a million rows is checked in little memory.
struct PlanPager {
    int bandwidth = 0; // tenths of a per cent
    std::vector<PlanCall> calls;
};

PlanPager planPager(const ConfigImage& image);

// Whether a pager with the given bandwidth that is programmed for `own`
// alerts when `sent` is sent.
bool answers(const PlanCall& own, int bandwidthTenths, const PlanCall& sent);

enum class FindingKind {
    Shared,  // the same stored tones: both pagers meant to share the call
    Overlap, // different tones that one pager or both would answer
};

// Two calls of two pagers (by their index in the plan) that meet.
struct PlanFinding {
    FindingKind kind;
    std::size_t pagerA;
    PlanCall callA;
    std::size_t pagerB;
    PlanCall callB;
    bool aAnswersB; // pager A alerts on B's call
    bool bAnswersA;
};

// What a check of a fleet found. Every shared and overlapping pair of calls
// of two different pagers is counted; `findings` keeps a bounded number of
// each kind, in order of pagers and calls, since a fleet that shares a group
// call has as many pairs as the square of its size.
struct TonePlanCheck {
    std::vector<PlanFinding> findings;
    std::uint64_t shared = 0;
    std::uint64_t overlaps = 0;
    // False when the overlaps reached the bound and the check stopped: the
    // count of overlaps is then a lower bound.
    bool complete = true;
};

inline constexpr std::size_t kListedFindings = 100;
// Beyond this many overlaps a plan is beyond repair by hand, and a hostile
// sheet of close tones would otherwise cost minutes.
inline constexpr std::uint64_t kMostOverlapsCounted = 1'000'000;

// Checks every pair of calls of two different pagers: equal tones are shared,
// tones that one pager or both would answer overlap. Keeps the first `listed`
// findings of each kind in order of pagers and calls (of those counted when
// the check stopped). Counting stops once the overlaps reach mostCounted;
// shared calls are always counted in full. A sheet of 100,000 rows is checked
// in well under a second (bench_tone_plan prints the figures).
TonePlanCheck checkTonePlan(std::span<const PlanPager> pagers, std::size_t listed = kListedFindings,
                            std::uint64_t mostCounted = kMostOverlapsCounted);
