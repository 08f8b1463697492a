#include "cli/CheckCommand.h"

#include "cli/Diagnostics.h"
#include "cli/ExitCodes.h"
#include "cli/FieldJson.h"
#include "cli/TableFiles.h"
#include "model/TextEncoding.h"
#include "rules/TonePlan.h"
#include "rules/TonePlanText.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>

namespace {

// The pagers checked: a name for each as findings print it ("row 3 (unit
// C)" or the file's path, escaped) and what the tone plan needs of it.
struct Fleet {
    std::vector<std::string> names;
    std::vector<PlanPager> plans;

    void add(std::string name, const ConfigImage& image) {
        names.push_back(std::move(name));
        plans.push_back(planPager(image));
    }
};

std::string findingLine(const PlanFinding& f, const Fleet& fleet) {
    return findingText(
        f, [&fleet](std::size_t pager) { return fleet.names[pager]; }, fleet.plans);
}

nlohmann::ordered_json callJson(const Fleet& fleet, std::size_t pager, const PlanCall& call) {
    nlohmann::ordered_json tones = nlohmann::ordered_json::array();
    tones.push_back(std::stod(formatTone(call.tone1)));
    if (call.kind == CallKind::Individual) {
        tones.push_back(std::stod(formatTone(call.tone2)));
    }
    return {{"pager", fleet.names[pager]},
            {"call", planCallName(call)},
            {"tones", tones},
            {"bandwidth", fleet.plans[pager].bandwidth / 10.0}};
}

// Lists the findings, a bounded number of each kind; the number of overlaps.
std::uint64_t printFindings(const Fleet& fleet, bool json, std::ostream& out) {
    const TonePlanCheck check = checkTonePlan(fleet.plans);
    nlohmann::ordered_json overlapJson = nlohmann::ordered_json::array();
    nlohmann::ordered_json sharedJson = nlohmann::ordered_json::array();
    for (const PlanFinding& f : check.findings) {
        const bool overlap = f.kind == FindingKind::Overlap;
        if (!json) {
            out << findingLine(f, fleet) << '\n';
            continue;
        }
        nlohmann::ordered_json entry{{"a", callJson(fleet, f.pagerA, f.callA)},
                                     {"b", callJson(fleet, f.pagerB, f.callB)}};
        if (overlap) {
            entry["aAnswersB"] = f.aAnswersB;
            entry["bAnswersA"] = f.bAnswersA;
        }
        (overlap ? overlapJson : sharedJson).push_back(entry);
    }
    if (json) {
        // The arrays hold a bounded number; the counts are of every pair.
        out << jsonText({{"pagers", fleet.names.size()},
                         {"overlapCount", check.overlaps},
                         {"sharedCount", check.shared},
                         {"complete", check.complete},
                         {"overlaps", overlapJson},
                         {"shared", sharedJson}})
            << '\n';
        return check.overlaps;
    }
    for (const std::string& line : planSummaryLines(check, fleet.names.size())) {
        out << line << '\n';
    }
    return check.overlaps;
}

} // namespace

int runCheck(const std::vector<std::string>& files, const CheckOptions& options) {
    Fleet fleet;
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
        fleet.names.reserve(sheet->size());
        fleet.plans.reserve(sheet->size());
        for (const SheetPager& pager : *sheet) {
            fleet.add(rowName(pager), pager.image);
        }
    } else {
        for (const std::string& file : files) {
            const auto opened = openTable(file);
            if (!opened) {
                return kExitFile;
            }
            fleet.add(escaped(file), opened->image);
        }
    }
    return printFindings(fleet, options.json, std::cout) == 0 ? kExitSuccess : kExitDiffer;
}

bool sheetWithoutOverlaps(const std::vector<SheetPager>& sheet) {
    Fleet fleet;
    fleet.names.reserve(sheet.size());
    fleet.plans.reserve(sheet.size());
    for (const SheetPager& pager : sheet) {
        fleet.add(rowName(pager), pager.image);
    }
    std::ostringstream listing;
    if (printFindings(fleet, false, listing) == 0) {
        return true;
    }
    std::string lines = listing.str();
    lines.pop_back();
    report(lines);
    report("the sheet's calls overlap; nothing was written (--allow-overlap writes it all the "
           "same).");
    return false;
}
