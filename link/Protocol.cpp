#include "link/Protocol.h"

#include "model/ByteMap.h"
#include "model/VersionTag.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void sleepFor(Clock::duration wait) {
    std::this_thread::sleep_for(wait);
}

std::array<std::uint8_t, 3> readBody(int address, std::size_t count) {
    return {static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
            static_cast<std::uint8_t>(count)};
}

void requireWithinImage(int address, std::size_t count) {
    if (address < 0 || static_cast<std::size_t>(address) + count > kImageSize) {
        throw std::out_of_range("pager block outside the 256-byte image");
    }
}

} // namespace

std::uint16_t frameSum(std::span<const std::uint8_t> frame) {
    if (frame.size() <= kPreamble.size()) {
        return 0;
    }
    const auto summed = frame.subspan(kPreamble.size());
    return static_cast<std::uint16_t>(std::accumulate(summed.begin(), summed.end(), 0U));
}

std::size_t buildFrame(std::span<std::uint8_t> out, std::uint8_t target, std::uint8_t operation,
                       std::span<const std::uint8_t> body) {
    const std::size_t size = kFrameOverhead + body.size();
    if (body.size() > 0xFF || size > out.size()) {
        throw std::length_error("frame longer than its buffer");
    }
    const auto end = std::copy(kPreamble.begin(), kPreamble.end(), out.begin());
    end[0] = target;
    end[1] = operation;
    end[2] = static_cast<std::uint8_t>(body.size());
    std::copy(body.begin(), body.end(), out.begin() + kHeaderSize);
    const std::uint16_t sum = frameSum(out.first(kHeaderSize + body.size()));
    out[size - 2] = static_cast<std::uint8_t>(sum >> 8);
    out[size - 1] = static_cast<std::uint8_t>(sum);
    return size;
}

std::vector<std::uint8_t> makeFrame(std::uint8_t target, std::uint8_t operation,
                                    std::span<const std::uint8_t> body) {
    std::vector<std::uint8_t> bytes(kFrameOverhead + body.size());
    buildFrame(bytes, target, operation, body);
    return bytes;
}

int pollMilliseconds(std::chrono::steady_clock::duration wait) {
    return static_cast<int>(
        std::max<std::int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
}

bool replySumMatches(std::span<const std::uint8_t> reply) {
    if (reply.size() < kFrameOverhead) {
        return false;
    }
    const std::size_t end = reply.size() - 2;
    const auto received = static_cast<std::uint16_t>(reply[end] << 8 | reply[end + 1]);
    return received == frameSum(reply.first(end));
}

bool replyAnswers(std::span<const std::uint8_t> reply, std::uint8_t target, std::uint8_t operation,
                  std::size_t count) {
    return reply.size() == kFrameOverhead + count && reply[kPreamble.size()] == target &&
           reply[kPreamble.size() + 1] == operation && reply[kPreamble.size() + 2] == count &&
           replySumMatches(reply);
}

std::size_t buildProbeFrame(std::span<std::uint8_t> out) {
    return buildFrame(out, kTargetPager, kOperationRead, readBody(0, 0));
}

bool probeAnswered(std::span<const std::uint8_t, kProbeReplySize> reply) {
    return replyAnswers(reply, kTargetPager, kOperationRead, 0);
}

std::string BoardVersion::text() const {
    return std::to_string(major) + "." + std::to_string(minor);
}

BoardProtocol::BoardProtocol(TCommPort& port, OperationView& view, LinkTiming timing, LinkWait wait)
    : port_(port), view_(view), timing_(timing), wait_(wait ? std::move(wait) : [] {}) {}

// Bytes still arriving from an earlier, abandoned exchange would be taken
// for the start of this request's reply: discard them first.
void BoardProtocol::sendFrame(std::span<const std::uint8_t> frame) {
    if (port_.isOpen()) {
        port_.purgeQueues();
        port_.sendBytes(frame);
    }
}

bool BoardProtocol::receiveReply(std::span<std::uint8_t> reply) {
    linkFailed_ = false;
    if (!port_.isOpen()) {
        return fail();
    }
    for (auto& byte : reply) {
        if (!awaitByte()) {
            port_.purgeQueues();
            view_.setProgressPosition(0);
            return fail();
        }
        byte = port_.readByte();
    }
    return true;
}

// The same time-out as pollCount waits of pollInterval, but the waits end as
// soon as the line has a byte.
bool BoardProtocol::awaitByte() {
    const auto deadline = Clock::now() + timing_.pollInterval * timing_.pollCount;
    while (port_.bytesWaiting() == 0) {
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        wait_();
        port_.waitForInput(std::min<Clock::duration>(timing_.pollInterval, deadline - now));
    }
    return true;
}

void BoardProtocol::waitMs(int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        wait_();
        sleepFor(std::min<Clock::duration>(timing_.pollInterval, deadline - now));
    }
}

bool BoardProtocol::fail() {
    linkFailed_ = true;
    return false;
}

