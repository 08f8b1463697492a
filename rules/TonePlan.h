#pragma once

#include "model/ConfigImage.h"
#include "rules/ToneRules.h"

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
    int call = 0;           // 1..4 individual, 1..2 group
    ToneTenths tone1 = 0;   // the group tone for a group call
    ToneTenths tone2 = 0;   // individual calls only
    bool operator==(const PlanCall&) const = default;
};

// The decoder bandwidth in tenths of a per cent: 1 (0.1 %) to 31 (3.1 %).
// A stored code that names no item is read as the widest, so that a doubtful
// pager is taken to answer more calls, never fewer.
int bandwidthTenthsOfPercent(const ConfigImage& image);

// The calls a pager answers and sends: its enabled calls, in call order.
std::vector<PlanCall> enabledCalls(const ConfigImage& image);

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

// Every pair of calls of two different pagers that are shared or overlap,
// pagers and calls in order.
std::vector<PlanFinding> checkTonePlan(std::span<const ConfigImage> pagers);
