#include "link/TCommPort.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kQueueIn = 32768;
constexpr DWORD kQueueOut = 9216;
constexpr WORD kXonLimit = 2048;
constexpr WORD kXoffLimit = 512;
// Longest slice one port gets while several are waited on together.
constexpr auto kSharedSlice = std::chrono::milliseconds(5);

HANDLE handleOf(void* handle) {
    return static_cast<HANDLE>(handle);
}

DWORD millisecondsOf(Clock::duration wait) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    return static_cast<DWORD>(std::clamp<std::int64_t>(ms, 1, MAXDWORD - 1));
}

// The line: the rate and frame given, raw bytes, no flow control of any
// kind, DTR and RTS held on while the port is open, a line error aborting
// nothing. Every other field keeps what the driver reported.
void setLine(DCB& dcb, int baud, int dataBits, bool parityEven, int stopBits) {
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.fBinary = 1;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = 0;
    dcb.fDummy2 = 0;
    dcb.wReserved = 0;
    dcb.XonLim = kXonLimit;
    dcb.XoffLim = kXoffLimit;
    dcb.wReserved1 = 0;
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    dcb.Parity = parityEven ? EVENPARITY : NOPARITY;
    dcb.StopBits = stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
}

} // namespace

bool TCommPort::isOpen() const {
    return handle_ != nullptr;
}

// The communications functions neither lower nor report an adapter's
// latency timer: the common default stands.
std::chrono::microseconds TCommPort::adapterLatency() const {
    return std::chrono::milliseconds(16);
}

std::string TCommPort::devicePath() const {
    if (portName_.starts_with("\\\\")) {
        return portName_;
    }
    return "\\\\.\\" + portName_;
}

// The driver decides when the rate is applied: SetCommState refuses a rate
// the device cannot run.
bool TCommPort::lineRunsAt(int) {
    return true;
}

// Reads the driver's record first, so the characters it holds (XON, XOFF,
// error, end of file, event) stay as the driver has them.
void TCommPort::applySettings(int baud) const {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(handleOf(handle_), &dcb)) {
        fail(CommFail::GetSettings, GetLastError());
    }
    setLine(dcb, baud, dataBits_, parityEven_, stopBits_);
    if (!SetCommState(handleOf(handle_), &dcb)) {
        fail(CommFail::SetSettings, GetLastError());
    }
}

// A read returns its bytes or gives up after readTotalMs; a write gives up
// after the port's time-out.
void TCommPort::setTimeouts(std::uint32_t readTotalMs) const noexcept {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = readTotalMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = timeoutMs;
    SetCommTimeouts(handleOf(handle_), &timeouts);
}

void TCommPort::openDevice() {
    if (isOpen()) {
        return;
    }
    // No sharing: the port is this program's until it closes it.
    const HANDLE handle = CreateFileA(devicePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        fail(CommFail::Open, GetLastError());
    }
    handle_ = handle;
    const auto giveUp = [this](CommFail code, DWORD error) {
        CloseHandle(handleOf(std::exchange(handle_, nullptr)));
        fail(code, error);
    };
    try {
        applySettings(baud_);
    } catch (const ECommError& error) {
        giveUp(error.FailCode, error.SystemError);
    }
    setTimeouts(timeoutMs);
    if (!SetupComm(handleOf(handle_), kQueueIn, kQueueOut)) {
        giveUp(CommFail::QueueSizes, GetLastError());
    }
}

void TCommPort::closeDevice() {
    if (!isOpen()) {
        return;
    }
    // A handle that would not close is still the port's: a later close tries again.
    if (!CloseHandle(handleOf(handle_))) {
        fail(CommFail::Close, GetLastError());
    }
    handle_ = nullptr;
    lookahead_.reset();
}

bool TCommPort::lineGone() const {
    if (!isOpen()) {
        return false;
    }
    DWORD errors = 0;
    COMSTAT status{};
    return !ClearCommError(handleOf(handle_), &errors, &status);
}

void TCommPort::purgeQueues() {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    lookahead_.reset();
    if (!PurgeComm(handleOf(handle_), PURGE_RXCLEAR)) {
        fail(CommFail::Purge, GetLastError());
    }
    if (!PurgeComm(handleOf(handle_), PURGE_TXCLEAR)) {
        fail(CommFail::Purge, GetLastError());
    }
}

// One synchronous write. A write that fails with a line error that can be
// cleared is dropped: the board then does not answer, and the reply's
// time-out reports it.
void TCommPort::sendBytes(std::span<const std::uint8_t> data) {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    if (data.empty()) {
        return;
    }
    DWORD written = 0;
    if (!WriteFile(handleOf(handle_), data.data(), static_cast<DWORD>(data.size()), &written,
                   nullptr)) {
        const DWORD error = GetLastError();
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handleOf(handle_), &errors, &status)) {
            fail(CommFail::Send, error);
        }
    }
    if (trace_ && written > 0) {
        trace_(Direction::Sent, data.first(std::min<std::size_t>(written, data.size())));
    }
}

std::size_t TCommPort::bytesWaiting() {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handleOf(handle_), &errors, &status)) {
        fail(CommFail::BytesWaiting, GetLastError());
    }
    return status.cbInQue + (lookahead_ ? 1U : 0U);
}

std::uint8_t TCommPort::readByte() {
    if (!isOpen()) {
        fail(CommFail::NotOpen, 0);
    }
    std::uint8_t byte = 0;
    if (lookahead_) {
        byte = *std::exchange(lookahead_, std::nullopt);
    } else {
        DWORD got = 0;
        if (!ReadFile(handleOf(handle_), &byte, 1, &got, nullptr)) {
            fail(CommFail::Read, GetLastError());
        }
        if (got != 1) {
            fail(CommFail::Read, ERROR_TIMEOUT);
        }
    }
    if (trace_) {
        trace_(Direction::Received, std::span<const std::uint8_t>(&byte, 1));
    }
    return byte;
}

// A ReadFile of one byte with the wait as its time-out returns as soon as
// the byte is in, where polling the queue would oversleep by the system
// timer's tick (15.6 ms by default) on every exchange. The byte is kept for
// readByte; the port's own time-outs come back afterwards.
void TCommPort::waitForInput(Clock::duration wait) {
    if (!isOpen() || lookahead_ || bytesWaiting() > 0) {
        return;
    }
    setTimeouts(millisecondsOf(wait));
    std::uint8_t byte = 0;
    DWORD got = 0;
    if (ReadFile(handleOf(handle_), &byte, 1, &got, nullptr) && got == 1) {
        lookahead_ = byte;
    }
    setTimeouts(timeoutMs);
}

void TCommPort::waitForAny(std::span<TCommPort* const> ports, Clock::duration wait) {
    if (ports.size() == 1) {
        ports.front()->waitForInput(wait);
        return;
    }
    const auto until = Clock::now() + wait;
    do {
        for (TCommPort* port : ports) {
            if (port->lookahead_ || port->lineGone() || port->bytesWaiting() > 0) {
                return;
            }
        }
        for (TCommPort* port : ports) {
            port->waitForInput(std::min<Clock::duration>(kSharedSlice, until - Clock::now()));
            if (port->lookahead_) {
                return;
            }
        }
    } while (Clock::now() < until);
}

void TCommPort::takeLine(TCommPort& other) noexcept {
    handle_ = std::exchange(other.handle_, nullptr);
    lookahead_ = std::exchange(other.lookahead_, std::nullopt);
}
