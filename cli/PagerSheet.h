#pragma once

#include "model/ConfigImage.h"
#include "rules/ToneRules.h"

#include <optional>
#include <string>
#include <vector>

// One pager of a batch: its row of the sheet (1 = the first data row), its
// free-text label (UTF-8), and the base configuration with the row's values
// set.
struct SheetPager {
    int row = 0;
    std::string label;
    ConfigImage image{};
};

// Reads a sheet file as the core reads sheets (any dialect spreadsheets
// save) and sets each row's values on the base by set's rules. A sheet read
// as Windows-1252 is said so once. Every row is checked: nothing on the
// first refusal, which is reported on stderr with its row, label, column and
// reason (refused is set then; a file or syntax error leaves it clear).
std::optional<std::vector<SheetPager>>
readPagerSheet(const std::string& path, const ConfigImage& base, ToneMode mode, bool& refused);

// "row 3 (unit C)" with the label shortened and escaped, as messages, log
// lines and findings name a row.
std::string rowName(const SheetPager& pager);
