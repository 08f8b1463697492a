#include "rules/TonePlanText.h"

#include "rules/ToneRules.h"

namespace {

std::string tonesText(const PlanCall& call) {
    std::string text = formatTone(call.tone1) + " Hz";
    if (call.kind == CallKind::Individual) {
        text += ", " + formatTone(call.tone2) + " Hz";
    }
    return text;
}

std::string percent(int tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %";
}

std::string moreText(std::uint64_t more, const char* one, const char* many) {
    return "... and " + std::to_string(more) + " more " + (more == 1 ? one : many);
}

} // namespace

std::string planCallName(const PlanCall& call) {
    return (call.kind == CallKind::Group ? "Group CALL #" : "CALL #") + std::to_string(call.call);
}

std::string findingText(const PlanFinding& f, const PlanPagerName& nameOf,
                        std::span<const PlanPager> pagers) {
    const std::string a = nameOf(f.pagerA);
    const std::string b = nameOf(f.pagerB);
    std::string text = (f.kind == FindingKind::Shared ? "shared:  " : "overlap: ") + a + " " +
                       planCallName(f.callA) + " (" + tonesText(f.callA) + ") and " + b + " " +
                       planCallName(f.callB) + " (" + tonesText(f.callB) + ")";
    if (f.kind == FindingKind::Overlap) {
        const auto hears = [&](std::size_t who, const std::string& whoName,
                               const std::string& whoseName) {
            return "; " + whoName + " answers " + whoseName + "'s call at its " +
                   percent(pagers[who].bandwidth);
        };
        if (f.aAnswersB) {
            text += hears(f.pagerA, a, b);
        }
        if (f.bAnswersA) {
            text += hears(f.pagerB, b, a);
        }
    }
    return text;
}

std::vector<std::string> planSummaryLines(const TonePlanCheck& check, std::size_t pagers) {
    std::uint64_t listedOverlaps = 0;
    for (const PlanFinding& f : check.findings) {
        listedOverlaps += f.kind == FindingKind::Overlap ? 1 : 0;
    }
    const std::uint64_t listedShared = check.findings.size() - listedOverlaps;
    std::vector<std::string> lines;
    if (check.overlaps > listedOverlaps) {
        lines.push_back(moreText(check.overlaps - listedOverlaps, "overlap", "overlaps"));
    }
    if (check.shared > listedShared) {
        lines.push_back(moreText(check.shared - listedShared, "shared call", "shared calls"));
    }
    // Counts that stopped are lower bounds.
    const std::string orMore = check.complete ? "" : " or more";
    std::string summary = std::to_string(check.overlaps) +
                          (check.overlaps == 1 ? " overlap" : " overlaps") + orMore + ", " +
                          std::to_string(check.shared) +
                          (check.shared == 1 ? " shared call" : " shared calls") + orMore +
                          " among " + std::to_string(pagers) + " pagers";
    if (!check.complete) {
        summary += ": counting stopped at " + std::to_string(kMostOverlapsCounted) + " overlaps";
    }
    lines.push_back(summary + ".");
    return lines;
}
