#pragma once

#include <optional>
#include <string>

// The window's Read, Write and Verify against the board on a serial port.
struct TransferOptions {
    std::string port;
    std::optional<std::string> trace;
};

// Reads the pager into FILE, written only when the Read succeeds: what the
// window's Save writes after a Read, or with raw the pager's bytes untouched.
int runRead(const std::string& path, const TransferOptions& options, bool raw);
// Per-pager values of a batch: a CSV sheet of field values, one row a pager,
// started at fromRow (1 = the first data row).
struct BatchOptions {
    std::optional<std::string> each;
    int fromRow = 1;
    bool userTones = false;
    bool allowOverlap = false;
    // A fleet record: each row's result appended, a base line first into a
    // new one.
    std::optional<std::string> record;
};

// Writes FILE, taken as the window takes it on Open, into the pager and
// verifies it; with repeat, one pager after another until the user stops
// (or, with a sheet, to its last row), one log line per pager on stdout.
int runWrite(const std::string& path, const TransferOptions& options, bool repeat,
             const BatchOptions& batch = {});
// Compares the pager with FILE as the window takes it on Open, byte for
// byte; with asWritten, with that image as a Write to this pager's firmware
// stores it.
int runVerify(const std::string& path, const TransferOptions& options, bool asWritten);
// Reads the pager as the window's Read does, writing nothing, and prints its
// field-level differences from FILE, both as the window takes them; 0 equal,
// 1 different, the transfer codes when the read fails.
int runDiffWithPager(const std::string& path, const TransferOptions& options, bool json);
