#include "model/TableSave.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Binary, or the C runtime would turn every byte 0x0A into 0x0D 0x0A.
int openFile(const fs::path& path, int flags, int mode = 0) {
    return ::_wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, mode);
}

// Closes fd and gives the first error of the two, or 0.
int closeKeeping(int fd, int error) {
    if (::_close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// false with errno set.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const int n = ::_write(fd, data + done, static_cast<unsigned>(size - done));
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The bytes after the image, from the old file into the new one a buffer at
// a time, so a long file costs one buffer of memory.
int copyTail(const fs::path& path, int out) {
    const int fd = openFile(path, _O_RDONLY);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (::_lseeki64(fd, static_cast<__int64>(kImageSize), SEEK_SET) < 0) {
        error = errno;
    }
    std::vector<std::uint8_t> buffer(std::size_t{1} << 16);
    while (error == 0) {
        const int n = ::_read(fd, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) {
            error = errno;
        }
        if (n <= 0) {
            break;
        }
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
            error = errno;
        }
    }
    return closeKeeping(fd, error);
}

// Writes the image over the start of what stays where it is.
int writeInPlace(const fs::path& path, const ConfigImage& image) {
    const int fd = openFile(path, _O_WRONLY);
    if (fd < 0) {
        return errno;
    }
    const int error = writeAll(fd, image.data(), image.size()) ? 0 : errno;
    return closeKeeping(fd, error);
}

// A new file beside path takes its place (MoveFileEx, replacing) once it is
// whole and on the disk.
int replaceFile(const fs::path& path, const ConfigImage& image, bool exists) {
    fs::path temp = path;
    temp += ".partial-" + std::to_string(::_getpid());
    const int fd = openFile(temp, _O_WRONLY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return errno;
    }
    int error = writeAll(fd, image.data(), image.size()) ? 0 : errno;
    if (error == 0 && exists) {
        error = copyTail(path, fd);
    }
    if (error == 0 && ::_commit(fd) != 0) {
        error = errno;
    }
    error = closeKeeping(fd, error);
    if (error == 0) {
        std::error_code ec;
        fs::rename(temp, path, ec);
        error = ec ? ec.default_error_condition().value() : 0;
    }
    if (error != 0) {
        std::error_code ignored;
        fs::remove(temp, ignored);
    }
    return error;
}

} // namespace

int saveTableFile(const fs::path& path, const ConfigImage& image, TableSource source) {
    if (source == TableSource::RegularFile && !nonFileNode(path).empty()) {
        std::error_code ec;
        return fs::is_directory(path, ec) ? EISDIR : EINVAL;
    }
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        // The file the link names is written; the link stays.
        target = fs::weakly_canonical(path, ec);
        if (ec) {
            return ec.default_error_condition().value();
        }
    }
    const fs::file_status status = fs::status(target, ec);
    if (fs::is_directory(status)) {
        return EISDIR;
    }
    if (!fs::exists(status)) {
        return replaceFile(target, image, false);
    }
    // The read-only attribute binds every user, administrators too.
    if (fs::is_regular_file(status) && ::_waccess(target.c_str(), 2) != 0) {
        return errno == EACCES ? kTableReadOnly : errno;
    }
    // A device (NUL, COM3) or a file with other names is written in place.
    if (!fs::is_regular_file(status) || fs::hard_link_count(target, ec) > 1) {
        return writeInPlace(target, image);
    }
    return replaceFile(target, image, true);
}
