#include "cli/PagerSheet.h"

#include "cli/Diagnostics.h"
#include "cli/InputText.h"
#include "rules/FieldEntry.h"
#include "rules/FieldRegistry.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <sstream>
#include <string_view>

namespace {

// One CSV line: cells split at commas, a cell in double quotes may hold
// commas and doubled quotes. Nothing for an unterminated quote.
std::optional<std::vector<std::string>> cellsOf(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    return cells;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// "label", "Label" or "LABEL", as field names are taken in any case.
bool isLabelColumn(std::string_view name) {
    constexpr std::string_view kLabel = "label";
    return std::ranges::equal(name, kLabel, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// A row is a few hundred bytes: room for well over 10^5 pagers.
constexpr std::size_t kMostSheetBytes = std::size_t{32} << 20;
// Each row holds a whole image while the sheet is checked; a bound on rows
// keeps a sheet of very short lines from asking for gigabytes.
constexpr int kMostSheetRows = 100'000;

std::string labelled(int row, const std::string& label) {
    return "row " + std::to_string(row) + (label.empty() ? "" : " (" + label + ")");
}

} // namespace

std::optional<std::vector<SheetPager>>
readPagerSheet(const std::string& path, const ConfigImage& base, ToneMode mode, bool& refused) {
    refused = false;
    const InputText input = readInputText(path, kMostSheetBytes);
    if (input.error != 0) {
        report(withSystemReason("cannot open " + path, input.error));
        return std::nullopt;
    }
    if (input.tooLarge) {
        report(tooLargeMessage(path, kMostSheetBytes));
        refused = true;
        return std::nullopt;
    }
    std::istringstream in(input.text);
    std::string line;
    if (!std::getline(in, line)) {
        report(path + " has no header line.");
        return std::nullopt;
    }
    // A spreadsheet may save UTF-8 with a byte order mark.
    if (line.starts_with(kUtf8Bom)) {
        line.erase(0, kUtf8Bom.size());
    }
    const auto header = cellsOf(line);
    if (!header) {
        report(path + ": unterminated quote in the header.");
        return std::nullopt;
    }
    const bool hasLabel = !header->empty() && isLabelColumn(header->front());
    std::vector<FieldRef> columns;
    for (std::size_t i = hasLabel ? 1 : 0; i < header->size(); ++i) {
        const auto ref = parseFieldRef((*header)[i]);
        if (!ref) {
            report(path + ": '" + (*header)[i] +
                   "' is not a field name of show (T1[1], Freq, BS_Period, ...).");
            return std::nullopt;
        }
        columns.push_back(*ref);
    }
    std::vector<SheetPager> pagers;
    for (int row = 1; std::getline(in, line); ++row) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            --row;
            continue;
        }
        if (row > kMostSheetRows) {
            report(path + " has more than " + std::to_string(kMostSheetRows) +
                   " rows, more pagers than a sheet takes; nothing was taken.");
            refused = true;
            return std::nullopt;
        }
        const auto cells = cellsOf(line);
        if (!cells || cells->size() != header->size()) {
            report(path + " row " + std::to_string(row) + ": expected " +
                   std::to_string(header->size()) + " cells.");
            return std::nullopt;
        }
        SheetPager pager{row, hasLabel ? cells->front() : std::string{}, base};
        std::vector<FieldAssignment> values;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& text = (*cells)[c + (hasLabel ? 1 : 0)];
            if (!text.empty()) {
                values.push_back({columns[c], text});
            }
        }
        const EntryResult result = enterFields(pager.image, values, mode);
        if (!result.accepted) {
            report(path + " " + labelled(row, pager.label) + ": " + fieldRefName(result.refused) +
                   ": " + result.message);
            refused = true;
            return std::nullopt;
        }
        pagers.push_back(std::move(pager));
    }
    return pagers;
}
