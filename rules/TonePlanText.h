#pragma once

#include "rules/TonePlan.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

// The tone plan's findings in words, as px520-cli check prints them and the
// fleet window lists them.

// "CALL #2" or "Group CALL #1".
std::string planCallName(const PlanCall& call);

// How findings name a pager by its index in the plan ("row 3 (unit C)", a
// file's path).
using PlanPagerName = std::function<std::string(std::size_t pager)>;

// "overlap: row 1 (unit A) CALL #1 (669.9 Hz, 707.3 Hz) and row 2 ... ; row 1
// (unit A) answers row 2 (unit B)'s call at its 1.5 %", or "shared:  ...".
std::string findingText(const PlanFinding& finding, const PlanPagerName& nameOf,
                        std::span<const PlanPager> pagers);

// The lines after the findings: "... and 4 more overlaps" for pairs counted
// but not listed, then "2 overlaps, 1 shared call among 3 pagers." (with
// "or more" and where counting stopped when the check stopped).
std::vector<std::string> planSummaryLines(const TonePlanCheck& check, std::size_t pagers);
