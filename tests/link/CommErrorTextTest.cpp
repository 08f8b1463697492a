#include "link/CommErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>

namespace {

TEST(CommErrorText, RefusedAccessNamesTheDeviceAndItsGroup) {
    const auto device = std::filesystem::temp_directory_path() / "px520-no-access";
    std::ofstream(device).put('x');
    struct stat info {};
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    const std::string group = owner != nullptr ? owner->gr_name : std::to_string(info.st_gid);

    const std::string reason = commErrorReason(ECommError(CommFail::Open, EACCES, device));
    std::filesystem::remove(device);
    EXPECT_NE(reason.find(device.string()), std::string::npos) << reason;
    EXPECT_NE(reason.find("member of the group \"" + group + "\""), std::string::npos) << reason;
}

TEST(CommErrorText, EachFailureGetsItsReason) {
    struct Case {
        CommFail code;
        int systemError;
        const char* reason;
    };
    for (const auto& [code, systemError, reason] : {
             Case{CommFail::Open, EWOULDBLOCK, "/dev/ttyUSB0 is in use by another program."},
             Case{CommFail::Open, EBUSY, "/dev/ttyUSB0 is in use by another program."},
             Case{CommFail::Open, ENOENT,
                  "/dev/ttyUSB0 does not exist or its adapter is unplugged."},
             Case{CommFail::Read, EIO, "/dev/ttyUSB0: Input/output error."},
             Case{CommFail::NotOpen, 0, ""},
         }) {
        SCOPED_TRACE(systemError);
        EXPECT_EQ(commErrorReason(ECommError(code, systemError, "/dev/ttyUSB0")), reason);
    }
}

} // namespace
