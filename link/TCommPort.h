#pragma once

#include "link/ECommError.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The one serial port of the tool: 9600 baud, 8N1 raw, no flow control, DTR
// and RTS on, exclusive use. Throws ECommError on every failure.
class TCommPort {
public:
    TCommPort() = default;
    ~TCommPort();
    TCommPort(const TCommPort&) = delete;
    TCommPort& operator=(const TCommPort&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    // Frame mode 0: 7E2, 1: 8N1, other: 8N2. Closes, sets rate and name, opens.
    void reopen(int baud, const std::string& name, int frameMode);
    void setBaud(int baud);
    void setPortName(const std::string& name);
    const std::string& portName() const { return portName_; }
    // "/dev/..." for a bare tty name; a name starting with "/" is a path.
    std::string devicePath() const;

    void openDevice();
    void closeDevice();
    void purgeQueues();
    void sendBytes(std::span<const std::uint8_t> data);
    std::size_t bytesWaiting();
    std::uint8_t readByte();

    // The descriptor to poll for incoming bytes; -1 when closed.
    int descriptor() const { return fd_; }

private:
    int fd_ = -1;
    std::string portName_ = "ttyS0";
    int baud_ = 9600;
    int dataBits_ = 8;
    bool parityEven_ = false;
    int stopBits_ = 1;
};
