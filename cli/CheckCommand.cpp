#include "cli/CheckCommand.h"

#include "cli/Diagnostics.h"
#include "cli/ExitCodes.h"
#include "cli/TableFiles.h"
#include "rules/TonePlan.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>

namespace {

struct NamedPager {
    std::string name; // "row 3 (unit C)" or the file's path
    ConfigImage image;
};

std::string rowName(const SheetPager& pager) {
    std::string name = "row " + std::to_string(pager.row);
    if (!pager.label.empty()) {
        name += " (" + pager.label + ")";
    }
    return name;
}

std::string callName(const PlanCall& call) {
    return (call.kind == CallKind::Group ? "Group CALL #" : "CALL #") + std::to_string(call.call);
}

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

std::string findingText(const PlanFinding& f, const std::vector<NamedPager>& pagers) {
    const NamedPager& a = pagers[f.pagerA];
    const NamedPager& b = pagers[f.pagerB];
    std::ostringstream text;
    text << (f.kind == FindingKind::Shared ? "shared:  " : "overlap: ") << a.name << " "
         << callName(f.callA) << " (" << tonesText(f.callA) << ") and " << b.name << " "
         << callName(f.callB) << " (" << tonesText(f.callB) << ")";
    if (f.kind == FindingKind::Overlap) {
        const auto hears = [&](const NamedPager& who, const NamedPager& whose) {
            return "; " + who.name + " answers " + whose.name + "'s call at its " +
                   percent(bandwidthTenthsOfPercent(who.image));
        };
        if (f.aAnswersB) {
            text << hears(a, b);
        }
        if (f.bAnswersA) {
            text << hears(b, a);
        }
    }
    return text.str();
}

nlohmann::ordered_json callJson(const NamedPager& pager, const PlanCall& call) {
    nlohmann::ordered_json tones = nlohmann::ordered_json::array();
    tones.push_back(std::stod(formatTone(call.tone1)));
    if (call.kind == CallKind::Individual) {
        tones.push_back(std::stod(formatTone(call.tone2)));
    }
    return {{"pager", pager.name},
            {"call", callName(call)},
            {"tones", tones},
            {"bandwidth", bandwidthTenthsOfPercent(pager.image) / 10.0}};
}

// Lists the findings; the number of overlaps.
std::size_t printFindings(const std::vector<NamedPager>& pagers, bool json, std::ostream& out) {
    std::vector<ConfigImage> images;
    images.reserve(pagers.size());
    for (const NamedPager& pager : pagers) {
        images.push_back(pager.image);
    }
    const std::vector<PlanFinding> findings = checkTonePlan(images);
    std::size_t overlaps = 0;
    nlohmann::ordered_json overlapJson = nlohmann::ordered_json::array();
    nlohmann::ordered_json sharedJson = nlohmann::ordered_json::array();
    for (const PlanFinding& f : findings) {
        const bool overlap = f.kind == FindingKind::Overlap;
        overlaps += overlap ? 1 : 0;
        if (!json) {
            out << findingText(f, pagers) << '\n';
            continue;
        }
        nlohmann::ordered_json entry{{"a", callJson(pagers[f.pagerA], f.callA)},
                                     {"b", callJson(pagers[f.pagerB], f.callB)}};
        if (overlap) {
            entry["aAnswersB"] = f.aAnswersB;
            entry["bAnswersA"] = f.bAnswersA;
        }
        (overlap ? overlapJson : sharedJson).push_back(entry);
    }
    const std::size_t shared = findings.size() - overlaps;
    if (json) {
        out << nlohmann::ordered_json{{"pagers", pagers.size()},
                                      {"overlaps", overlapJson},
                                      {"shared", sharedJson}}
                   .dump(2)
            << '\n';
    } else {
        out << overlaps << (overlaps == 1 ? " overlap, " : " overlaps, ") << shared
            << (shared == 1 ? " shared call" : " shared calls") << " among " << pagers.size()
            << " pagers.\n";
    }
    return overlaps;
}

} // namespace

int runCheck(const std::vector<std::string>& files, const CheckOptions& options) {
    std::vector<NamedPager> pagers;
    if (options.each) {
        if (files.size() != 1) {
            report("check: --each takes one table file, the configuration of every row.");
            return kExitUsage;
        }
        const auto base = openTable(files.front());
        if (!base) {
            return kExitFile;
        }
        bool refused = false;
        const auto sheet = readPagerSheet(*options.each, base->image,
                                          options.userTones ? ToneMode::User : ToneMode::Standard,
                                          refused);
        if (!sheet) {
            return refused ? kExitRefused : kExitFile;
        }
        for (const SheetPager& pager : *sheet) {
            pagers.push_back({rowName(pager), pager.image});
        }
    } else {
        for (const std::string& file : files) {
            const auto opened = openTable(file);
            if (!opened) {
                return kExitFile;
            }
            pagers.push_back({file, opened->image});
        }
    }
    return printFindings(pagers, options.json, std::cout) == 0 ? kExitSuccess : kExitDiffer;
}

bool sheetWithoutOverlaps(const std::vector<SheetPager>& sheet) {
    std::vector<NamedPager> pagers;
    pagers.reserve(sheet.size());
    for (const SheetPager& pager : sheet) {
        pagers.push_back({rowName(pager), pager.image});
    }
    std::ostringstream listing;
    if (printFindings(pagers, false, listing) == 0) {
        return true;
    }
    std::string lines = listing.str();
    lines.pop_back();
    report(lines);
    report("the sheet's calls overlap; nothing was written (--allow-overlap writes it all the "
           "same).");
    return false;
}
