#pragma once

#include "model/ConfigImage.h"

#include <cstddef>
#include <filesystem>

// A table file is the 256 image bytes and nothing else.

enum class TableStatus {
    Loaded,     // bytes taken into the image (possibly fewer than 256)
    Missing,    // "default.tbl" is not there: nothing to do
    CannotOpen, // the file exists (or was chosen) but cannot be read
    WrongModel, // "default.tbl" holds another model's tag
};

struct TableLoad {
    TableStatus status;
    std::size_t bytesRead = 0; // < 256 for a short file
    int systemError = 0;       // CannotOpen: errno of the failed open or read
};

// Reads up to 256 bytes into the leading bytes of the image; a short file
// replaces only as many bytes as it has. The image is untouched unless Loaded.
TableLoad loadTable(const std::filesystem::path& path, ConfigImage& image);

// The start-up table: read into a zero-filled buffer, taken only when its bytes
// 240-244 read "PX520".
TableLoad loadDefaultTable(const std::filesystem::path& path, ConfigImage& image);

inline constexpr const char* kDefaultTableName = "default.tbl";
