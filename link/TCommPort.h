#pragma once

#include "link/ECommError.h"

#include <cstddef>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include <termios.h>

// The one serial port of the tool: 9600 baud, 8N1 raw, no flow control, DTR
// and RTS on, exclusive use; the line's own settings come back at close. Throws ECommError on every failure.
class TCommPort {
public:
    enum class Direction { Sent, Received };
    using Trace = std::function<void(Direction, std::span<const std::uint8_t>)>;

    // Longest wait for the transmit queue to take bytes, and for a byte that
    // bytesWaiting announced; matches the board tool's 500 ms time-outs.
    static constexpr int timeoutMs = 500;

    TCommPort() = default;
    ~TCommPort();
    TCommPort(const TCommPort&) = delete;
    TCommPort& operator=(const TCommPort&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    // Frame mode 0: 7E2, 1: 8N1, other: 8N2. Closes, sets rate and name, opens.
    void reopen(int baud, const std::string& name, int frameMode);
    // Refuses a rate the line cannot run (code 1, old rate kept); applies it at
    // once when open, else only stores it.
    void setBaud(int baud);
    int baud() const { return baud_; }
    void setPortName(const std::string& name);
    const std::string& portName() const { return portName_; }
    // "/dev/..." for a bare tty name; a name starting with "/" is a path.
    std::string devicePath() const;

    void openDevice();
    void closeDevice();
    void purgeQueues();
    // Discards what the line still brings until it has been quiet for
    // `quiet`, for at most `most`: the rest of a reply to a command that was
    // killed must not be taken for the answer to the next one.
    void settle(std::chrono::milliseconds quiet, std::chrono::milliseconds most);
    // Writes every byte or throws code 9; a transmit queue that takes no
    // byte for timeoutMs is a failure, never a silent drop.
    void sendBytes(std::span<const std::uint8_t> data);
    std::size_t bytesWaiting();
    std::uint8_t readByte();

    // The line hung up or failed under the open descriptor: an adapter was
    // pulled out, or the device behind the path went away.
    bool lineGone() const;

    // The descriptor to poll for incoming bytes; -1 when closed.
    int descriptor() const { return fd_; }

    // Closes this port and carries on with the other's open line: descriptor,
    // lock, name, rate, frame and the settings to restore at close. The other
    // ends up closed; each keeps its own trace.
    void takeOver(TCommPort& other);

    // Sees every byte sent and received; an empty function turns it off.
    void setTrace(Trace trace) { trace_ = std::move(trace); }

private:
    void applySettings(int baud) const;
    void restoreSettings() noexcept;
    [[noreturn]] void fail(CommFail code, int systemError) const;

    int fd_ = -1;
    // The device's settings as found at open.
    std::optional<termios> saved_;
    std::string portName_ = "ttyS0";
    int baud_ = 9600;
    int dataBits_ = 8;
    bool parityEven_ = false;
    int stopBits_ = 1;
    Trace trace_;
};
