// Read, Write and Verify against the emulated board paced like a 9600-baud
// line: how close each comes to the time its bytes need on the wire, and how
// much processor time the tool's thread spends waiting for them; with the
// reply bytes held back as a USB serial adapter does for 0, 1 and 16 ms (its
// latency timer with low latency granted, and its default under Linux).

#include "bench/QuietView.h"
#include "link/OperationMessages.h"
#include "link/Operations.h"
#include "model/DefaultImage.h"
#include "sim/BoardEmulator.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kRuns = 5;
constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 9600.0;
constexpr double kStorePauses = 32 * 0.010;
constexpr std::array kAdapterLatenciesMs{0, 1, 16};

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Figures {
    double wall = 0;
    double wire = 0;
    double cpu = 0;
    std::string outcome;
};

struct Operation {
    const char* name;
    OperationOutcome (PagerOperations::*run)(const std::string&);
    double pauses;
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
    const std::string portName = board.slavePath();
    ConfigImage image = memory;
    PagerOperations operations{port, view, image};

    std::printf("Link benchmark: emulated board paced at 9600 baud, median of %d runs\n", kRuns);
    std::printf("%-7s %10s %9s %9s %7s %9s %7s  %s\n", "", "latency ms", "wall ms", "wire ms",
                "ratio", "CPU ms", "CPU %", "outcome");
    bool met = true;
    for (const int latencyMs : kAdapterLatenciesMs) {
        board.setReplyLatency(std::chrono::milliseconds(latencyMs));
        for (const Operation& operation :
             {Operation{"Read", &PagerOperations::readPager, 0.0},
              Operation{"Write", &PagerOperations::writePager, kStorePauses},
              Operation{"Verify", &PagerOperations::verifyPager, 0.0}}) {
            std::vector<Figures> runs;
            for (int i = 0; i < kRuns; ++i) {
                const auto bytes = board.bytesReceived() + board.bytesSent();
                const double cpu = threadCpuSeconds();
                const auto began = Clock::now();
                const OperationOutcome outcome = (operations.*operation.run)(portName);
                Figures figures;
                figures.wall = Seconds(Clock::now() - began).count();
                figures.cpu = threadCpuSeconds() - cpu;
                const auto moved = board.bytesReceived() + board.bytesSent() - bytes;
                figures.wire = static_cast<double>(moved) * kBitsPerByte / kBaud + operation.pauses;
                figures.outcome = outcomeMessage(outcome).value_or(OutcomeMessage{}).text;
                runs.push_back(figures);
            }
            std::ranges::sort(runs, {}, &Figures::wall);
            const Figures& median = runs[runs.size() / 2];
            const double ratio = median.wall / median.wire;
            const double cpuShare = 100.0 * median.cpu / median.wall;
            if (latencyMs <= 1) {
                met = met && ratio <= 1.10 && cpuShare < 5.0;
            }
            std::printf("%-7s %10d %9.1f %9.1f %7.3f %9.2f %7.2f  %s\n", operation.name, latencyMs,
                        median.wall * 1e3, median.wire * 1e3, ratio, median.cpu * 1e3, cpuShare,
                        median.outcome.c_str());
        }
    }
    std::printf("Targets at 0 and 1 ms (wall <= 1.10 x wire, CPU < 5 %% of wall): %s\n",
                met ? "met" : "NOT met");
    return 0;
}
