#pragma once

#include <optional>
#include <string>

// Applies a document in the shape "show --json" prints to a table file:
// every value that differs from the file as opened goes through the same
// rules as NAME=VALUE; computed entries (codes, synthesizer words, the
// checksum) must agree with what the rules compute or with the file's stored
// value. "-" reads the document from stdin. Nothing is written on any error,
// nor when nothing differs and no output file is named.
int runSetFromDocument(const std::string& path, const std::string& document,
                       const std::optional<std::string>& out, bool userTones);
