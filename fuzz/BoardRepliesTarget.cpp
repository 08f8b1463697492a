// Board replies from the input, over the real port on a pseudo-terminal,
// through every exchange of the board protocol.
#include "fuzz/ScriptedBoard.h"
#include "link/LineSettings.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"
#include "model/DefaultImage.h"
#include "tests/link/RecordingView.h"

#include <chrono>
#include <cstdlib>

namespace {

using namespace std::chrono_literals;

constexpr LinkTiming kShortSilence{3, 1ms};

// A failed exchange must say so, and a good one must not leave it set.
void expectConsistent(bool succeeded, const BoardProtocol& protocol) {
    if (succeeded == protocol.linkFailed()) {
        std::abort();
    }
}

void runExchanges(BoardProtocol& protocol, ConfigImage& image) {
    expectConsistent(protocol.probeBoard(), protocol);
    expectConsistent(protocol.queryFirmwareVersion(image).has_value(), protocol);
    protocol.queryModel();
    expectConsistent(protocol.queryBoardVersion().has_value(), protocol);
    expectConsistent(protocol.readBlock(image, 0, 128), protocol);
    expectConsistent(protocol.readBlock(image, 128, 128), protocol);
    expectConsistent(protocol.verifyBlock(image, 0, 128), protocol);
    expectConsistent(protocol.writeBlock(image, 248, 8), protocol);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ScriptedBoard board(parseReplyScript({data, size}), freshPagerImage());
    TCommPort port;
    RecordingView view;
    BoardProtocol protocol(port, view, kShortSilence);
    ConfigImage image = freshPagerImage();
    try {
        port.reopen(kBaud, board.slavePath(), kFrameMode8N1);
        runExchanges(protocol, image);
    } catch (const ECommError&) {
        // A port failure is a reported outcome, not a fault.
    }
    return 0;
}
