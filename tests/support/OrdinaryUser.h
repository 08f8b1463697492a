#pragma once

// File permissions as an ordinary user sees them, for a test that runs as
// root (as CI does): while it lives, the process's effective user and group
// become nobody's. Root gets them back at the end. For anyone else it
// changes nothing.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

class OrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;

    OrdinaryUser() : root(::geteuid() == 0) {
        if (root && ::setegid(kNobody) != 0) {
            root = false;
        } else if (root && ::seteuid(kNobody) != 0) {
            static_cast<void>(::setegid(0));
            root = false;
        }
    }
    ~OrdinaryUser() {
        if (root) {
            static_cast<void>(::seteuid(0));
            static_cast<void>(::setegid(0));
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

    // Makes the path the ordinary user's own (needs root; a no-op otherwise).
    static void give(const std::filesystem::path& path) {
        if (::geteuid() == 0) {
            static_cast<void>(::chown(path.c_str(), kNobody, kNobody));
        }
    }

private:
    bool root;
};
