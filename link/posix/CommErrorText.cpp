#include "link/CommErrorText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Groups that grant far more than a serial port; a user is never told to join them.
constexpr std::array<std::string_view, 7> kPrivilegedGroups{"root", "wheel", "sudo",  "admin",
                                                            "adm",  "disk",  "shadow"};

std::string groupName(gid_t gid) {
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 4096);
    group entry{};
    group* found = nullptr;
    while (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found != nullptr ? std::string(found->gr_name) : std::to_string(gid);
}

std::string userName(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 4096);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found != nullptr ? std::string(found->pw_name) : std::to_string(uid);
}

// "rw-rw----" of the permission bits.
std::string modeText(mode_t mode) {
    std::string text = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i) {
        if ((mode & (0400U >> i)) == 0) {
            text[static_cast<std::size_t>(i)] = '-';
        }
    }
    return text;
}

// Joining the device's group helps only when that group may read and write
// it, and a privileged group is never the answer.
std::string permissionReason(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        return "You have no permission to use " + device + ".";
    }
    const std::string group = groupName(info.st_gid);
    const bool groupReadsAndWrites = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    const bool privileged =
        info.st_gid == 0 || std::ranges::find(kPrivilegedGroups, group) != kPrivilegedGroups.end();
    if (groupReadsAndWrites && !privileged) {
        return "You have no permission to use " + device +
               ": your user must be a member of the group \"" + group + "\" (sudo usermod -aG " +
               group + " $USER, then log in again).";
    }
    return "You have no permission to use " + device + ": it belongs to user " +
           userName(info.st_uid) + " and group " + group + " with mode " + modeText(info.st_mode) +
           "; ask the administrator for access.";
}

std::string openReason(const std::string& device, int systemError) {
    switch (systemError) {
    case EACCES:
    case EPERM:
        return permissionReason(device);
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

bool isPermissionError(std::uint32_t systemError) {
    return systemError == EACCES || systemError == EPERM;
}

std::string openFailureAdvice(const ECommError& error) {
    if (error.FailCode != CommFail::Open || error.Device.empty()) {
        return {};
    }
    return openReason(error.Device, static_cast<int>(error.SystemError));
}

std::string commErrorReason(const ECommError& error) {
    const int systemError = static_cast<int>(error.SystemError);
    if (std::string advice = openFailureAdvice(error); !advice.empty()) {
        return advice;
    }
    if (systemError == 0) {
        return {};
    }
    const std::string prefix = error.Device.empty() ? std::string{} : error.Device + ": ";
    return prefix + std::strerror(systemError) + ".";
}
