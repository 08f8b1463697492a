#pragma once

#include <csignal>

// SIGINT, SIGTERM and SIGHUP (the terminal closed, the SSH connection
// dropped) while a command talks to the board: counted instead of
// ending the process at once, so that a pager being written is finished (or
// at least told about) and the port gets its own settings back at close.
class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // Signals received so far.
    int count() const;
    // 128 + the first signal's number, as a shell reports a process it ended.
    int exitCode() const;

private:
#ifdef _WIN32
    using Handler = void (*)(int);
    Handler previousInt_ = nullptr;
    Handler previousTerm_ = nullptr;
#else
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    struct sigaction previousHup_ {};
#endif
};

// Thrown out of a transfer's wait to abandon it.
struct EInterrupted {};
