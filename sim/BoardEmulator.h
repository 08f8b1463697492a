#pragma once

#include "model/ConfigImage.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Faults the emulated board can show. Exchanges count every request frame
// since the emulator started, from 1; store blocks count store requests only.
// 0 switches a numbered fault off.
struct BoardFaults {
    bool silent = false;      // no request is ever answered
    unsigned cutExchange = 0; // this reply stops after cutAfter bytes
    std::size_t cutAfter = 0;
    unsigned badChecksumExchange = 0;             // this reply's sum is one off
    unsigned badAckStore = 0;                     // this store block is answered with a refusal
    std::optional<std::uint8_t> differingAddress; // reads show this byte inverted
    unsigned garbageExchange = 0;                 // this reply comes after garbageBytes of noise
    std::size_t garbageBytes = 0;
    unsigned hangUpAfter = 0; // the line goes dead once this exchange is over
};

// One request frame as the board understood it.
struct BoardRequest {
    std::uint8_t target = 0;
    std::uint8_t operation = 0;
    int address = 0;
    std::size_t count = 0; // bytes asked for, or bytes stored

    bool operator==(const BoardRequest&) const = default;
};

// A programmer board with a pager seated in it, on the master side of a
// pseudo-terminal: the tool opens slavePath() as its serial port. It answers
// reads of the pager memory (target 0x33) and of its own version (0x35) and
// stores into the pager memory, as the real board does. It writes only once
// the tool has put the line in raw mode, and keeps serving across the tool's
// opens and closes of the port.
class BoardEmulator {
public:
    // A real 9600-baud line: ten bits per byte.
    static constexpr std::chrono::nanoseconds kByteTime{1'041'667};
    // The data bytes one USB packet of the common adapters carries.
    static constexpr std::size_t kAdapterBuffer = 62;

    BoardEmulator();
    ~BoardEmulator();
    BoardEmulator(const BoardEmulator&) = delete;
    BoardEmulator& operator=(const BoardEmulator&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    // Serves on a thread of its own until stop() or the destructor.
    void start();
    void stop();
    // Serves on the calling thread until stop(), until `stopDescriptor` turns
    // readable, or until a hang-up fault has closed the line.
    void run(int stopDescriptor = -1);

    ConfigImage memory() const;
    void setMemory(const ConfigImage& memory);
    // The version the pager reports: its memory bytes 1 and 2.
    void setFirmware(std::uint8_t major, std::uint8_t minor);
    void setBoardVersion(std::uint8_t major, std::uint8_t minor);
    // Bytes 240-253, NUL-padded.
    void setModelTag(std::string_view tag);
    void setFaults(const BoardFaults& faults);
    // Sends and takes bytes at the pace of a 9600-baud line.
    void setPaced(bool paced);
    // Holds each reply's bytes back as a USB serial adapter does: they reach
    // the tool when kAdapterBuffer of them have gathered or `latency` after
    // the first of them; 0 passes each byte on at once.
    void setReplyLatency(std::chrono::milliseconds latency);

    // What came over the line.
    std::vector<BoardRequest> requests() const;
    unsigned exchanges() const;
    std::size_t bytesReceived() const;
    std::size_t bytesSent() const;
    bool hungUp() const;

private:
    using Clock = std::chrono::steady_clock;

    struct Reply {
        std::vector<std::uint8_t> bytes;
        bool hangUp = false;
    };

    void rearm();
    void serve(int stopDescriptor);
    void take(std::span<const std::uint8_t> bytes, Clock::time_point arrival);
    std::optional<Reply> answer(std::size_t frameSize);
    std::vector<std::uint8_t> readReply(std::uint8_t target, int address, std::size_t count) const;
    void send(const Reply& reply, Clock::time_point received);
    // False when the tool closed the port before every byte went out.
    bool writeAll(std::span<const std::uint8_t> bytes);
    bool waitForRawLine() const;
    bool slaveClosed() const;
    bool stopping() const { return stopping_.load(); }
    void closeMaster();

    int master_ = -1;
    int wake_ = -1; // eventfd that stop() signals
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> hungUp_{false};

    // Bytes of a request not complete yet, and when its first byte came.
    std::vector<std::uint8_t> pending_;
    Clock::time_point pendingSince_{};

    mutable std::mutex mutex_;
    ConfigImage memory_{};
    std::array<std::uint8_t, 2> boardVersion_{1, 0};
    BoardFaults faults_;
    bool paced_ = false;
    std::chrono::milliseconds replyLatency_{0};
    std::vector<BoardRequest> requests_;
    unsigned stores_ = 0;
    std::size_t bytesReceived_ = 0;
    std::size_t bytesSent_ = 0;
};
