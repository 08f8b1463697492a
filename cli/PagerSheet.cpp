#include "cli/PagerSheet.h"

#include "rules/FieldEntry.h"
#include "rules/FieldRegistry.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

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

std::string labelled(int row, const std::string& label) {
    return "row " + std::to_string(row) + (label.empty() ? "" : " (" + label + ")");
}

} // namespace

std::optional<std::vector<SheetPager>> readPagerSheet(const std::string& path,
                                                      const ConfigImage& base, ToneMode mode,
                                                      bool& refused) {
    refused = false;
    std::ifstream in(path);
    if (!in) {
        std::cerr << "px520-cli: cannot open " << path << ": " << std::strerror(errno) << '\n';
        return std::nullopt;
    }
    std::string line;
    if (!std::getline(in, line)) {
        std::cerr << "px520-cli: " << path << " has no header line.\n";
        return std::nullopt;
    }
    const auto header = cellsOf(line);
    if (!header) {
        std::cerr << "px520-cli: " << path << ": unterminated quote in the header.\n";
        return std::nullopt;
    }
    const bool hasLabel = !header->empty() && header->front() == "label";
    std::vector<FieldRef> columns;
    for (std::size_t i = hasLabel ? 1 : 0; i < header->size(); ++i) {
        const auto ref = parseFieldRef((*header)[i]);
        if (!ref) {
            std::cerr << "px520-cli: " << path << ": '" << (*header)[i]
                      << "' is not a field name of show (T1[1], Freq, BS_Period, ...).\n";
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
        const auto cells = cellsOf(line);
        if (!cells || cells->size() != header->size()) {
            std::cerr << "px520-cli: " << path << " row " << row << ": expected "
                      << header->size() << " cells.\n";
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
            std::cerr << "px520-cli: " << path << " " << labelled(row, pager.label) << ": "
                      << fieldRefName(result.refused) << ": " << result.message << '\n';
            refused = true;
            return std::nullopt;
        }
        pagers.push_back(std::move(pager));
    }
    return pagers;
}
