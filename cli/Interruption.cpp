#include "cli/Interruption.h"

namespace {

// A signal handler can reach nothing but objects of static storage.
volatile std::sig_atomic_t received = 0;
volatile std::sig_atomic_t firstSignal = 0;

extern "C" void countSignal(int signal) {
    if (received == 0) {
        firstSignal = signal;
    }
    received = received + 1;
#ifdef _WIN32
    // The C runtime puts the default back before calling a handler; a second
    // Ctrl+C must be counted too.
    std::signal(signal, countSignal);
#endif
}

} // namespace

#ifdef _WIN32
Interruption::Interruption() {
    received = 0;
    firstSignal = 0;
    previousInt_ = std::signal(SIGINT, countSignal);
    previousTerm_ = std::signal(SIGTERM, countSignal);
}

Interruption::~Interruption() {
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
}
#else
Interruption::Interruption() {
    received = 0;
    firstSignal = 0;
    struct sigaction action {};
    action.sa_handler = countSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait on the line or on the terminal returns at once.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGHUP, &action, &previousHup_);
}

Interruption::~Interruption() {
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGHUP, &previousHup_, nullptr);
}
#endif

int Interruption::count() const {
    return received;
}

int Interruption::exitCode() const {
    return 128 + (firstSignal != 0 ? firstSignal : SIGINT);
}
