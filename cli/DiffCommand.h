#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <string>

// Field-level differences of two table files; 0 when equal, 1 when they
// differ, like diff.
int runDiff(const std::string& pathA, const std::string& pathB, bool json);

// One line per value that differs, "T1[2]  433.7 Hz -> 1006.9 Hz"; bytes the
// tool does not interpret one line per byte.
void printDifferences(const ConfigImage& from, const ConfigImage& to, std::ostream& out);

// The same as JSON: {"T1[2]": {"a": 433.7, "b": 1006.9}, "byte 130": {"a": "00", "b": "5A"}}.
nlohmann::ordered_json differencesJson(const ConfigImage& a, const ConfigImage& b);

// A value as a difference names it: the text show prints, or for a value the
// tool computes, the stored one.
std::string differenceText(const ConfigImage& image, const FieldRef& ref);
