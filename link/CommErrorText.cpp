#include "link/CommErrorText.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The group that owns the device, which grants access to it.
std::string deviceGroup(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        return {};
    }
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 4096);
    group entry{};
    group* found = nullptr;
    while (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found != nullptr ? std::string(found->gr_name) : std::to_string(info.st_gid);
}

std::string openReason(const std::string& device, int systemError) {
    switch (systemError) {
    case EACCES:
    case EPERM: {
        const std::string group = deviceGroup(device);
        if (group.empty()) {
            return "You have no permission to use " + device + ".";
        }
        return "You have no permission to use " + device +
               ": your user must be a member of the group \"" + group + "\" (sudo usermod -aG " +
               group + " $USER, then log in again).";
    }
    case EBUSY:
    case EWOULDBLOCK:
        return device + " is in use by another program.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return device + " does not exist or its adapter is unplugged.";
    default:
        return {};
    }
}

} // namespace

std::string commErrorReason(const ECommError& error) {
    const int systemError = static_cast<int>(error.SystemError);
    if (error.FailCode == CommFail::Open && !error.Device.empty()) {
        if (std::string reason = openReason(error.Device, systemError); !reason.empty()) {
            return reason;
        }
    }
    if (systemError == 0) {
        return {};
    }
    const std::string prefix = error.Device.empty() ? std::string{} : error.Device + ": ";
    return prefix + std::strerror(systemError) + ".";
}
