#pragma once

#include "rules/FieldDisplay.h"
#include "rules/FieldListing.h"
#include "rules/FieldRegistry.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

// A shown value as JSON: the value, or {"stored", "computed"} where the tool
// computes the field itself.
nlohmann::ordered_json fieldJson(const ShownValue& shown);
// The stored value alone.
nlohmann::ordered_json storedJson(const ShownValue& shown);

// The JSON text of an output, indented by two: a byte that is no part of a
// UTF-8 character (in a file name or a sheet's label) becomes U+FFFD rather
// than ending the program.
std::string jsonText(const nlohmann::ordered_json& value);

// The key of show --json's object of window captions, which a document
// given back to set only describes.
inline constexpr std::string_view kCaptionsKey = "label";
