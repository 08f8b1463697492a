#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <system_error>

#include <unistd.h>

// A file of a fuzz input's bytes that is removed with it; name tells the
// files of one input apart.
class InputFile {
public:
    InputFile(std::span<const std::uint8_t> bytes, const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("px520-fuzz-" + std::to_string(::getpid()) + "-" + name)) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    ~InputFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
