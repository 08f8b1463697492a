#pragma once

#include "link/ECommError.h"

#include <string>
#include <string_view>

// The command line's messages on stderr. Every line starts with the
// program's name, so a log or a script tells them from other output.

inline constexpr std::string_view kProgramName = "px520-cli";

// "px520-cli: " and the text; each further line of the text gets the prefix
// too.
std::string prefixed(std::string_view text);

// Writes the prefixed text and a newline to stderr.
void report(std::string_view text);

// "WHAT: REASON" with the system's words for errno value `error`.
std::string withSystemReason(std::string_view what, int error);

// A port that would not open: "DEVICE: the system's reason" and, on a line
// of its own, what to do about it when the reason is a known one.
std::string portOpenFailure(const ECommError& error, std::string_view portName);
