#include "cli/TableFiles.h"

#include "model/TableFile.h"
#include "rules/DisplayPass.h"

#include <filesystem>
#include <iostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

bool replaceWith(const std::string& path, const ConfigImage& image) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    const bool ready = ::fchmod(fd, modeFor(path)) == 0;
    ::close(fd);
    if (ready && saveTable(temp, image) && syncPath(temp, O_RDONLY) &&
        ::rename(temp.c_str(), path.c_str()) == 0) {
        const auto dir = std::filesystem::path(path).parent_path();
        syncPath(dir.empty() ? "." : dir.string(), O_RDONLY | O_DIRECTORY);
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

} // namespace

std::optional<OpenedTable> openTable(const std::string& path, bool whole) {
    ConfigImage image{};
    const TableLoad load = loadTable(path, image);
    if (load.status != TableStatus::Loaded) {
        std::cerr << "Open Error! (" << path << ")\n";
        return std::nullopt;
    }
    if (load.bytesRead < image.size() && whole) {
        std::cerr << "px520-cli: " << path << " holds only " << load.bytesRead
                  << " bytes, not a whole configuration of " << image.size()
                  << "; nothing was written.\n";
        return std::nullopt;
    }
    if (load.bytesRead < image.size()) {
        std::cerr << "px520-cli: " << path << " holds only " << load.bytesRead
                  << " bytes; the rest is taken as 00.\n";
    }
    OpenedTable opened{image, image};
    applyDisplayPass(opened.image);
    return opened;
}

bool saveTableAtomically(const std::string& path, const ConfigImage& image) {
    if (!replaceWith(path, image)) {
        std::cerr << "Save Error! (" << path << ")\n";
        return false;
    }
    return true;
}
