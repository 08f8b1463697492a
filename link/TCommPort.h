#pragma once

#include "link/ECommError.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#ifndef _WIN32
#include <termios.h>
#endif

// The one serial port of the tool: 9600 baud, 8N1 raw, no flow control, DTR
// and RTS on, exclusive use. Throws ECommError on every failure. One backend
// per platform: termios (posix/), where the line's own settings and low
// latency flag come back at close, and the Win32 communications functions
// (win32/), where a name such as "COM3" opens \\.\COM3.
class TCommPort {
public:
    enum class Direction { Sent, Received };
    using Trace = std::function<void(Direction, std::span<const std::uint8_t>)>;

    // Longest wait for the transmit queue to take bytes, and for a byte that
    // bytesWaiting announced; matches the board tool's 500 ms time-outs.
    static constexpr int timeoutMs = 500;

#ifdef _WIN32
    static constexpr const char* kDefaultPortName = "COM1";
#else
    static constexpr const char* kDefaultPortName = "ttyS0";
#endif

    TCommPort() = default;
    ~TCommPort();
    TCommPort(const TCommPort&) = delete;
    TCommPort& operator=(const TCommPort&) = delete;

    bool isOpen() const;

    // Frame mode 0: 7E2, 1: 8N1, other: 8N2. Closes, sets rate and name, opens.
    void reopen(int baud, const std::string& name, int frameMode);
    // Refuses a rate the line cannot run (code 1, old rate kept); applies it at
    // once when open, else only stores it.
    void setBaud(int baud);
    int baud() const {
        return baud_;
    }
    void setPortName(const std::string& name);
    const std::string& portName() const {
        return portName_;
    }
    // POSIX: "/dev/..." for a bare tty name; a name starting with "/" is a
    // path. Windows: "\\.\" before a bare name such as "COM12".
    std::string devicePath() const;

    void openDevice();
    void closeDevice();
    void purgeQueues();
    // The longest pause between two bytes of one reply on this line: four
    // characters at its rate (a UART's receive time-out), and the time a USB
    // adapter holds received bytes back: 1 ms where low latency was granted,
    // 16 ms (the common default) where it was not or cannot be known, none on
    // a line without a serial driver, such as a pseudo-terminal.
    std::chrono::microseconds byteGap() const;
    // Discards what the line still brings, for at most `most`: the rest of a
    // reply to a command that was killed must not be taken for the answer to
    // the next one. A quiet line costs one byteGap(); once bytes come, the
    // line must then be quiet for `quiet`.
    void settle(std::chrono::milliseconds quiet, std::chrono::milliseconds most);
    // Writes every byte or throws code 9; a transmit queue that takes no
    // byte for timeoutMs is a failure, never a silent drop.
    void sendBytes(std::span<const std::uint8_t> data);
    std::size_t bytesWaiting();
    std::uint8_t readByte();

    // The line hung up or failed under the open descriptor: an adapter was
    // pulled out, or the device behind the path went away.
    bool lineGone() const;

    // Returns once a byte is waiting, the line is gone or `wait` has passed.
    void waitForInput(std::chrono::steady_clock::duration wait);
    // The same over several open ports at once: returns once any of them has
    // a byte or is gone, or `wait` has passed.
    static void waitForAny(std::span<TCommPort* const> ports,
                           std::chrono::steady_clock::duration wait);

#ifndef _WIN32
    // The descriptor of the open line; -1 when closed.
    int descriptor() const {
        return fd_;
    }
#endif

    // Closes this port and carries on with the other's open line: descriptor,
    // lock, name, rate, frame and the settings to restore at close. The other
    // ends up closed; each keeps its own trace.
    void takeOver(TCommPort& other);

    // Sees every byte sent and received; an empty function turns it off.
    void setTrace(Trace trace) {
        trace_ = std::move(trace);
    }

private:
    // Whether the platform's line can be set to this rate at all.
    static bool lineRunsAt(int baud);
    void applySettings(int baud) const;
#ifdef _WIN32
    void setTimeouts(std::uint32_t readTotalMs) const noexcept;
#else
    void restoreSettings() noexcept;
    void requestLowLatency() noexcept;
#endif
    // How long the adapter holds received bytes back (see byteGap).
    std::chrono::microseconds adapterLatency() const;
    [[noreturn]] void fail(CommFail code, std::uint32_t systemError) const;
    // Hands the open line and its saved state over; `other` ends up closed.
    void takeLine(TCommPort& other) noexcept;

#ifdef _WIN32
    // The device's HANDLE; this object closes it.
    void* handle_ = nullptr;
    // A byte that waitForInput took off the line, handed out by readByte first.
    std::optional<std::uint8_t> lookahead_;
#else
    int fd_ = -1;
    // The device's settings as found at open.
    std::optional<termios> saved_;
    // The driver's serial flags found at open, when low latency was granted
    // on top of them.
    std::optional<int> savedSerialFlags_;
    // What the open line's driver holds bytes back for.
    std::chrono::microseconds adapterLatency_{0};
#endif
    std::string portName_ = kDefaultPortName;
    int baud_ = 9600;
    int dataBits_ = 8;
    bool parityEven_ = false;
    int stopBits_ = 1;
    Trace trace_;
};
