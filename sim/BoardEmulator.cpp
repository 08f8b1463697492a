#include "sim/BoardEmulator.h"

#include "link/Protocol.h"
#include "model/ByteMap.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How often a closed slave side is looked at again for the tool's next open.
constexpr int kReopenCheckMs = 2;
// How long a reply may wait for room in the line before it is dropped.
constexpr int kWriteRoomMs = 1000;
constexpr std::uint8_t kRefusal = 0x15;

[[noreturn]] void systemFailure(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

std::uint8_t noise(std::size_t i) {
    return static_cast<std::uint8_t>(i * 37 + 11);
}

} // namespace

BoardEmulator::BoardEmulator() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        systemFailure("posix_openpt");
    }
    std::array<char, 128> name{};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0) {
        const int error = errno;
        ::close(master_);
        errno = error;
        systemFailure("pseudo-terminal");
    }
    slavePath_ = name.data();
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) {
        const int error = errno;
        ::close(master_);
        errno = error;
        systemFailure("eventfd");
    }
}

BoardEmulator::~BoardEmulator() {
    stop();
    closeMaster();
    ::close(wake_);
}

void BoardEmulator::start() {
    if (thread_.joinable()) {
        return;
    }
    rearm();
    thread_ = std::thread([this] { serve(-1); });
}

void BoardEmulator::stop() {
    stopping_ = true;
    const std::uint64_t one = 1;
    // The counter only grows; a full counter still wakes the poll.
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BoardEmulator::run(int stopDescriptor) {
    rearm();
    serve(stopDescriptor);
}

// An earlier stop() left the wake counter set; serving again must not end at
// its first poll.
void BoardEmulator::rearm() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto drained = ::read(wake_, &count, sizeof count);
    stopping_ = false;
}

