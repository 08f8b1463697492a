#include "rules/PagerSheet.h"

#include "model/TextEncoding.h"

#include <algorithm>
#include <cctype>

namespace {

// "label", "Label" or "LABEL", as field names are taken in any case.
bool isLabelColumn(std::string_view name) {
    constexpr std::string_view kLabel = "label";
    return std::ranges::equal(name, kLabel, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool sameField(const FieldRef& a, const FieldRef& b) {
    return a.def == b.def && a.call == b.call;
}

// "669.9" or "-0,5": digits, one decimal mark, digits. Only such cells change
// their mark, so a label-like value with a comma in it stays as it is.
bool isDecimal(std::string_view cell, char mark) {
    if (cell.starts_with('-') || cell.starts_with('+')) {
        cell.remove_prefix(1);
    }
    const std::size_t at = cell.find(mark);
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::ranges::all_of(part, [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    };
    return at != std::string_view::npos && digits(cell.substr(0, at)) &&
           digits(cell.substr(at + 1));
}

void replaceMark(std::string& cell, char from, char to) {
    std::ranges::replace(cell, from, to);
}

// Spreadsheets separate cells with ';' where the locale writes decimals with
// a comma, so a ';' sheet is taken to write them so unless its numbers show
// points and no commas (a sheet of whole numbers then keeps to its locale
// once a decimal is typed). Field cells are turned to the '.' the rules take.
void takeDecimalMark(PagerSheet& sheet) {
    if (sheet.dialect.separator != SheetSeparator::Semicolon) {
        return;
    }
    bool commas = false;
    bool points = false;
    for (const PagerRow& row : sheet.rows) {
        for (const std::string& cell : row.cells) {
            commas = commas || isDecimal(cell, ',');
            points = points || isDecimal(cell, '.');
        }
    }
    sheet.dialect.decimalComma = commas || !points;
    if (!sheet.dialect.decimalComma) {
        return;
    }
    for (PagerRow& row : sheet.rows) {
        for (std::string& cell : row.cells) {
            if (isDecimal(cell, ',')) {
                replaceMark(cell, ',', '.');
            }
        }
    }
}

// The label as long as the sheet's own bytes hold it: a Windows-1252 sheet
// holds each character in one.
std::size_t labelBytes(const PagerSheet& sheet, std::string_view label) {
    return sheet.dialect.encoding == SheetEncoding::Windows1252 ? characterCount(label)
                                                                : label.size();
}

PagerSheetRead refused(int row, int column, std::string message) {
    return {std::nullopt, SheetError{row, column, std::move(message)}};
}

// Why the sheet's text could not be split, in the words of a pager sheet.
PagerSheetRead textRefused(const SheetTextRead& read, std::size_t mostColumns) {
    switch (read.fault) {
    case SheetTextFault::NoHeader:
        return refused(0, -1, "the sheet has no header line.");
    case SheetTextFault::TooManyCells:
        if (read.row == 0) {
            return refused(0, -1,
                           "more than " + std::to_string(mostColumns) +
                               " columns in the header, more than there are fields.");
        }
        return refused(read.row, -1,
                       rowName(read.row, "") + ": more than " + std::to_string(mostColumns) +
                           " cells.");
    case SheetTextFault::TooManyRows:
        return refused(read.row, -1,
                       "the sheet has more than " + std::to_string(kMostSheetRows) +
                           " rows, more pagers than a sheet takes; nothing was taken.");
    case SheetTextFault::Utf16:
    case SheetTextFault::OpenQuote:
    case SheetTextFault::None:
        break;
    }
    return refused(read.row, -1, read.error);
}

} // namespace

std::string rowName(int row, std::string_view label) {
    return "row " + std::to_string(row) + (label.empty() ? "" : " (" + shortened(label) + ")");
}

PagerSheetRead parsePagerSheet(std::string_view bytes) {
    // A label and each field once is the most a header names.
    const std::size_t mostColumns = allFieldRefs().size() + 1;
    SheetTextRead read = parseSheetText(bytes, mostColumns, kMostSheetRows);
    if (!read.sheet) {
        return textRefused(read, mostColumns);
    }
    SheetText& text = *read.sheet;
    PagerSheet sheet;
    sheet.dialect = text.dialect;
    sheet.hasLabel = isLabelColumn(text.header.front());
    if (sheet.hasLabel) {
        sheet.labelHeading = text.header.front();
    }
    const std::size_t first = sheet.hasLabel ? 1 : 0;
    for (std::size_t i = first; i < text.header.size(); ++i) {
        const int column = static_cast<int>(i - first) + 1;
        const auto ref = parseFieldRef(text.header[i]);
        if (!ref) {
            return refused(0, column,
                           "'" + shortened(text.header[i]) +
                               "' is not a field name of show (T1[1], Freq, BS_Period, ...).");
        }
        if (std::ranges::any_of(sheet.columns,
                                [&](const FieldRef& named) { return sameField(named, *ref); })) {
            return refused(0, column, fieldRefName(*ref) + " has two columns in the header.");
        }
        sheet.columns.push_back(*ref);
        sheet.headings.push_back(std::move(text.header[i]));
    }
    sheet.rows.reserve(text.rows.size());
    for (std::size_t r = 0; r < text.rows.size(); ++r) {
        std::vector<std::string>& cells = text.rows[r];
        const int row = static_cast<int>(r) + 1;
        std::string label = sheet.hasLabel ? std::move(cells.front()) : std::string{};
        if (cells.size() != text.header.size()) {
            return refused(row, -1,
                           rowName(row, label) + ": " + std::to_string(cells.size()) +
                               (cells.size() == 1 ? " cell" : " cells") + " where the header has " +
                               std::to_string(text.header.size()) + ".");
        }
        if (const std::size_t size = labelBytes(sheet, label); size > kMostLabelBytes) {
            return refused(row, 0,
                           rowName(row, label) + ": label: " + std::to_string(size) +
                               " bytes; a label takes at most " + std::to_string(kMostLabelBytes) +
                               ".");
        }
        cells.erase(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(first));
        sheet.rows.push_back({std::move(label), std::move(cells)});
    }
    takeDecimalMark(sheet);
    return {std::move(sheet), std::nullopt};
}

std::string formatPagerSheet(const PagerSheet& sheet) {
    SheetText text;
    text.dialect = sheet.dialect;
    if (sheet.hasLabel) {
        text.header.push_back(sheet.labelHeading);
    }
    for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
        const auto own = c < sheet.headings.size() ? parseFieldRef(sheet.headings[c])
                                                   : std::optional<FieldRef>{};
        text.header.push_back(own && sameField(*own, sheet.columns[c])
                                  ? sheet.headings[c]
                                  : fieldRefName(sheet.columns[c]));
    }
    text.rows.reserve(sheet.rows.size());
    for (const PagerRow& row : sheet.rows) {
        std::vector<std::string> cells;
        cells.reserve(row.cells.size() + 1);
        if (sheet.hasLabel) {
            cells.push_back(row.label);
        }
        for (std::string cell : row.cells) {
            if (sheet.dialect.decimalComma && isDecimal(cell, '.')) {
                replaceMark(cell, '.', ',');
            }
            cells.push_back(std::move(cell));
        }
        text.rows.push_back(std::move(cells));
    }
    return formatSheetText(text);
}

std::optional<SheetError> applyRow(ConfigImage& image, const PagerSheet& sheet, std::size_t row,
                                   ToneMode mode) {
    const PagerRow& pager = sheet.rows.at(row);
    std::vector<FieldAssignment> values;
    for (std::size_t c = 0; c < sheet.columns.size() && c < pager.cells.size(); ++c) {
        if (!pager.cells[c].empty()) {
            values.push_back({sheet.columns[c], pager.cells[c]});
        }
    }
    const EntryResult result = enterFields(image, values, mode);
    if (result.accepted) {
        return std::nullopt;
    }
    const auto column = std::ranges::find_if(
        values, [&](const FieldAssignment& value) { return sameField(value.ref, result.refused); });
    const int number = static_cast<int>(row) + 1;
    const std::string name = fieldRefName(result.refused);
    const std::string caption = fieldCaption(result.refused);
    std::string message = rowName(number, pager.label) + ", " +
                          (caption.empty() ? name : caption + " (" + name + ")");
    int index = -1;
    if (column != values.end()) {
        std::string cell = column->text;
        if (sheet.dialect.decimalComma && isDecimal(cell, '.')) {
            replaceMark(cell, '.', ',');
        }
        message += " holds \"" + shortened(cell) + "\"";
        const auto at = std::ranges::find_if(
            sheet.columns, [&](const FieldRef& ref) { return sameField(ref, result.refused); });
        index = static_cast<int>(at - sheet.columns.begin()) + 1;
    }
    return SheetError{number, index, message + ": " + escaped(result.message)};
}

SheetImages checkRows(const ConfigImage& base, const PagerSheet& sheet, ToneMode mode) {
    SheetImages checked;
    checked.images.reserve(sheet.rows.size());
    for (std::size_t row = 0; row < sheet.rows.size(); ++row) {
        ConfigImage image = base;
        if (auto error = applyRow(image, sheet, row, mode)) {
            return {{}, std::move(error)};
        }
        checked.images.push_back(image);
    }
    return checked;
}
