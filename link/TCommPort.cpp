#include "link/TCommPort.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct SpeedEntry {
    int baud;
    speed_t speed;
};

constexpr std::array speedTable{
    SpeedEntry{50, B50},         SpeedEntry{75, B75},         SpeedEntry{110, B110},
    SpeedEntry{134, B134},       SpeedEntry{150, B150},       SpeedEntry{200, B200},
    SpeedEntry{300, B300},       SpeedEntry{600, B600},       SpeedEntry{1200, B1200},
    SpeedEntry{1800, B1800},     SpeedEntry{2400, B2400},     SpeedEntry{4800, B4800},
    SpeedEntry{9600, B9600},     SpeedEntry{19200, B19200},   SpeedEntry{38400, B38400},
    SpeedEntry{57600, B57600},   SpeedEntry{115200, B115200}, SpeedEntry{230400, B230400},
#ifdef B460800
    SpeedEntry{460800, B460800},
#endif
#ifdef B921600
    SpeedEntry{921600, B921600},
#endif
};

std::optional<speed_t> speedFor(int baud) {
    for (const auto& entry : speedTable) {
        if (entry.baud == baud) {
            return entry.speed;
        }
    }
    return std::nullopt;
}

// Raw bytes, no flow control of any kind, reads that never block.
void setLine(termios& tio, speed_t speed, int dataBits, bool parityEven, int stopBits) {
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | (dataBits == 7 ? CS7 : CS8);
    if (parityEven) {
        tio.c_cflag |= PARENB;
    }
    if (stopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
}

// tcsetattr succeeds when any part of the request was taken; check the part
// the board depends on.
bool lineMatches(const termios& wanted, const termios& actual) {
    constexpr tcflag_t frame = CSIZE | PARENB | CSTOPB | CRTSCTS;
    return (wanted.c_cflag & frame) == (actual.c_cflag & frame) &&
           cfgetispeed(&wanted) == cfgetispeed(&actual) &&
           cfgetospeed(&wanted) == cfgetospeed(&actual);
}

// 0 when the descriptor is ready for `events`, otherwise why it will not be.
int waitReady(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return ETIMEDOUT;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (ready == 0) {
            return ETIMEDOUT;
        }
        // Called only after the descriptor gave nothing: a hang-up or error
        // now means the line is gone, even when poll calls it readable.
        if ((entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return EIO;
        }
        return 0;
    }
}

} // namespace

TCommPort::~TCommPort() {
    try {
        closeDevice();
    } catch (const ECommError&) {
        // The descriptor is released either way; nobody is left to tell.
    }
}

void TCommPort::fail(CommFail code, int systemError) const {
    throw ECommError(code, systemError, devicePath());
}

void TCommPort::reopen(int baud, const std::string& name, int frameMode) {
    dataBits_ = frameMode == 0 ? 7 : 8;
    parityEven_ = frameMode == 0;
    stopBits_ = frameMode == 1 ? 1 : 2;
    closeDevice();
    setBaud(baud);
    setPortName(name);
    openDevice();
}

void TCommPort::setBaud(int baud) {
    if (!speedFor(baud)) {
        fail(CommFail::SetBaud, EINVAL);
    }
    const int previous = std::exchange(baud_, baud);
    if (!isOpen()) {
        return;
    }
    try {
        applySettings(baud);
    } catch (const ECommError& error) {
        baud_ = previous;
        fail(CommFail::SetBaud, static_cast<int>(error.SystemError));
    }
}

void TCommPort::setPortName(const std::string& name) {
    if (isOpen()) {
        fail(CommFail::SetPortName, 0);
    }
    portName_ = name;
}

std::string TCommPort::devicePath() const {
    if (portName_.starts_with('/')) {
        return portName_;
    }
    return "/dev/" + portName_;
}

void TCommPort::applySettings(int baud) const {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        fail(CommFail::GetSettings, errno);
    }
    setLine(tio, *speedFor(baud), dataBits_, parityEven_, stopBits_);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        fail(CommFail::SetSettings, errno);
    }
    termios applied{};
    if (::tcgetattr(fd_, &applied) != 0) {
        fail(CommFail::SetSettings, errno);
    }
    if (!lineMatches(tio, applied)) {
        fail(CommFail::SetSettings, EINVAL);
    }
}

