#pragma once

#include "model/ConfigImage.h"
#include "model/TableFile.h"

#include <filesystem>
#include <string>
#include <string_view>

// saveTableFile's answer for a file its owner made read-only: nothing was
// written, as an editor or cp would not write it either. Root writes such a
// file on POSIX systems, as cp does.
inline constexpr int kTableReadOnly = -1;

// Saves a table file so that nothing else is lost: the file holds either its
// old bytes or the new ones, never a part. Where a link points, the file it
// names is written; a file with other names (hard links) is written in place
// so that every name keeps it; a device or FIFO gets the bytes written to it
// rather than being replaced; a longer file keeps its bytes after the 256,
// copied a buffer at a time with its holes left holes; the file keeps its
// mode (without set-user-ID and set-group-ID) and, where the process may, its
// owner and group. With TableSource::RegularFile (a window's save) a node
// that is no file is left alone rather than written, as the write could wait
// on it: EINVAL for a FIFO, device or socket. Returns 0, kTableReadOnly, or
// the errno of the step that failed (EISDIR for a folder).
int saveTableFile(const std::filesystem::path& path, const ConfigImage& image,
                  TableSource source = TableSource::AnyNode);

// "NAME is read-only"
inline std::string readOnlyText(std::string_view name) {
    return std::string(name) + " is read-only";
}
