#pragma once

#include "model/ConfigImage.h"
#include "rules/ToneRules.h"

#include <optional>
#include <string>
#include <vector>

// One pager of a batch: its row of the CSV sheet (1 = the first data row),
// its free-text label, and the base configuration with the row's values set.
struct SheetPager {
    int row = 0;
    std::string label;
    ConfigImage image{};
};

// Reads a CSV sheet whose header names fields as set and show do, with an
// optional first column "label", and sets each row's values on the base by
// set's rules; an empty cell keeps the base's value. Every row is checked:
// nothing on the first refusal, which is reported on stderr with its row,
// label and message (refused is set then; a file or syntax error leaves it
// clear).
std::optional<std::vector<SheetPager>> readPagerSheet(const std::string& path,
                                                      const ConfigImage& base, ToneMode mode,
                                                      bool& refused);