void TCommPort::openDevice() {
    if (isOpen()) {
        return;
    }
    const int fd = ::open(devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(CommFail::Open, errno);
    }
    // An advisory lock keeps other users out, root included, and dies with
    // its process; the tty's exclusive flag would outlive a killed holder.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        fail(CommFail::Open, error);
    }
    fd_ = fd;
    try {
        // Put back at close: the device may be a terminal or a port another
        // program set up.
        termios original{};
        if (::tcgetattr(fd_, &original) != 0) {
            fail(CommFail::GetSettings, errno);
        }
        saved_ = original;
        applySettings(baud_);
        int lines = TIOCM_DTR | TIOCM_RTS;
        // A pseudo-terminal has no modem lines.
        if (::ioctl(fd_, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
            fail(CommFail::SetSettings, errno);
        }
    } catch (const ECommError&) {
        restoreSettings();
        ::close(std::exchange(fd_, -1));
        throw;
    }
}

// Best effort: a line that has gone away cannot take its settings back, and
// the close must happen all the same.
void TCommPort::restoreSettings() noexcept {
    if (saved_) {
        ::tcsetattr(fd_, TCSANOW, &*saved_);
        saved_.reset();
    }
}

void TCommPort::closeDevice() {
    if (!isOpen()) {
        return;
    }
    restoreSettings();
    // close() releases the descriptor even when it reports an error; keeping
    // the number would later act on whatever file reuses it.
    if (::close(std::exchange(fd_, -1)) != 0) {
        fail(CommFail::Close, errno);
    }
}

bool TCommPort::lineGone() const {
    if (!isOpen()) {
        return false;
    }
    pollfd entry{fd_, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void TCommPort::settle(std::chrono::milliseconds quiet, std::chrono::milliseconds most) {
    const auto end = Clock::now() + most;
    while (isOpen()) {
        purgeQueues();
        const auto deadline = std::min(Clock::now() + quiet, end);
        if (waitReady(fd_, POLLIN, deadline) != 0 || Clock::now() >= end) {
            return;
        }
    }
}

void TCommPort::purgeQueues() {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    if (::tcflush(fd_, TCIFLUSH) != 0 || ::tcflush(fd_, TCOFLUSH) != 0) {
        fail(CommFail::Purge, errno);
    }
}

void TCommPort::sendBytes(std::span<const std::uint8_t> data) {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written > 0) {
            const auto count = static_cast<std::size_t>(written);
            if (trace_) {
                trace_(Direction::Sent, data.first(count));
            }
            data = data.subspan(count);
            deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            fail(CommFail::Send, errno);
        }
        if (const int error = waitReady(fd_, POLLOUT, deadline); error != 0) {
            fail(CommFail::Send, error);
        }
    }
}

std::size_t TCommPort::bytesWaiting() {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0) {
        fail(CommFail::BytesWaiting, errno);
    }
    return static_cast<std::size_t>(count);
}

std::uint8_t TCommPort::readByte() {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::uint8_t byte = 0;
        const ssize_t got = ::read(fd_, &byte, 1);
        if (got == 1) {
            if (trace_) {
                trace_(Direction::Received, std::span<const std::uint8_t>(&byte, 1));
            }
            return byte;
        }
        // A raw line with VMIN 0 answers 0 rather than EAGAIN when empty.
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            fail(CommFail::Read, errno);
        }
        if (const int error = waitReady(fd_, POLLIN, deadline); error != 0) {
            fail(CommFail::Read, error);
        }
    }
}

void TCommPort::takeOver(TCommPort& other) {
    if (&other == this) {
        return;
    }
    closeDevice();
    fd_ = std::exchange(other.fd_, -1);
    saved_ = std::exchange(other.saved_, std::nullopt);
    portName_ = other.portName_;
    baud_ = other.baud_;
    dataBits_ = other.dataBits_;
    parityEven_ = other.parityEven_;
    stopBits_ = other.stopBits_;
}
