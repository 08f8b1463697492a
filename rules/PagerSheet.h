#pragma once

#include "model/ConfigImage.h"
#include "model/SheetText.h"
#include "rules/FieldEntry.h"
#include "rules/FieldRegistry.h"
#include "rules/ToneRules.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A workshop job: one row per pager over one base configuration, with a
// label and the values of the fields the sheet sets (the header names them
// as set and show do: T1[1], BW, ...; an optional first column "label").
// An empty cell keeps the base's value. Cells hold the text as the field
// rules take it ('.' decimals); the dialect converts on the way in and out.

struct PagerRow {
    std::string label;              // UTF-8, at most kMostLabelBytes
    std::vector<std::string> cells; // one per column
};

struct PagerSheet {
    SheetDialect dialect;
    bool hasLabel = true;
    std::vector<FieldRef> columns;
    std::vector<PagerRow> rows;
    // The header's own words ("Label", "t1[1]"), so that it is written back
    // as read; a column without one, or whose word names another field, is
    // written by its field name.
    std::string labelHeading = "label";
    std::vector<std::string> headings;
};

// The longest label a row may carry, in the sheet's own bytes.
inline constexpr std::size_t kMostLabelBytes = 256;
// A bound on rows keeps a sheet of very short lines from asking for gigabytes.
inline constexpr std::size_t kMostSheetRows = 100'000;

// What is wrong with a sheet, where: row 0 is the header, column 0 the
// label, 1.. the field columns; -1 where no cell is to blame.
struct SheetError {
    int row = 0;
    int column = -1;
    std::string message;
};

struct PagerSheetRead {
    std::optional<PagerSheet> sheet;
    std::optional<SheetError> error;
};

// The sheet's structure: dialect, header, cell counts, labels. Values are
// checked by applyRow / checkRows.
PagerSheetRead parsePagerSheet(std::string_view bytes);

// The sheet back in the dialect it was read in (a sheet read and written
// unchanged gives the same bytes as a spreadsheet saved them).
std::string formatPagerSheet(const PagerSheet& sheet);

// The base with row `row` (0-based) set by set's rules; when a value is
// refused, the error names the row, its label, the column by caption and
// field name, what the cell holds and what the field takes, and the image
// is left as it was.
std::optional<SheetError> applyRow(ConfigImage& image, const PagerSheet& sheet, std::size_t row,
                                   ToneMode mode);

// Every row set on the base in turn: one image per row, or the first
// refusal and no images.
struct SheetImages {
    std::vector<ConfigImage> images;
    std::optional<SheetError> error;
};
SheetImages checkRows(const ConfigImage& base, const PagerSheet& sheet, ToneMode mode);

// "row 3 (unit C)": how messages, log lines and findings name a row
// (1-based) with its label shortened.
std::string rowName(int row, std::string_view label);
