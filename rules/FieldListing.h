#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"

#include <string>
#include <vector>

// A configuration's fields as show lists them, in registry order: the
// field's name, the window's caption and the shown value (which may take
// several lines; a blank version tag is an empty text). The command line
// prints it; the printed configuration is made of it.

struct FieldListingRow {
    std::string name;
    std::string caption; // empty for bytes the tool does not interpret
    std::string value;
};

std::vector<FieldListingRow> fieldListing(const ConfigImage& image);

// How a value is named on a terminal: "T1[2]", or "bytes 12-15" for bytes
// the tool does not interpret.
std::string fieldLabel(const FieldRef& ref);
