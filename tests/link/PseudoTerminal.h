#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair: the test plays the board on the master side and the
// port under test opens the slave path.
class PseudoTerminal {
public:
    PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            closeMaster();
            throw std::runtime_error("no pseudo-terminal");
        }
        slavePath_ = ::ptsname(master_);
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    void write(const std::vector<std::uint8_t>& bytes) const {
        if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("master write failed");
        }
    }

    // Reads until `count` bytes are in or a second passes without one.
    std::vector<std::uint8_t> read(std::size_t count) const {
        std::vector<std::uint8_t> bytes;
        std::uint8_t buffer[4096];
        while (bytes.size() < count) {
            pollfd entry{master_, POLLIN, 0};
            if (::poll(&entry, 1, 1000) <= 0) {
                break;
            }
            const ssize_t got =
                ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (got <= 0) {
                break;
            }
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        return bytes;
    }

    // The slave's line settings as the master sees them.
    termios slaveSettings() const {
        termios tio{};
        if (::tcgetattr(master_, &tio) != 0) {
            throw std::runtime_error("tcgetattr on master failed");
        }
        return tio;
    }

    speed_t slaveSpeed() const {
        const termios tio = slaveSettings();
        return cfgetospeed(&tio);
    }

private:
    int master_;
    std::string slavePath_;
};
