#pragma once

#include "model/ConfigImage.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// A table file is the 256 image bytes and nothing else.

enum class TableStatus {
    Loaded,     // bytes taken into the image (possibly fewer than 256)
    Missing,    // "default.tbl" is not there: nothing to do
    CannotOpen, // the file exists (or was chosen) but cannot be read
    WrongModel, // "default.tbl" holds another model's tag
    NotAFile,   // a FIFO, a folder or a device where a regular file was asked for
};

// What a load may read. The command line reads what it is given, a FIFO or a
// device included, and waits there for a writer; a window must never wait on
// a file, so it takes regular files only.
enum class TableSource { AnyNode, RegularFile };

struct TableLoad {
    TableStatus status;
    std::size_t bytesRead = 0; // < 256 for a short file
    int systemError = 0;       // CannotOpen: errno of the failed open or read
    std::string_view node{};   // NotAFile: what stands there ("a FIFO")
};

// Reads up to 256 bytes into the leading bytes of the image; a short file
// replaces only as many bytes as it has. The image is untouched unless Loaded.
TableLoad loadTable(const std::filesystem::path& path, ConfigImage& image,
                    TableSource source = TableSource::AnyNode);

// The start-up table, from a regular file only: read into a zero-filled
// buffer, taken only when its bytes 240-244 read "PX520".
TableLoad loadDefaultTable(const std::filesystem::path& path, ConfigImage& image);

// What stands at the path when it is there but no regular file: "a FIFO",
// "a directory", "a character device", "a block device", "a socket" or "not a
// regular file". Empty for a regular file or nothing at all. Found without
// opening the path, so it never waits.
std::string_view nonFileNode(const std::filesystem::path& path);

// "NAME is a FIFO, not a table file."
std::string notATableFileText(std::string_view name, std::string_view node);

inline constexpr const char* kDefaultTableName = "default.tbl";
