#pragma once

#include "link/OperationView.h"
#include "link/TCommPort.h"
#include "link/VerifyMismatch.h"
#include "model/ConfigImage.h"
#include "model/FirmwareVersion.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Frames spoken with the programmer board, both ways: preamble, target,
// operation, length n, n body bytes, then the 16-bit sum of every byte from
// offset 10 on, high byte first.
inline constexpr std::string_view kPreamble = "Kelvarinth";
inline constexpr std::size_t kHeaderSize = 13; // preamble, target, operation, length
inline constexpr std::size_t kFrameOverhead = kHeaderSize + 2;

inline constexpr std::uint8_t kTargetPager = 0x33; // the pager's configuration memory
inline constexpr std::uint8_t kTargetBoard = 0x35; // the programmer board itself
inline constexpr std::uint8_t kOperationRead = 0x52;
inline constexpr std::uint8_t kOperationStore = 0x53;

// The tool's frame buffer; every request and reply fits in it.
inline constexpr std::size_t kFrameBufferSize = 146;
using FrameBuffer = std::array<std::uint8_t, kFrameBufferSize>;
inline constexpr std::size_t kReadRequestSize = kFrameOverhead + 3;
inline constexpr std::size_t kMaxReadCount = kFrameBufferSize - kFrameOverhead;      // 131
inline constexpr std::size_t kMaxStoreCount = kFrameBufferSize - kFrameOverhead - 2; // 129

// The board's answer to every good store: target 3, operation S, length 1,
// the byte 0x06 and its sum.
inline constexpr std::array<std::uint8_t, 16> kStoreAcknowledgement{
    'K', 'e', 'l', 'v', 'a', 'r', 'i', 'n', 't', 'h', 0x33, 0x53, 0x01, 0x06, 0x00, 0x8D};

// Sum of frame[10] up to the end of `frame`, modulo 65536.
std::uint16_t frameSum(std::span<const std::uint8_t> frame);

// Writes a whole frame at the start of `out` and returns its size. Throws
// std::length_error when it does not fit or the body is longer than 255.
std::size_t buildFrame(std::span<std::uint8_t> out, std::uint8_t target, std::uint8_t operation,
                       std::span<const std::uint8_t> body);

// The same frame in a vector of its own size.
std::vector<std::uint8_t> makeFrame(std::uint8_t target, std::uint8_t operation,
                                    std::span<const std::uint8_t> body);

// A wait as poll()'s milliseconds: rounded up, never negative.
int pollMilliseconds(std::chrono::steady_clock::duration wait);

// A read reply is good when its last two bytes hold the sum of the bytes
// from offset 10 to the last data byte.
bool replySumMatches(std::span<const std::uint8_t> reply);

// A reply answers a request when it names the request's target, operation
// and byte count and its sum matches. The preamble is not checked, so a
// board that sends another one still works; a shifted or foreign reply is a
// failed exchange, never a value.
bool replyAnswers(std::span<const std::uint8_t> reply, std::uint8_t target, std::uint8_t operation,
                  std::size_t count);

// The board test: a read of no bytes at pager address 0, answered by an
// empty read reply.
inline constexpr std::size_t kProbeReplySize = kFrameOverhead;
// Writes the probe request at the start of `out` and returns its size.
std::size_t buildProbeFrame(std::span<std::uint8_t> out);
// Whether a whole probe reply counts as the board's answer.
bool probeAnswered(std::span<const std::uint8_t, kProbeReplySize> reply);

// How long a reply may keep the line silent: per byte, `pollCount` waits of
// `pollInterval`.
struct LinkTiming {
    int pollCount = 101;
    std::chrono::milliseconds pollInterval{30};
};

// What runs while the line is silent: the window lets the user interface
// repaint and take input; the command line needs nothing.
using LinkWait = std::function<void()>;

enum class ModelQuery {
    OtherModel = 0, // another model's tag, or the query failed
    Px520 = 1,      // the tag names this model
    NoTag = 2,      // the tag is empty
};

struct BoardVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;

    std::string text() const;
    bool operator==(const BoardVersion&) const = default;
};

// The request / reply exchanges with the board over the one port. Every
// exchange returns false when it failed and then leaves linkFailed() set.
// Port failures come out as ECommError. The view sees the progress bar
// repainted before a request and reset by a time-out, and the firmware
// version as soon as it is read.
class BoardProtocol {
public:
    BoardProtocol(TCommPort& port, OperationView& view, LinkTiming timing = {}, LinkWait wait = {});

    bool linkFailed() const { return linkFailed_; }
    const std::string& modelName() const { return modelName_; }
    void clearModelName() { modelName_.clear(); }

    // Sends nothing when the port is closed.
    void sendFrame(std::span<const std::uint8_t> frame);
    // Fills every byte of `reply` or fails; a silence of the time-out on any
    // byte purges both queues and sets the progress position to 0.
    bool receiveReply(std::span<std::uint8_t> reply);
    // Pauses, running the wait hook meanwhile.
    void waitMs(int milliseconds);

    bool probeBoard();
    // Reads `count` bytes of pager memory into destination[address] onward.
    bool readBlock(std::span<std::uint8_t, kImageSize> destination, int address, std::size_t count);
    // Reads `count` bytes of `target` from `address` into destination[0] onward.
    bool readBytes(std::uint8_t target, std::span<std::uint8_t> destination, int address,
                   std::size_t count);
    // True when the pager holds source[address] onward. When it answers with
    // other bytes, they go into mismatch if one is given.
    bool verifyBlock(std::span<const std::uint8_t, kImageSize> source, int address,
                     std::size_t count, std::optional<VerifyMismatch>* mismatch = nullptr);
    // Stores source[address] onward in the pager.
    bool writeBlock(std::span<const std::uint8_t, kImageSize> source, int address,
                    std::size_t count);

    // On success the version goes into image bytes 1 and 2 and the version field.
    std::optional<FirmwareVersion> queryFirmwareVersion(ConfigImage& image);
    // The tag at pager address 240; modelName() holds another model's name.
    ModelQuery queryModel();
    std::optional<BoardVersion> queryBoardVersion();

private:
    // One read request; on success the data sits at frame[kHeaderSize] onward.
    bool readExchange(FrameBuffer& frame, std::uint8_t target, int address, std::size_t count,
                      bool repaint);
    bool awaitByte();
    bool fail();

    TCommPort& port_;
    OperationView& view_;
    LinkTiming timing_;
    LinkWait wait_;
    bool linkFailed_ = false;
    std::string modelName_;
};
