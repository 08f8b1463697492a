#include "link/CommErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The group is named only when joining it gives access, and never when it
// is a privileged one; otherwise the owner and mode are.
TEST(CommErrorText, RefusedAccessNamesAGroupOnlyWhenJoiningItHelps) {
    const group* dialout = ::getgrnam("dialout");
    if (dialout == nullptr) {
        GTEST_SKIP() << "no dialout group here";
    }
    struct Case {
        gid_t gid;
        mode_t mode;
        bool hint;
    };
    const auto device = std::filesystem::temp_directory_path() / "px520-no-access";
    for (const auto& [gid, mode, hint] : {Case{dialout->gr_gid, 0660, true},
                                          Case{dialout->gr_gid, 0640, false},
                                          Case{0, 0660, false}}) {
        SCOPED_TRACE(testing::Message() << gid << " " << std::oct << mode);
        std::ofstream(device).put('x');
        if (::chown(device.c_str(), static_cast<uid_t>(-1), gid) != 0) {
            std::filesystem::remove(device);
            GTEST_SKIP() << "cannot give a file to another group without privilege";
        }
        ASSERT_EQ(::chmod(device.c_str(), mode), 0);
        const std::string reason = commErrorReason(ECommError(CommFail::Open, EACCES, device));
        std::filesystem::remove(device);
        EXPECT_NE(reason.find(device.string()), std::string::npos) << reason;
        const std::string name = gid == 0 ? "root" : "dialout";
        EXPECT_EQ(reason.find("member of the group \"" + name + "\"") != std::string::npos, hint)
            << reason;
        if (!hint) {
            EXPECT_NE(reason.find("group " + name + " with mode rw-"), std::string::npos)
                << reason;
        }
    }
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
