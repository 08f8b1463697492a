#include "model/TableSave.h"

#include <array>
#include <cerrno>
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

// The bytes after the image in an existing file.
bool readTail(const fs::path& path, std::vector<std::uint8_t>& tail) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::array<std::uint8_t, 4096> chunk{};
    off_t at = static_cast<off_t>(kImageSize);
    bool ok = true;
    while (true) {
        const auto n = ::pread(fd, chunk.data(), chunk.size(), at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) {
            break;
        }
        tail.insert(tail.end(), chunk.begin(), chunk.begin() + n);
        at += n;
    }
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
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
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    if (old != nullptr && !readTail(path, bytes)) {
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
    int error = 0;
    if (!writeAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0 ||
        ::fchmod(fd, mode) != 0) {
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

int saveTableFile(const fs::path& path, const ConfigImage& image) {
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
