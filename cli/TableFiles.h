#pragma once

#include "model/ConfigImage.h"

#include <optional>
#include <string>

// Table files as the command line reads and writes them: errors reported on
// stderr with the file's name and the system's reason.

// A table file as the window takes it on Open: the bytes the file holds
// (over a zero-filled image when it is short) and the working image the
// display pass makes of them.
struct OpenedTable {
    ConfigImage stored;
    ConfigImage image;
};

// Nothing after "cannot open FILE: reason". With whole, a file shorter than 256 bytes is
// refused as well: written into a pager, its zeros would take the pager's
// tones and synthesizer words.
std::optional<OpenedTable> openTable(const std::string& path, bool whole = false);

// "-" or /dev/stdout: the image goes to standard output, so nothing else may.
bool isStandardOutput(const std::string& path);

// Saves the image safely (see saveTableFile): path holds either its old
// contents or the new ones, never a part. False after "cannot save FILE:
// reason".
// Standard output takes the 256 bytes as they are.
bool saveTableAtomically(const std::string& path, const ConfigImage& image);
