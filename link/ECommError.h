#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Failure codes of TCommPort, kept from the board tool's original numbering so
// messages and logs stay comparable.
enum class CommFail : std::uint8_t {
    SetBaud = 1,       // the rate is unsupported, or the open port refused it
    SetPortName = 6,   // the name of an open port cannot change
    NotOpen = 7,       // send, read, bytes waiting or purge on a closed port
    Open = 8,          // the device cannot be opened (missing, busy, no permission)
    Send = 9,          // writing failed, or the line took no byte within the time-out
    Read = 10,         // reading a byte failed, or none came within the time-out
    Close = 11,        // closing reported an error; the descriptor is released anyway
    Purge = 12,        // discarding a queue failed
    GetSettings = 14,  // reading the line settings failed
    SetSettings = 15,  // the line settings or modem lines could not be applied
    QueueSizes = 16,   // the driver refused the receive and transmit queue sizes
    BytesWaiting = 18, // asking for the bytes waiting failed
};

// Thrown by TCommPort: which operation failed and the system's error number
// (errno on POSIX, GetLastError on Windows).
class ECommError : public std::runtime_error {
public:
    ECommError(CommFail code, std::uint32_t systemError, std::string device = {});

    CommFail FailCode;
    std::uint32_t SystemError;
    std::string Device;
};
