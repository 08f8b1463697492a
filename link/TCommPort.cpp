#include "link/TCommPort.h"

#include <algorithm>
#include <cerrno>
#include <utility>

TCommPort::~TCommPort() {
    try {
        closeDevice();
    } catch (const ECommError&) {
        // The line is released either way; nobody is left to tell.
    }
}

void TCommPort::fail(CommFail code, std::uint32_t systemError) const {
    throw ECommError(code, systemError, devicePath());
}

void TCommPort::reopen(int baud, const std::string& name, int frameMode) {
    dataBits_ = frameMode == 0 ? 7 : 8;
    parityEven_ = frameMode == 0;
    stopBits_ = frameMode == 1 ? 1 : 2;
    closeDevice();
    setBaud(baud);
    setPortName(name);
    openDevice();
}

void TCommPort::setBaud(int baud) {
    if (!lineRunsAt(baud)) {
        fail(CommFail::SetBaud, EINVAL);
    }
    const int previous = std::exchange(baud_, baud);
    if (!isOpen()) {
        return;
    }
    try {
        applySettings(baud);
    } catch (const ECommError& error) {
        baud_ = previous;
        fail(CommFail::SetBaud, error.SystemError);
    }
}

void TCommPort::setPortName(const std::string& name) {
    if (isOpen()) {
        fail(CommFail::SetPortName, 0);
    }
    portName_ = name;
}

std::chrono::microseconds TCommPort::byteGap() const {
    constexpr int kCharacters = 4;
    const int bitsPerCharacter = 1 + dataBits_ + (parityEven_ ? 1 : 0) + stopBits_;
    return std::chrono::microseconds(kCharacters * bitsPerCharacter * 1'000'000LL / baud_) +
           adapterLatency();
}

void TCommPort::settle(std::chrono::milliseconds quiet, std::chrono::milliseconds most) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + most;
    // Within one gap between bytes a reply still coming shows itself.
    Clock::duration wait = byteGap();
    while (isOpen() && !lineGone()) {
        purgeQueues();
        const auto left = end - Clock::now();
        if (left <= Clock::duration::zero()) {
            return;
        }
        waitForInput(std::min(wait, left));
        if (bytesWaiting() == 0) {
            return;
        }
        wait = quiet;
    }
}

void TCommPort::takeOver(TCommPort& other) {
    if (&other == this) {
        return;
    }
    closeDevice();
    takeLine(other);
    portName_ = other.portName_;
    baud_ = other.baud_;
    dataBits_ = other.dataBits_;
    parityEven_ = other.parityEven_;
    stopBits_ = other.stopBits_;
}
