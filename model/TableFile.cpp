#include "model/TableFile.h"

#include "model/VersionTag.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads up to 256 bytes into a zero-filled buffer; nullopt when unreadable.
std::optional<TableLoad> readLeading(const std::filesystem::path& path, ConfigImage& buffer) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    buffer.fill(0);
    in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    if (in.bad()) {
        return std::nullopt;
    }
    return TableLoad{TableStatus::Loaded, static_cast<std::size_t>(in.gcount())};
}

} // namespace

TableLoad loadTable(const std::filesystem::path& path, ConfigImage& image) {
    ConfigImage buffer{};
    const auto read = readLeading(path, buffer);
    if (!read) {
        return {TableStatus::CannotOpen};
    }
    std::copy_n(buffer.begin(), read->bytesRead, image.begin());
    return *read;
}

bool saveTable(const std::filesystem::path& path, const ConfigImage& image) {
    // Create when missing, never truncate: a longer file keeps its tail.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < image.size()) {
        const auto n = ::pwrite(fd, image.data() + done, image.size() - done,
                                static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool closed = ::close(fd) == 0;
    return done == image.size() && closed;
}

TableLoad loadDefaultTable(const std::filesystem::path& path, ConfigImage& image) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return {TableStatus::Missing};
    }
    ConfigImage buffer{};
    const auto read = readLeading(path, buffer);
    if (!read) {
        return {TableStatus::CannotOpen};
    }
    if (!tagNamesModel(buffer)) {
        return {TableStatus::WrongModel, read->bytesRead};
    }
    image = buffer;
    return *read;
}
