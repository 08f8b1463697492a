#include "model/TableSave.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The path of the file a chain of links that names nothing yet would create.
fs::path finalTarget(fs::path path, int& error) {
    constexpr int kMostLinks = 40; // as the kernel allows
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.value();
            return {};
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    error = ELOOP;
    return {};
}

// Writes all of data from the descriptor's position (a device or FIFO has
// no other); false with errno set.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const auto n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
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

// Closes the descriptor it holds.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Copies [from, to) of one file to the same place in the other, a buffer at
// a time; false with errno set.
bool copyRange(int in, int out, off_t from, off_t to, std::span<std::uint8_t> buffer) {
    while (from < to) {
        const auto want =
            static_cast<std::size_t>(std::min<off_t>(to - from, static_cast<off_t>(buffer.size())));
        const auto n = ::pread(in, buffer.data(), want, from);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A file that shrank meanwhile ends where it ends.
            return n == 0;
        }
        if (::lseek(out, from, SEEK_SET) < 0 ||
            !writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
            return false;
        }
        from += n;
    }
    return true;
}

// The bytes after the image, from the old file into the new one: only the
// extents that hold data are copied, so a hole stays a hole and a long file
// costs one buffer of memory; the length is set last, for a trailing hole.
// 0 or the errno of the step that failed.
int copyTail(int in, int out) {
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        return errno;
    }
    const off_t size = st.st_size;
    std::vector<std::uint8_t> buffer(std::size_t{1} << 16);
    for (off_t at = static_cast<off_t>(kImageSize); at < size;) {
        const off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO) {
            break; // a hole up to the end
        }
        const off_t hole = data < 0 ? -1 : ::lseek(in, data, SEEK_HOLE);
        if (hole < 0) {
            return errno;
        }
        if (!copyRange(in, out, data, std::min(hole, size), buffer)) {
            return errno;
        }
        at = hole;
    }
    if (size > static_cast<off_t>(kImageSize) && ::ftruncate(out, size) != 0) {
        return errno;
    }
    return 0;
}

// Writes the image over the start of a file that stays where it is.
int writeInPlace(const fs::path& path, const ConfigImage& image) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = writeAll(fd, image.data(), image.size()) ? 0 : errno;
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

void syncFolder(const fs::path& file) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A new file beside path that takes its place by rename once it is whole.
int replaceFile(const fs::path& path, const ConfigImage& image, const struct stat* old) {
    // The old file stays open while its tail is copied.
    const Descriptor oldFile(old != nullptr ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1);
    if (old != nullptr && oldFile.get() < 0) {
        return errno;
    }
    std::string temp = path.string() + ".XXXXXX";
    // Made owner-writable whatever the umask; its mode is set once it is written.
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return errno;
    }
    mode_t mode = 0;
    if (old != nullptr) {
        mode = old->st_mode & 01777;
        // Root may keep the owner; others keep the group where they belong to it.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), old->st_gid));
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int error = writeAll(fd, image.data(), image.size()) ? 0 : errno;
    if (error == 0 && old != nullptr) {
        error = copyTail(oldFile.get(), fd);
    }
    if (error == 0 && (::fsync(fd) != 0 || ::fchmod(fd, mode) != 0)) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }
    syncFolder(path);
    return 0;
}

} // namespace

int saveTableFile(const fs::path& path, const ConfigImage& image, TableSource source) {
    if (source == TableSource::RegularFile && !nonFileNode(path).empty()) {
        std::error_code ec;
        return fs::is_directory(path, ec) ? EISDIR : EINVAL;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            return errno;
        }
        // Nothing there yet, perhaps behind a link: the file is made where
        // the links lead.
        int error = 0;
        const fs::path target = finalTarget(path, error);
        return error != 0 ? error : replaceFile(target, image, nullptr);
    }
    if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    }
    // The rename would go around the file's own protection; the effective
    // IDs decide, so root writes it as cp does.
    if (S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        return errno == EACCES ? kTableReadOnly : errno;
    }
    if (!S_ISREG(st.st_mode) || st.st_nlink > 1) {
        return writeInPlace(path, image);
    }
    // The file itself, wherever links (/dev/stdout's too) lead.
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    if (ec) {
        return ec.value();
    }
    return replaceFile(target, image, &st);
}
