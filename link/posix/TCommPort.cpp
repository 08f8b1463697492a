#include "link/TCommPort.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <linux/serial.h>
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

int pollMilliseconds(Clock::duration wait) {
    return static_cast<int>(
        std::max<std::int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
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

bool TCommPort::isOpen() const {
    return fd_ >= 0;
}

bool TCommPort::lineRunsAt(int baud) {
    return speedFor(baud).has_value();
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
        requestLowLatency();
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

// A USB serial adapter holds received bytes until its buffer fills or its
// latency timer runs out (16 ms by default), which every exchange would wait
// for. Asked of the driver, not demanded: a pseudo-terminal or a driver
// without the flag refuses, and the line works as before.
void TCommPort::requestLowLatency() noexcept {
    constexpr std::chrono::milliseconds kLowLatency{1};
    constexpr std::chrono::milliseconds kDefaultLatency{16};
    adapterLatency_ = std::chrono::microseconds::zero();
    serial_struct serial{};
    if (::ioctl(fd_, TIOCGSERIAL, &serial) != 0) {
        return; // no serial driver: a pseudo-terminal passes bytes on as they come
    }
    adapterLatency_ = kLowLatency;
    if ((serial.flags & ASYNC_LOW_LATENCY) != 0) {
        return;
    }
    const int original = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd_, TIOCSSERIAL, &serial) == 0) {
        savedSerialFlags_ = original;
    } else {
        adapterLatency_ = kDefaultLatency;
    }
}

std::chrono::microseconds TCommPort::adapterLatency() const {
    return adapterLatency_;
}

// Best effort: a line that has gone away cannot take its settings back, and
// the close must happen all the same.
void TCommPort::restoreSettings() noexcept {
    if (savedSerialFlags_) {
        serial_struct serial{};
        if (::ioctl(fd_, TIOCGSERIAL, &serial) == 0) {
            serial.flags = *savedSerialFlags_;
            ::ioctl(fd_, TIOCSSERIAL, &serial);
        }
        savedSerialFlags_.reset();
    }
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

void TCommPort::takeLine(TCommPort& other) noexcept {
    fd_ = std::exchange(other.fd_, -1);
    saved_ = std::exchange(other.saved_, std::nullopt);
    savedSerialFlags_ = std::exchange(other.savedSerialFlags_, std::nullopt);
    adapterLatency_ = other.adapterLatency_;
}

void TCommPort::waitForInput(Clock::duration wait) {
    TCommPort* const self = this;
    waitForAny(std::span(&self, 1), wait);
}

void TCommPort::waitForAny(std::span<TCommPort* const> ports, Clock::duration wait) {
    const auto until = Clock::now() + wait;
    std::vector<pollfd> entries;
    for (const TCommPort* port : ports) {
        entries.push_back({port->fd_, POLLIN, 0});
    }
    const int ready = ::poll(entries.data(), entries.size(), pollMilliseconds(wait));
    const bool dataCame = std::ranges::any_of(
        entries, [](const pollfd& entry) { return (entry.revents & POLLIN) != 0; });
    if (ready > 0 && !dataCame) {
        // Hang-up or error without data: poll would return at once again, so
        // the caller would spin; the rest of the wait is slept instead.
        std::this_thread::sleep_until(until);
    }
}