bool BoardProtocol::readExchange(FrameBuffer& frame, std::uint8_t target, int address,
                                 std::size_t count, bool repaint) {
    if (count > kMaxReadCount) {
        throw std::length_error("read longer than the frame buffer");
    }
    frame.fill(0);
    const std::size_t size = buildFrame(frame, target, kOperationRead, readBody(address, count));
    if (repaint) {
        view_.repaintProgress();
    }
    sendFrame(std::span(frame).first(size));
    const auto reply = std::span(frame).first(kFrameOverhead + count);
    if (!receiveReply(reply)) {
        return false;
    }
    return replyAnswers(reply, target, kOperationRead, count) || fail();
}

bool BoardProtocol::probeBoard() {
    FrameBuffer frame{};
    return readExchange(frame, kTargetPager, 0, 0, true);
}

bool BoardProtocol::readBlock(std::span<std::uint8_t, kImageSize> destination, int address,
                              std::size_t count) {
    requireWithinImage(address, count);
    return readBytes(kTargetPager, destination.subspan(static_cast<std::size_t>(address)), address,
                     count);
}

bool BoardProtocol::readBytes(std::uint8_t target, std::span<std::uint8_t> destination, int address,
                              std::size_t count) {
    if (count > destination.size()) {
        throw std::out_of_range("read longer than its destination");
    }
    FrameBuffer frame{};
    if (!readExchange(frame, target, address, count, true)) {
        return false;
    }
    const auto data = std::span(frame).subspan(kHeaderSize, count);
    std::copy(data.begin(), data.end(), destination.begin());
    return true;
}

bool BoardProtocol::verifyBlock(std::span<const std::uint8_t, kImageSize> source, int address,
                                std::size_t count, std::optional<VerifyMismatch>* mismatch) {
    requireWithinImage(address, count);
    FrameBuffer frame{};
    if (!readExchange(frame, kTargetPager, address, count, false)) {
        return false;
    }
    const auto data = std::span(frame).subspan(kHeaderSize, count);
    const auto expected = source.subspan(static_cast<std::size_t>(address), count);
    if (std::equal(data.begin(), data.end(), expected.begin())) {
        return true;
    }
    if (mismatch != nullptr) {
        *mismatch = VerifyMismatch{static_cast<std::size_t>(address), {data.begin(), data.end()}};
    }
    return fail();
}

bool BoardProtocol::writeBlock(std::span<const std::uint8_t, kImageSize> source, int address,
                               std::size_t count) {
    requireWithinImage(address, count);
    if (count > kMaxStoreCount) {
        throw std::length_error("store longer than the frame buffer");
    }
    std::array<std::uint8_t, kMaxStoreCount + 2> body{};
    body[0] = static_cast<std::uint8_t>(address >> 8);
    body[1] = static_cast<std::uint8_t>(address);
    const auto data = source.subspan(static_cast<std::size_t>(address), count);
    std::copy(data.begin(), data.end(), body.begin() + 2);

    FrameBuffer frame{};
    const std::size_t size =
        buildFrame(frame, kTargetPager, kOperationStore, std::span(body).first(count + 2));
    view_.repaintProgress();
    sendFrame(std::span(frame).first(size));
    const auto reply = std::span(frame).first(kStoreAcknowledgement.size());
    if (!receiveReply(reply)) {
        return false;
    }
    return std::ranges::equal(reply, kStoreAcknowledgement) || fail();
}

std::optional<FirmwareVersion> BoardProtocol::queryFirmwareVersion(ConfigImage& image) {
    std::array<std::uint8_t, 4> bytes{};
    if (!readBytes(kTargetPager, bytes, field::VersionMajor, 2)) {
        return std::nullopt;
    }
    const FirmwareVersion version{bytes[0], bytes[1]};
    image[field::VersionMajor] = version.major;
    image[field::VersionMinor] = version.minor;
    view_.showFirmwareVersion(version);
    return version;
}

ModelQuery BoardProtocol::queryModel() {
    // The tag lands where it sits in the image, so the image's tag rule applies.
    ConfigImage bytes{};
    const auto tag = std::span(bytes).subspan(field::VersionTag, field::VersionTagSize);
    if (!readBytes(kTargetPager, tag, field::VersionTag, tag.size())) {
        return ModelQuery::OtherModel;
    }
    if (tagNamesModel(bytes)) {
        return ModelQuery::Px520;
    }
    const auto end = std::ranges::find(tag, std::uint8_t{0});
    modelName_.assign(tag.begin(), end);
    return modelName_.empty() ? ModelQuery::NoTag : ModelQuery::OtherModel;
}

std::optional<BoardVersion> BoardProtocol::queryBoardVersion() {
    std::array<std::uint8_t, 2> bytes{};
    if (!readBytes(kTargetBoard, bytes, 0, bytes.size())) {
        return std::nullopt;
    }
    return BoardVersion{bytes[0], bytes[1]};
}
