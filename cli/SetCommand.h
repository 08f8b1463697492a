#pragma once

#include "cli/TableFiles.h"

#include <optional>
#include <string>
#include <vector>

// Changes fields of a table file by name with the window's rules and writes
// the result to out (or back to path); a refused value leaves every file as
// it was.
int runSet(const std::string& path, const std::vector<std::string>& assignments,
           const std::optional<std::string>& out, bool userTones);

// set's ending: saves the edited image to target, then lists on standard
// output everything that differs from the bytes the file held (what opening
// normalised included), unless standard output took the image. False after
// "cannot save FILE: reason".
bool saveEditedTable(const std::string& target, const OpenedTable& opened,
                     const ConfigImage& image);