void BoardEmulator::serve(int stopDescriptor) {
    // While the tool has the port closed, read() on the master fails with EIO
    // and poll() reports a hang-up at once: look again a little later.
    bool slaveGone = false;
    std::array<std::uint8_t, 4096> buffer{};
    while (!stopping() && master_ >= 0) {
        std::array<pollfd, 3> fds{pollfd{wake_, POLLIN, 0}, pollfd{stopDescriptor, POLLIN, 0},
                                  pollfd{slaveGone ? -1 : master_, POLLIN, 0}};
        const int ready = ::poll(fds.data(), fds.size(), slaveGone ? kReopenCheckMs : -1);
        if (ready < 0 && errno != EINTR) {
            systemFailure("poll");
        }
        if (fds[0].revents != 0 || fds[1].revents != 0) {
            return;
        }
        if (slaveGone) {
            slaveGone = false;
            continue;
        }
        if ((fds[2].revents & POLLIN) != 0) {
            const auto arrival = Clock::now();
            const ssize_t got = ::read(master_, buffer.data(), buffer.size());
            if (got > 0) {
                take(std::span(buffer).first(static_cast<std::size_t>(got)), arrival);
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
        } else if ((fds[2].revents & (POLLHUP | POLLERR)) == 0) {
            continue;
        }
        // The tool closed the port: whatever it left half-sent is gone.
        slaveGone = true;
        pending_.clear();
    }
}

void BoardEmulator::take(std::span<const std::uint8_t> bytes, Clock::time_point arrival) {
    if (pending_.empty()) {
        pendingSince_ = arrival;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    {
        const std::lock_guard lock(mutex_);
        bytesReceived_ += bytes.size();
    }
    while (master_ >= 0 && !stopping()) {
        const auto start =
            std::search(pending_.begin(), pending_.end(), kPreamble.begin(), kPreamble.end(),
                        [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
        if (start == pending_.end()) {
            // Keep what could be the beginning of a preamble.
            const auto keep = std::min(pending_.size(), kPreamble.size() - 1);
            pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(keep));
            return;
        }
        pending_.erase(pending_.begin(), start);
        if (pending_.size() < kHeaderSize) {
            return;
        }
        const std::size_t size = kFrameOverhead + pending_[kHeaderSize - 1];
        if (pending_.size() < size) {
            return;
        }
        const auto reply = answer(size);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
        if (reply) {
            // On a real line the board has the whole request only after it
            // went over the wire.
            send(*reply, pendingSince_ + kByteTime * size);
        }
        pendingSince_ = arrival;
    }
}

std::optional<BoardEmulator::Reply> BoardEmulator::answer(std::size_t frameSize) {
    const auto request = std::span(pending_).first(frameSize);
    if (!replySumMatches(request)) {
        return std::nullopt;
    }
    const std::uint8_t target = request[kHeaderSize - 3];
    const std::uint8_t operation = request[kHeaderSize - 2];
    const auto body = request.subspan(kHeaderSize, frameSize - kFrameOverhead);
    const int address = body.size() >= 2 ? body[0] << 8 | body[1] : 0;

    const std::lock_guard lock(mutex_);
    const auto exchange = static_cast<unsigned>(requests_.size() + 1);
    Reply reply;
    // The line dies between exchanges: the next request goes unanswered.
    if (faults_.hangUpAfter != 0 && exchange == faults_.hangUpAfter + 1) {
        requests_.push_back({target, operation, address, body.size()});
        reply.hangUp = true;
        return reply;
    }
    const bool known = target == kTargetPager || target == kTargetBoard;
    if (operation == kOperationRead && body.size() == 3 && known) {
        requests_.push_back({target, operation, address, body[2]});
        reply.bytes = readReply(target, address, body[2]);
    } else if (operation == kOperationStore && target == kTargetPager && body.size() >= 2) {
        const auto data = body.subspan(2);
        requests_.push_back({target, operation, address, data.size()});
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (static_cast<std::size_t>(address) + i < kImageSize) {
                memory_[static_cast<std::size_t>(address) + i] = data[i];
            }
        }
        ++stores_;
        if (stores_ == faults_.badAckStore) {
            reply.bytes = makeFrame(kTargetPager, kOperationStore, std::array{kRefusal});
        } else {
            reply.bytes.assign(kStoreAcknowledgement.begin(), kStoreAcknowledgement.end());
        }
    } else {
        requests_.push_back({target, operation, address, body.size()});
    }

    if (faults_.silent) {
        reply.bytes.clear();
    }
    if (!reply.bytes.empty() && exchange == faults_.badChecksumExchange) {
        ++reply.bytes.back();
    }
    if (exchange == faults_.cutExchange) {
        reply.bytes.resize(std::min(reply.bytes.size(), faults_.cutAfter));
    }
    if (exchange == faults_.garbageExchange) {
        std::vector<std::uint8_t> garbage(faults_.garbageBytes);
        for (std::size_t i = 0; i < garbage.size(); ++i) {
            garbage[i] = noise(i);
        }
        reply.bytes.insert(reply.bytes.begin(), garbage.begin(), garbage.end());
    }
    return reply;
}

std::vector<std::uint8_t> BoardEmulator::readReply(std::uint8_t target, int address,
                                                   std::size_t count) const {
    std::vector<std::uint8_t> data(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(address) + i;
        if (target == kTargetBoard) {
            data[i] = at < boardVersion_.size() ? boardVersion_[at] : 0;
        } else {
            data[i] = at < kImageSize ? memory_[at] : 0xFF;
            if (faults_.differingAddress && at == *faults_.differingAddress) {
                data[i] = static_cast<std::uint8_t>(~data[i]);
            }
        }
    }
    return makeFrame(target, kOperationRead, data);
}

void BoardEmulator::send(const Reply& reply, Clock::time_point requestEnd) {
    if (!reply.bytes.empty() && waitForRawLine()) {
        bool paced = false;
        std::chrono::milliseconds latency{0};
        {
            const std::lock_guard lock(mutex_);
            paced = paced_;
            latency = replyLatency_;
        }
        const auto start = std::max(Clock::now(), requestEnd);
        const std::size_t size = reply.bytes.size();
        // When byte i has gone over the wire from the board.
        const auto arrival = [&](std::size_t i) {
            return paced ? start + kByteTime * static_cast<std::int64_t>(i + 1) : start;
        };
        std::size_t index = 0;
        while (index < size && !stopping()) {
            std::size_t end = paced ? index + 1 : size;
            auto release = arrival(end - 1);
            if (latency.count() > 0) {
                // A USB adapter passes its bytes on when its buffer is full or
                // when the latency timer, started by the first, runs out.
                const auto first = arrival(index);
                end = index + 1;
                while (end < size && end - index < kAdapterBuffer &&
                       arrival(end) <= first + latency) {
                    ++end;
                }
                release = end - index == kAdapterBuffer ? arrival(end - 1) : first + latency;
            }
            std::this_thread::sleep_until(release);
            if (!writeAll(std::span(reply.bytes).subspan(index, end - index))) {
                break; // the tool closed the port; the reply is lost with it
            }
            index = end;
        }
    }
    if (reply.hangUp) {
        hungUp_ = true;
        closeMaster();
    }
}

bool BoardEmulator::writeAll(std::span<const std::uint8_t> left) {
    while (!left.empty() && !stopping()) {
        const ssize_t written = ::write(master_, left.data(), left.size());
        if (written > 0) {
            left = left.subspan(static_cast<std::size_t>(written));
            const std::lock_guard lock(mutex_);
            bytesSent_ += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        pollfd room{master_, POLLOUT, 0};
        if (written == 0 || errno != EAGAIN || ::poll(&room, 1, kWriteRoomMs) <= 0) {
            return false;
        }
    }
    return left.empty();
}

// A fresh slave echoes and collects lines; writing then would send the reply
// back to the board and hold it from the tool.
bool BoardEmulator::waitForRawLine() const {
    for (;;) {
        termios line{};
        if (::tcgetattr(master_, &line) == 0 && (line.c_lflag & (ICANON | ECHO)) == 0) {
            return true;
        }
        if (stopping() || slaveClosed()) {
            return false;
        }
        ::poll(nullptr, 0, 1);
    }
}

bool BoardEmulator::slaveClosed() const {
    pollfd entry{master_, 0, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLHUP) != 0;
}

void BoardEmulator::closeMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

ConfigImage BoardEmulator::memory() const {
    const std::lock_guard lock(mutex_);
    return memory_;
}

void BoardEmulator::setMemory(const ConfigImage& memory) {
    const std::lock_guard lock(mutex_);
    memory_ = memory;
}

void BoardEmulator::setFirmware(std::uint8_t major, std::uint8_t minor) {
    const std::lock_guard lock(mutex_);
    memory_[field::VersionMajor] = major;
    memory_[field::VersionMinor] = minor;
}

void BoardEmulator::setBoardVersion(std::uint8_t major, std::uint8_t minor) {
    const std::lock_guard lock(mutex_);
    boardVersion_ = {major, minor};
}

void BoardEmulator::setModelTag(std::string_view tag) {
    const std::lock_guard lock(mutex_);
    const auto at = memory_.begin() + field::VersionTag;
    std::fill_n(at, field::VersionTagSize, 0);
    std::copy_n(tag.begin(), std::min<std::size_t>(tag.size(), field::VersionTagSize), at);
}

void BoardEmulator::setFaults(const BoardFaults& faults) {
    const std::lock_guard lock(mutex_);
    faults_ = faults;
}

void BoardEmulator::setReplyLatency(std::chrono::milliseconds latency) {
    const std::lock_guard lock(mutex_);
    replyLatency_ = latency;
}

void BoardEmulator::setPaced(bool paced) {
    const std::lock_guard lock(mutex_);
    paced_ = paced;
}

std::vector<BoardRequest> BoardEmulator::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

unsigned BoardEmulator::exchanges() const {
    const std::lock_guard lock(mutex_);
    return static_cast<unsigned>(requests_.size());
}

std::size_t BoardEmulator::bytesReceived() const {
    const std::lock_guard lock(mutex_);
    return bytesReceived_;
}

std::size_t BoardEmulator::bytesSent() const {
    const std::lock_guard lock(mutex_);
    return bytesSent_;
}

bool BoardEmulator::hungUp() const {
    return hungUp_.load();
}
