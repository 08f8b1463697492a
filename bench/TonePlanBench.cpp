// The tone-plan check at scale: sheets built to defeat a sweep over the first
// tone (close, all different tones with one wide pager among narrow ones),
// sheets spread over the tone range, a 10,000-row fleet, and a 1,000-row
// fleet checked again after one edit, as the fleet window does on each edit.

#include "rules/TonePlan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kRuns = 3;
constexpr int kNarrow = 1; // 0.1 %
constexpr int kWide = 31;  // 3.1 %

// Tones within 3 % of 2000.0 Hz: 601 first tones by 601 second tones.
constexpr ToneTenths kBase = 20000;
constexpr int kSpread = 601;

// Both tones within 3 %, as far as 601 by 601 tones keep them apart.
PlanCall closeTones(int call, long k) {
    return {CallKind::Individual, call, static_cast<ToneTenths>(kBase + k % kSpread),
            static_cast<ToneTenths>(kBase + k / kSpread % kSpread)};
}

// First tones within 3 %, second tones scattered over the decoder's range
// (288.5 to 2468.2 Hz), so that narrow pagers rarely meet.
PlanCall closeFirstTones(int call, long k) {
    return {CallKind::Individual, call, static_cast<ToneTenths>(kBase + k % kSpread),
            static_cast<ToneTenths>(2885 + k * 7919 % 21798)};
}

// Every pager at 0.1 % but the middle one at 3.1 %, each call on tones of
// its own.
std::vector<PlanPager> hostile(int rows, int calls, PlanCall (*tones)(int, long)) {
    std::vector<PlanPager> plan(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        PlanPager& pager = plan[static_cast<std::size_t>(row)];
        pager.bandwidth = row == rows / 2 ? kWide : kNarrow;
        for (int call = 1; call <= calls; ++call) {
            pager.calls.push_back(tones(call, static_cast<long>(row) * calls + call - 1));
        }
    }
    return plan;
}

// One individual call on tones drawn over the decoder's range (288.5 to
// 2468.2 Hz), at the given bandwidth.
std::vector<PlanPager> spread(int rows, int bandwidth, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> tone(2885, 24682);
    std::vector<PlanPager> plan(static_cast<std::size_t>(rows));
    for (PlanPager& pager : plan) {
        pager.bandwidth = bandwidth;
        pager.calls.push_back({CallKind::Individual, 1, static_cast<ToneTenths>(tone(random)),
                               static_cast<ToneTenths>(tone(random))});
    }
    return plan;
}

// A workshop's fleet: 0.3 % and 1.5 % decoders, a call each, some pagers
// with a second call and a group call shared by a few dozen.
std::vector<PlanPager> fleet(int rows, unsigned seed) {
    std::vector<PlanPager> plan = spread(rows, 3, seed);
    std::mt19937 random(seed + 1);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        PlanPager& pager = plan[i];
        pager.bandwidth = random() % 4 == 0 ? 15 : 3;
        if (random() % 3 == 0) {
            PlanCall second = pager.calls.front();
            second.call = 2;
            second.tone1 = static_cast<ToneTenths>(second.tone1 + 400);
            pager.calls.push_back(second);
        }
        pager.calls.push_back({CallKind::Group, 1, static_cast<ToneTenths>(5000 + i / 40 * 97), 0});
    }
    return plan;
}

struct Timed {
    double best = 0;
    TonePlanCheck check;
};

Timed timed(const std::function<TonePlanCheck()>& run) {
    Timed result;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        TonePlanCheck check = run();
        const double took = Milliseconds(Clock::now() - start).count();
        if (i == 0 || took < result.best) {
            result.best = took;
        }
        result.check = std::move(check);
    }
    return result;
}

void print(const std::string& what, const Timed& t) {
    std::printf("%-58s %10.2f ms  %8llu overlaps%s  %10llu shared\n", what.c_str(), t.best,
                static_cast<unsigned long long>(t.check.overlaps),
                t.check.complete ? "        " : " or more",
                static_cast<unsigned long long>(t.check.shared));
}

void check(const std::string& what, const std::vector<PlanPager>& plan) {
    print(what, timed([&] { return checkTonePlan(plan); }));
}

} // namespace

int main() {
    std::printf("Tone-plan check, best of %d runs\n", kRuns);
    check("100,000 rows, one call, close first tones, one wide",
          hostile(100'000, 1, closeFirstTones));
    check("100,000 rows, four calls, close first tones, one wide",
          hostile(100'000, 4, closeFirstTones));
    check("100,000 rows, one call, close tones, one wide", hostile(100'000, 1, closeTones));
    check("100,000 rows, four calls, close tones, one wide", hostile(100'000, 4, closeTones));
    check("100,000 rows spread over the range at 0.1 %", spread(100'000, kNarrow, 520));
    check("100,000 rows spread over the range at 3.1 %", spread(100'000, kWide, 520));
    check("10,000-row fleet", fleet(10'000, 520));
    // The window checks the whole fleet again after each edit.
    std::vector<PlanPager> edited = fleet(1'000, 521);
    check("1,000-row fleet", edited);
    edited[500].calls.front().tone1 = edited[499].calls.front().tone1;
    edited[500].calls.front().tone2 = edited[499].calls.front().tone2;
    check("1,000-row fleet after one edit", edited);
    return 0;
}
