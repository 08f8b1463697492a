#include "cli/TableFiles.h"

#include "cli/Diagnostics.h"
#include "model/TableFile.h"
#include "rules/DisplayPass.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// 0 when path holds the image, otherwise the errno of the step that failed.
// A file of this process beside the target takes the bytes, and a rename
// (MoveFileEx with replacing) puts it in the target's place in one step.
int replaceWith(const std::string& path, const ConfigImage& image) {
    const std::filesystem::path target(path);
    std::filesystem::path temp = target;
    temp += ".partial-" + std::to_string(::_getpid());
    std::error_code error;
    if (saveTable(temp, image)) {
        std::filesystem::rename(temp, target, error);
        if (!error) {
            return 0;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    const int reason = error ? error.default_error_condition().value() : errno;
    return reason != 0 ? reason : EIO;
}
#else

// The mode a new file would get, or the mode of the file being replaced.
mode_t modeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// 0 when path holds the image, otherwise the errno of the step that failed.
int replaceWith(const std::string& path, const ConfigImage& image) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return errno;
    }
    const bool ready = ::fchmod(fd, modeFor(path)) == 0;
    int error = ready ? 0 : errno;
    ::close(fd);
    if (ready && saveTable(temp, image) && syncPath(temp, O_RDONLY) &&
        ::rename(temp.c_str(), path.c_str()) == 0) {
        const auto dir = std::filesystem::path(path).parent_path();
        syncPath(dir.empty() ? "." : dir.string(), O_RDONLY | O_DIRECTORY);
        return 0;
    }
    if (error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    ::unlink(temp.c_str());
    return error;
}
#endif

} // namespace

std::optional<OpenedTable> openTable(const std::string& path, bool whole) {
    ConfigImage image{};
    const TableLoad load = loadTable(path, image);
    if (load.status != TableStatus::Loaded) {
        report(withSystemReason("cannot open " + path, load.systemError));
        return std::nullopt;
    }
    const std::string holds = path + " holds only " + std::to_string(load.bytesRead) + " bytes";
    if (load.bytesRead < image.size() && whole) {
        report(holds + ", not a whole configuration of " + std::to_string(image.size()) +
               "; nothing was written.");
        return std::nullopt;
    }
    if (load.bytesRead < image.size()) {
        report(holds + "; the rest is taken as 00.");
    }
    OpenedTable opened{image, image};
    applyDisplayPass(opened.image);
    return opened;
}

bool saveTableAtomically(const std::string& path, const ConfigImage& image) {
    if (const int error = replaceWith(path, image); error != 0) {
        report(withSystemReason("cannot save " + path, error));
        return false;
    }
    return true;
}
