#pragma once

#include <optional>
#include <string>
#include <vector>

// Changes fields of a table file by name with the window's rules and writes
// the result to out (or back to path); a refused value leaves every file as
// it was.
int runSet(const std::string& path, const std::vector<std::string>& assignments,
           const std::optional<std::string>& out, bool userTones);
