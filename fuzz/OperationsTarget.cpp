// Whole Read, Write, Verify, board test, search and board version runs
// against a board whose replies come from the input: its first byte picks
// the operation, the rest is the reply script.
#include "fuzz/ScriptedBoard.h"
#include "link/Operations.h"
#include "model/DefaultImage.h"
#include "tests/link/RecordingView.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

using namespace std::chrono_literals;

constexpr LinkTiming kShortSilence{3, 1ms};

enum class Run { Read, Write, Verify, BoardTest, Search, BoardVersion, Count };

// Read, Write and Verify end with the port closed, the bar at 0, the window
// unlocked and the outcome they returned shown (a failed close shows its own
// outcome after an earlier failure).
void expectEndState(const OperationOutcome& outcome, const TCommPort& port,
                    const RecordingView& view) {
    if (port.isOpen() || view.progressPosition() != 0 || !view.windowIsEnabled() ||
        std::ranges::none_of(view.outcomes,
                             [&](const auto& shown) { return shown.result == outcome.result; }) ||
        outcome.succeeded() != !outcome.failedStep.has_value()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto run = static_cast<Run>(data[0] % static_cast<int>(Run::Count));
    const ScriptedBoard board(parseReplyScript({data + 1, size - 1}), freshPagerImage());
    TCommPort port;
    RecordingView view;
    ConfigImage image = freshPagerImage();
    PagerOperations operations(port, view, image, makeVersionTag(kWindowCaption), kShortSilence);
    const std::string portName = board.slavePath();
    switch (run) {
    case Run::Read:
        expectEndState(operations.readPager(portName), port, view);
        break;
    case Run::Write:
        expectEndState(operations.writePager(portName), port, view);
        break;
    case Run::Verify:
        expectEndState(operations.verifyPager(portName), port, view);
        break;
    case Run::BoardTest:
        operations.testBoard(portName);
        break;
    case Run::Search:
        operations.findBoard(std::span(&portName, 1));
        break;
    case Run::BoardVersion:
        operations.boardVersion(portName);
        break;
    case Run::Count:
        break;
    }
    return 0;
}
