#pragma once

#include "model/ConfigImage.h"
#include "rules/ToneRules.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One pager of a batch: its row of the CSV sheet (1 = the first data row),
// its free-text label (UTF-8), and the base configuration with the row's
// values set.
struct SheetPager {
    int row = 0;
    std::string label;
    ConfigImage image{};
};

// The longest label a row may carry, in the sheet's own bytes.
inline constexpr std::size_t kMostLabelBytes = 256;

// Reads a CSV sheet whose header names fields as set and show do, with an
// optional first column "label", and sets each row's values on the base by
// set's rules; an empty cell keeps the base's value. A sheet that is not
// UTF-8 is read as Windows-1252, as spreadsheets on Windows save CSV, and
// that is said once. Every row is checked: nothing on the first refusal,
// which is reported on stderr with its row, label and message (refused is
// set then; a file or syntax error leaves it clear).
std::optional<std::vector<SheetPager>> readPagerSheet(const std::string& path,
                                                      const ConfigImage& base, ToneMode mode,
                                                      bool& refused);

// "row 3 (unit C)" with the label shortened and escaped, as messages, log
// lines and findings name a row.
std::string rowName(const SheetPager& pager);
