#pragma once

#include "cli/PagerSheet.h"

#include <optional>
#include <string>
#include <vector>

// The pagers of a fleet checked for calls that another pager would answer.

struct CheckOptions {
    std::optional<std::string> each; // with one FILE: its pagers are the sheet's rows
    bool json = false;
    bool userTones = false;
};

// px520-cli check: every overlap and shared call among the pagers of the
// table files, or of FILE with each row of the sheet. Exit 0 when nothing
// overlaps, 1 when something does.
int runCheck(const std::vector<std::string>& files, const CheckOptions& options);

// write --repeat --each: false, with the overlaps listed on stderr, when two
// rows' calls overlap.
bool sheetWithoutOverlaps(const std::vector<SheetPager>& sheet);
