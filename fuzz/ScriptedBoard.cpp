#include "fuzz/ScriptedBoard.h"

#include "link/Protocol.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::uint8_t kAcknowledge = 0x06;
constexpr std::array<std::uint8_t, 2> kBoardVersion{3, 2};

} // namespace

Descriptor::~Descriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

ScriptedBoard::ScriptedBoard(std::vector<ScriptedReply> replies, const ConfigImage& memory)
    : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)), stop_(::eventfd(0, EFD_CLOEXEC)),
      replies_(std::move(replies)), memory_(memory) {
    if (master_.get() < 0 || stop_.get() < 0 || ::grantpt(master_.get()) != 0 ||
        ::unlockpt(master_.get()) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slavePath_ = ::ptsname(master_.get());
    thread_ = std::thread([this] { serve(); });
}

ScriptedBoard::~ScriptedBoard() {
    const std::uint64_t one = 1;
    if (::write(stop_.get(), &one, sizeof one) != sizeof one) {
        std::terminate();
    }
    thread_.join();
}

void ScriptedBoard::serve() {
    std::array<std::uint8_t, 512> buffer{};
    for (;;) {
        std::array<pollfd, 2> entries{{{master_.get(), POLLIN, 0}, {stop_.get(), POLLIN, 0}}};
        ::poll(entries.data(), entries.size(), -1);
        if (entries[1].revents != 0) {
            return;
        }
        // With the slave closed the master reports a hang-up (and EIO on
        // read) until the tool opens the line again.
        const ssize_t got = (entries[0].revents & POLLIN) != 0
                                ? ::read(master_.get(), buffer.data(), buffer.size())
                                : -1;
        if (got <= 0) {
            pause();
            continue;
        }
        pending_.insert(pending_.end(), buffer.begin(), buffer.begin() + got);
        while (const auto request = takeRequest()) {
            const ScriptedReply silent{};
            const ScriptedReply& reply =
                nextReply_ < replies_.size() ? replies_[nextReply_++] : silent;
            const auto bytes = replyTo(*request, reply);
            if (!bytes.empty() && slaveIsRaw()) {
                send(bytes);
            }
        }
    }
}

void ScriptedBoard::pause() const {
    pollfd entry{stop_.get(), POLLIN, 0};
    ::poll(&entry, 1, 1);
}

std::optional<ScriptedBoard::Request> ScriptedBoard::takeRequest() {
    const auto start =
        std::search(pending_.begin(), pending_.end(), kPreamble.begin(), kPreamble.end());
    if (start == pending_.end()) {
        // Keep what could still be the start of a preamble.
        const auto keep = std::min(pending_.size(), kPreamble.size() - 1);
        pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(keep));
        return std::nullopt;
    }
    pending_.erase(pending_.begin(), start);
    if (pending_.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = pending_[kHeaderSize - 1];
    if (pending_.size() < kFrameOverhead + length) {
        return std::nullopt;
    }
    const auto body = std::span(pending_).subspan(kHeaderSize, length);
    Request request{pending_[kPreamble.size()], pending_[kPreamble.size() + 1], 0, 0, {}};
    if (body.size() >= 2) {
        request.address = static_cast<std::size_t>(body[0] << 8 | body[1]);
    }
    if (request.operation == kOperationStore) {
        request.data.assign(body.begin() + std::min<std::size_t>(2, body.size()), body.end());
        request.count = request.data.size();
    } else if (body.size() >= 3) {
        request.count = body[2];
    }
    pending_.erase(pending_.begin(),
                   pending_.begin() + static_cast<std::ptrdiff_t>(kFrameOverhead + length));
    return request;
}

std::vector<std::uint8_t> ScriptedBoard::replyTo(const Request& request,
                                                 const ScriptedReply& reply) {
    switch (reply.kind) {
    case ReplyKind::Raw:
        return reply.bytes;
    case ReplyKind::Framed: {
        std::vector<std::uint8_t> body = reply.bytes;
        if (request.operation == kOperationStore) {
            body.resize(1, kAcknowledge);
        } else {
            body.resize(request.count);
        }
        return makeFrame(request.target, request.operation, body);
    }
    case ReplyKind::FromMemory:
        return memoryReply(request);
    case ReplyKind::Silent:
        break;
    }
    return {};
}

std::vector<std::uint8_t> ScriptedBoard::memoryReply(const Request& request) {
    const std::size_t address = std::min(request.address, kImageSize);
    if (request.operation == kOperationStore) {
        const std::size_t count = std::min(request.data.size(), kImageSize - address);
        std::copy_n(request.data.begin(), count, memory_.begin() + address);
        return makeFrame(request.target, request.operation, std::array{kAcknowledge});
    }
    std::vector<std::uint8_t> body(request.count);
    if (request.target == kTargetPager) {
        const std::size_t count = std::min(request.count, kImageSize - address);
        std::copy_n(memory_.begin() + address, count, body.begin());
    } else {
        std::copy_n(kBoardVersion.begin(), std::min(body.size(), kBoardVersion.size()),
                    body.begin());
    }
    return makeFrame(request.target, request.operation, body);
}

bool ScriptedBoard::slaveIsRaw() const {
    termios settings{};
    return ::tcgetattr(master_.get(), &settings) == 0 && (settings.c_lflag & ICANON) == 0;
}

void ScriptedBoard::send(const std::vector<std::uint8_t>& bytes) const {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t wrote = ::write(master_.get(), bytes.data() + sent, bytes.size() - sent);
        if (wrote <= 0) {
            return; // the tool closed the line meanwhile
        }
        sent += static_cast<std::size_t>(wrote);
    }
}
