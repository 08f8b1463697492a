#include "cli/PagerSheet.h"

#include "cli/Diagnostics.h"
#include "cli/InputText.h"
#include "cli/TerminalText.h"
#include "rules/FieldEntry.h"
#include "rules/FieldRegistry.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// The cells of one CSV line, split at commas; a cell in double quotes may
// hold commas and doubled quotes. Nothing for an unterminated quote; a line
// of more than `most` cells stops there, with tooMany set, so that a line of
// commas costs no more than the cells the sheet can have.
struct LineCells {
    std::vector<std::string> cells;
    bool tooMany = false;
};

std::optional<LineCells> cellsOf(std::string_view line, std::size_t most) {
    LineCells split{std::vector<std::string>(1)};
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                split.cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                split.cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' && split.cells.size() == most) {
            split.tooMany = true;
            return split;
        } else if (c == ',') {
            split.cells.emplace_back();
        } else if (c != '\r') {
            split.cells.back() += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    return split;
}

// The lines of a text, without their line ends, one after another.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    std::optional<std::string_view> next() {
        if (done_) {
            return std::nullopt;
        }
        const std::size_t end = rest_.find('\n');
        const std::string_view line = rest_.substr(0, end);
        if (end == std::string_view::npos) {
            done_ = true;
            // Text ends with its last line end, or with nothing after it.
            return line.empty() ? std::nullopt : std::optional(line);
        }
        rest_.remove_prefix(end + 1);
        return line;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

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

} // namespace

std::string rowName(const SheetPager& pager) {
    return "row " + std::to_string(pager.row) +
           (pager.label.empty() ? "" : " (" + shortened(pager.label) + ")");
}

std::optional<std::vector<SheetPager>>
readPagerSheet(const std::string& path, const ConfigImage& base, ToneMode mode, bool& refused) {
    refused = false;
    const std::string name = escaped(path);
    const InputText input = readInputText(path, kMostSheetBytes);
    if (input.error != 0) {
        report(withSystemReason("cannot open " + name, input.error));
        return std::nullopt;
    }
    if (input.tooLarge) {
        report(tooLargeMessage(name, kMostSheetBytes));
        refused = true;
        return std::nullopt;
    }
    std::string_view text = input.text;
    // A spreadsheet may save UTF-8 with a byte order mark.
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    const bool utf8 = isUtf8(text);
    if (!utf8) {
        report(name + " is not UTF-8: read as Windows-1252.");
    }
    const auto decoded = [utf8](std::string_view cell) {
        return utf8 ? std::string(cell) : windows1252ToUtf8(cell);
    };
    Lines lines(text);
    const auto headerLine = lines.next();
    if (!headerLine) {
        report(name + " has no header line.");
        return std::nullopt;
    }
    // A label and each field once is the most a header names.
    const std::size_t mostColumns = allFieldRefs().size() + 1;
    const auto header = cellsOf(*headerLine, mostColumns);
    if (!header) {
        report(name + ": unterminated quote in the header.");
        return std::nullopt;
    }
    if (header->tooMany) {
        report(name + ": more than " + std::to_string(mostColumns) +
               " columns in the header, more than there are fields.");
        return std::nullopt;
    }
    const std::vector<std::string>& headings = header->cells;
    const bool hasLabel = isLabelColumn(headings.front());
    std::vector<FieldRef> columns;
    for (std::size_t i = hasLabel ? 1 : 0; i < headings.size(); ++i) {
        const auto ref = parseFieldRef(headings[i]);
        if (!ref) {
            report(name + ": '" + shortened(decoded(headings[i])) +
                   "' is not a field name of show (T1[1], Freq, BS_Period, ...).");
            return std::nullopt;
        }
        columns.push_back(*ref);
    }
    std::vector<SheetPager> pagers;
    int row = 0;
    while (const auto line = lines.next()) {
        if (line->find_first_not_of(" \t\r") == std::string_view::npos) {
            continue;
        }
        if (++row > kMostSheetRows) {
            report(name + " has more than " + std::to_string(kMostSheetRows) +
                   " rows, more pagers than a sheet takes; nothing was taken.");
            refused = true;
            return std::nullopt;
        }
        const auto cells = cellsOf(*line, headings.size());
        if (!cells || cells->tooMany || cells->cells.size() != headings.size()) {
            report(name + " row " + std::to_string(row) + ": expected " +
                   std::to_string(headings.size()) + " cells.");
            return std::nullopt;
        }
        const std::string& label = cells->cells.front();
        SheetPager pager{row, hasLabel ? decoded(label) : std::string{}, base};
        if (hasLabel && label.size() > kMostLabelBytes) {
            report(name + " " + rowName(pager) + ": label: " + std::to_string(label.size()) +
                   " bytes; a label takes at most " + std::to_string(kMostLabelBytes) + ".");
            refused = true;
            return std::nullopt;
        }
        std::vector<FieldAssignment> values;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& cell = cells->cells[c + (hasLabel ? 1 : 0)];
            if (!cell.empty()) {
                values.push_back({columns[c], decoded(cell)});
            }
        }
        const EntryResult result = enterFields(pager.image, values, mode);
        if (!result.accepted) {
            report(name + " " + rowName(pager) + ": " + fieldRefName(result.refused) + ": " +
                   result.message);
            refused = true;
            return std::nullopt;
        }
        pagers.push_back(std::move(pager));
    }
    return pagers;
}
