#pragma once

#include "model/ConfigImage.h"

#include <optional>
#include <string>

// Table files as the command line reads and writes them: errors reported on
// stderr in the window's words.

// The file's bytes over a zero-filled image; nothing after "Open Error!".
std::optional<ConfigImage> openTable(const std::string& path);

// Writes the 256 bytes to a temporary file beside path and renames it into
// place, so path holds either its old contents or the new ones, never a
// part. False after "Save Error!".
bool saveTableAtomically(const std::string& path, const ConfigImage& image);
