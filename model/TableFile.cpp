#include "model/TableFile.h"

#include "model/VersionTag.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

#ifdef _WIN32
// Binary, or the C runtime would turn every byte 0x0A into 0x0D 0x0A.
int openFile(const std::filesystem::path& path, int flags, int mode = 0) {
    return ::_wopen(path.c_str(), flags | O_BINARY, mode);
}
#else
int openFile(const std::filesystem::path& path, int flags, int mode = 0) {
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}
#endif

// Reads up to 256 bytes into a zero-filled buffer; CannotOpen with the
// system's error when the file cannot be opened or read.
TableLoad readLeading(const std::filesystem::path& path, ConfigImage& buffer) {
    const int fd = openFile(path, O_RDONLY);
    if (fd < 0) {
        return {TableStatus::CannotOpen, 0, errno};
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

TableLoad loadTable(const std::filesystem::path& path, ConfigImage& image) {
    ConfigImage buffer{};
    const TableLoad read = readLeading(path, buffer);
    if (read.status == TableStatus::Loaded) {
        std::copy_n(buffer.begin(), read.bytesRead, image.begin());
    }
    return read;
}

TableLoad loadDefaultTable(const std::filesystem::path& path, ConfigImage& image) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return {TableStatus::Missing};
    }
    ConfigImage buffer{};
    const TableLoad read = readLeading(path, buffer);
    if (read.status != TableStatus::Loaded) {
        return read;
    }
    if (!tagNamesModel(buffer)) {
        return {TableStatus::WrongModel, read.bytesRead};
    }
    image = buffer;
    return read;
}
