#include "cli/TraceFile.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

TraceFile::TraceFile(const std::string& path) : start_(std::chrono::steady_clock::now()) {
    errno = 0;
    out_.open(path, std::ios::trunc);
    if (!out_.is_open()) {
        openError_ = errno != 0 ? errno : EIO;
    }
    const std::time_t now = std::time(nullptr);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    out_ << "# px520-cli line trace from " << stamp << "; ms since then, > sent, < received\n";
}

TraceFile::~TraceFile() {
    endRow();
}

bool TraceFile::finish() {
    endRow();
    out_.flush();
    return out_.good() && writeError_ == 0;
}

TCommPort::Trace TraceFile::observer() {
    return [this](TCommPort::Direction direction, std::span<const std::uint8_t> bytes) {
        record(direction, bytes);
    };
}

void TraceFile::record(TCommPort::Direction direction, std::span<const std::uint8_t> bytes) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start_)
                        .count();
    // Bytes that arrive one at a time within the same millisecond share a row.
    if (ms != rowMs_ || direction != rowDirection_) {
        endRow();
        char head[32];
        std::snprintf(head, sizeof head, "%8lld %c", static_cast<long long>(ms),
                      direction == TCommPort::Direction::Sent ? '>' : '<');
        row_ = head;
        rowMs_ = ms;
        rowDirection_ = direction;
    }
    for (const std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        row_ += hex;
    }
}

void TraceFile::endRow() {
    if (!row_.empty()) {
        errno = 0;
        out_ << row_ << '\n' << std::flush;
        if (!out_.good() && writeError_ == 0) {
            writeError_ = errno != 0 ? errno : EIO;
        }
        row_.clear();
    }
}
