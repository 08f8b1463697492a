// The start-up search with silent ports listed before one emulated board:
// how long it takes next to one silence bound, the time a board that does not
// answer may keep the line quiet (101 waits of 30 ms).

#include "bench/QuietView.h"
#include "link/Operations.h"
#include "model/DefaultImage.h"
#include "sim/BoardEmulator.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kRuns = 3;
constexpr std::array kSilentCounts{0, 1, 4, 16};
constexpr double kBoundTarget = 1.10;
constexpr double kBoardFirstTarget = 0.2;

// A port that opens and never answers: a pseudo-terminal nobody serves.
class SilentPort {
public:
    SilentPort() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        path_ = ::ptsname(master_);
    }
    ~SilentPort() { ::close(master_); }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;

    const std::string& path() const { return path_; }

private:
    int master_;
    std::string path_;
};

} // namespace

int main() {
    BoardEmulator board;
    const ConfigImage memory = freshPagerImage();
    board.setMemory(memory);
    board.setPaced(true);
    board.start();

    TCommPort port;
    QuietView view;
    ConfigImage image = memory;
    const LinkTiming timing;
    PagerOperations operations{port, view, image, makeVersionTag(kWindowCaption), timing};
    const double bound = Seconds(timing.pollInterval * timing.pollCount).count();

    std::printf("Board search: silent ports, then the emulated board paced at 9600 baud; "
                "one silence bound = %.2f s; median of %d runs\n",
                bound, kRuns);
    std::printf("%-13s %11s %9s  %s\n", "silent ports", "search ms", "x bound", "found");
    bool met = true;
    for (const int silentCount : kSilentCounts) {
        std::vector<SilentPort> silent(static_cast<std::size_t>(silentCount));
        std::vector<std::string> names;
        for (const SilentPort& quiet : silent) {
            names.push_back(quiet.path());
        }
        names.push_back(board.slavePath());

        std::vector<double> runs;
        bool found = true;
        for (int i = 0; i < kRuns; ++i) {
            const auto began = Clock::now();
            const OperationOutcome outcome = operations.findBoard(names);
            runs.push_back(Seconds(Clock::now() - began).count());
            found = found && outcome.portIndex == names.size() - 1;
            port.closeDevice();
        }
        std::ranges::sort(runs);
        const double median = runs[runs.size() / 2];
        const double ratio = median / bound;
        met =
            met && found && (silentCount == 0 ? median < kBoardFirstTarget : ratio <= kBoundTarget);
        std::printf("%-13d %11.1f %9.3f  %s\n", silentCount, median * 1e3, ratio,
                    found ? "the board" : "NOT the board");
    }
    std::printf("Targets (<= %.2f x bound with silent ports, < %.1f s with the board first): %s\n",
                kBoundTarget, kBoardFirstTarget, met ? "met" : "NOT met");
    return 0;
}
