#pragma once

#include <optional>
#include <string>

// The window's Read, Write and Verify against the board on a serial port.
struct TransferOptions {
    std::string port;
    std::optional<std::string> trace;
};

// Reads the pager into FILE, written only when the Read succeeds.
int runRead(const std::string& path, const TransferOptions& options);
// Writes FILE into the pager and verifies it; with repeat, one pager after
// another until the user stops, one log line per pager on stdout.
int runWrite(const std::string& path, const TransferOptions& options, bool repeat);
// Compares the pager with FILE byte for byte; with asWritten, with FILE as a
// Write to this pager's firmware stores it.
int runVerify(const std::string& path, const TransferOptions& options, bool asWritten);
