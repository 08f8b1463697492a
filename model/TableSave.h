#pragma once

#include "model/ConfigImage.h"

#include <filesystem>

// Saves a table file so that nothing else is lost: the file holds either its
// old bytes or the new ones, never a part. Where a link points, the file it
// names is written; a file with other names (hard links) is written in place
// so that every name keeps it; a device or FIFO gets the bytes written to it
// rather than being replaced; a longer file keeps its bytes after the 256;
// the file keeps its mode (without set-user-ID and set-group-ID) and, where
// the process may, its owner and group. Returns 0, or the errno of the step
// that failed (EISDIR for a folder).
int saveTableFile(const std::filesystem::path& path, const ConfigImage& image);
