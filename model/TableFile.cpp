#include "model/TableFile.h"

#include "model/VersionTag.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// Binary, or the C runtime would turn every byte 0x0A into 0x0D 0x0A.
int openFile(const fs::path& path, int flags) {
    return ::_wopen(path.c_str(), flags | O_BINARY);
}
constexpr int kNeverWait = 0;
#else
int openFile(const fs::path& path, int flags) {
    return ::open(path.c_str(), flags | O_CLOEXEC);
}
// A FIFO that became one after it was looked at opens at once, and a device
// does not wait for its line.
constexpr int kNeverWait = O_NONBLOCK | O_NOCTTY;
#endif

std::string_view nodeName(fs::file_type type) {
    switch (type) {
    case fs::file_type::fifo:
        return "a FIFO";
    case fs::file_type::directory:
        return "a directory";
    case fs::file_type::character:
        return "a character device";
    case fs::file_type::block:
        return "a block device";
    case fs::file_type::socket:
        return "a socket";
    default:
        return "a special file";
    }
}

// What the open descriptor is when it is no regular file; empty for one.
std::string_view nonFileNodeOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode)) {
        return {};
    }
    if (S_ISDIR(st.st_mode)) {
        return nodeName(fs::file_type::directory);
    }
    if (S_ISCHR(st.st_mode)) {
        return nodeName(fs::file_type::character);
    }
#ifndef _WIN32
    if (S_ISFIFO(st.st_mode)) {
        return nodeName(fs::file_type::fifo);
    }
    if (S_ISBLK(st.st_mode)) {
        return nodeName(fs::file_type::block);
    }
    if (S_ISSOCK(st.st_mode)) {
        return nodeName(fs::file_type::socket);
    }
#endif
    return nodeName(fs::file_type::unknown);
}

// Reads up to 256 bytes into a zero-filled buffer; CannotOpen with the
// system's error when the file cannot be opened or read.
TableLoad readLeading(const fs::path& path, ConfigImage& buffer, TableSource source) {
    const bool regularOnly = source == TableSource::RegularFile;
    if (const std::string_view node = regularOnly ? nonFileNode(path) : std::string_view{};
        !node.empty()) {
        return {TableStatus::NotAFile, 0, 0, node};
    }
    const int fd = openFile(path, O_RDONLY | (regularOnly ? kNeverWait : 0));
    if (fd < 0) {
        return {TableStatus::CannotOpen, 0, errno};
    }
    if (const std::string_view node = regularOnly ? nonFileNodeOf(fd) : std::string_view{};
        !node.empty()) {
        ::close(fd);
        return {TableStatus::NotAFile, 0, 0, node};
    }
    buffer.fill(0);
    std::size_t done = 0;
    int error = 0;
    while (done < buffer.size()) {
        const auto n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = errno; // EISDIR for a folder
            break;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error != 0) {
        return {TableStatus::CannotOpen, 0, error};
    }
    return {TableStatus::Loaded, done};
}

} // namespace

TableLoad loadTable(const fs::path& path, ConfigImage& image, TableSource source) {
    ConfigImage buffer{};
    const TableLoad read = readLeading(path, buffer, source);
    if (read.status == TableStatus::Loaded) {
        std::copy_n(buffer.begin(), read.bytesRead, image.begin());
    }
    return read;
}

TableLoad loadDefaultTable(const fs::path& path, ConfigImage& image) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return {TableStatus::Missing};
    }
    ConfigImage buffer{};
    const TableLoad read = readLeading(path, buffer, TableSource::RegularFile);
    if (read.status != TableStatus::Loaded) {
        return read;
    }
    if (!tagNamesModel(buffer)) {
        return {TableStatus::WrongModel, read.bytesRead};
    }
    image = buffer;
    return read;
}

std::string_view nonFileNode(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || status.type() == fs::file_type::regular ||
        status.type() == fs::file_type::not_found) {
        return {};
    }
    return nodeName(status.type());
}

std::string notATableFileText(std::string_view name, std::string_view node) {
    return std::string(name) + " is " + std::string(node) + ", not a table file.";
}
