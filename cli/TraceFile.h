#pragma once

#include "link/TCommPort.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>

// --trace: every byte on the line, one row per burst, with the milliseconds
// since the trace began and its direction:
//     1503 > 4B 65 6C 76 ...    (sent)
//     1534 < 06                 (received)
class TraceFile {
public:
    explicit TraceFile(const std::string& path);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool isOpen() const { return out_.is_open() && out_.good(); }
    // The errno of a failed open; 0 when the file opened.
    int openError() const { return openError_; }

    // Writes what is pending; false when the file could not take every row.
    bool finish();
    // The errno of the first failed write (EIO where the system gave none).
    int writeError() const { return writeError_; }

    // The observer to hand to TCommPort::setTrace; the file must outlive it.
    TCommPort::Trace observer();

    void record(TCommPort::Direction direction, std::span<const std::uint8_t> bytes);

private:
    void endRow();

    int openError_ = 0;
    int writeError_ = 0;
    std::ofstream out_;
    std::chrono::steady_clock::time_point start_;
    std::string row_;
    long long rowMs_ = -1;
    TCommPort::Direction rowDirection_ = TCommPort::Direction::Sent;
};
