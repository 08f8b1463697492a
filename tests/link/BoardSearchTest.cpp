#include "link/OperationMessages.h"
#include "link/Operations.h"
#include "model/DefaultImage.h"
#include "sim/BoardEmulator.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/link/RecordingView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr LinkTiming kFast{101, 2ms};
const BoardRequest kProbe{kTargetPager, kOperationRead, 0, 0};

// Whether this process can take the port for itself: not while any of its
// own ports still holds it.
bool canOpen(const std::string& path) {
    TCommPort other;
    try {
        other.reopen(9600, path, 1);
        return true;
    } catch (const ECommError&) {
        return false;
    }
}

// Takes the probe off the master side, however long the tool takes to open
// the port: until then the master reports a hang-up.
bool awaitProbe(const PseudoTerminal& board) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    std::size_t got = 0;
    while (got < kReadRequestSize && std::chrono::steady_clock::now() < deadline) {
        pollfd entry{board.master(), POLLIN, 0};
        if (::poll(&entry, 1, 100) > 0 && (entry.revents & POLLIN) != 0) {
            got += board.read(kReadRequestSize - got).size();
        } else if (entry.revents != 0) {
            std::this_thread::sleep_for(1ms);
        }
    }
    return got == kReadRequestSize;
}

class BoardSearchTest : public ::testing::Test {
protected:
    TCommPort port;
    RecordingView view;
    ConfigImage image = defaultImage();
    PagerOperations operations{port, view, image, makeVersionTag(kWindowCaption), kFast};
};

// Two boards behind silent and missing ports: the first in list order is
// chosen even when the second answers sooner, and only it stays open.
TEST_F(BoardSearchTest, ChoosesTheFirstAnsweringPortInListOrder) {
    BoardEmulator first;
    BoardEmulator second;
    first.setPaced(true);
    first.start();
    second.start();
    const PseudoTerminal silentA;
    const PseudoTerminal silentB;
    const PseudoTerminal silentC;
    const std::vector<std::string> ports{silentA.slavePath(), "/nonexistent/ttyPX",
                                         silentB.slavePath(), first.slavePath(),
                                         silentC.slavePath(), second.slavePath()};

    const OperationOutcome found = operations.findBoard(ports);

    EXPECT_TRUE(found.succeeded());
    EXPECT_EQ(found.portIndex, 3U);
    EXPECT_FALSE(found.error);
    EXPECT_FALSE(outcomeMessage(found));
    EXPECT_EQ(first.requests(), std::vector{kProbe});
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(port.portName(), first.slavePath());
    EXPECT_FALSE(canOpen(first.slavePath())) << "the chosen port is held as before";
    for (const std::string& other :
         {silentA.slavePath(), silentB.slavePath(), silentC.slavePath(), second.slavePath()}) {
        EXPECT_TRUE(canOpen(other)) << other << " was left open";
    }
    // The port found is the operations' port: a Read goes through it.
    first.setPaced(false);
    EXPECT_TRUE(operations.readPager(first.slavePath()).succeeded());

    const std::vector<std::string> silentOnly{silentA.slavePath(), silentB.slavePath()};
    const OperationOutcome none = operations.findBoard(silentOnly);
    EXPECT_EQ(none.result, OperationResult::BoardSilent);
    EXPECT_EQ(none.failedStep, OperationStep::BoardTest);
    EXPECT_EQ(none.portIndex, std::nullopt);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(canOpen(silentA.slavePath()));
}

// The search judges a reply as the board test does, each byte with its own
// time-out: whatever the one verdict is, the other is the same.
TEST_F(BoardSearchTest, JudgesEachReplyAsTheBoardTestDoes) {
    const auto reply = [](std::uint8_t firstByte, std::uint8_t target = kTargetPager) {
        Bytes bytes(kPreamble.begin(), kPreamble.end());
        bytes.front() = firstByte;
        bytes.insert(bytes.end(), {target, kOperationRead, 0});
        const unsigned sum = std::accumulate(bytes.begin() + 10, bytes.end(), 0U);
        bytes.push_back(static_cast<std::uint8_t>(sum >> 8));
        bytes.push_back(static_cast<std::uint8_t>(sum));
        return bytes;
    };
    struct Case {
        const char* name;
        Bytes bytes;
        std::chrono::milliseconds gap;
        bool answered;
    };
    Bytes badSum = reply('K');
    ++badSum.back();
    Bytes cutShort = reply('K');
    cutShort.pop_back();
    constexpr LinkTiming timing{101, 4ms};
    const std::vector<Case> cases{
        {"good", reply('K'), 0ms, true},
        {"any preamble", reply('x'), 0ms, true},
        {"bad sum", badSum, 0ms, false},
        {"the board's own target", reply('K', kTargetBoard), 0ms, false},
        {"cut short", cutShort, 0ms, false},
        // Longer than one time-out in all, but no gap as long.
        {"slow bytes", reply('K'), 40ms, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PseudoTerminal silent;
        const PseudoTerminal board;
        const auto answer = [&] {
            if (!awaitProbe(board)) {
                return;
            }
            for (const std::uint8_t byte : c.bytes) {
                std::this_thread::sleep_for(c.gap);
                board.write({byte});
            }
        };

        TCommPort alone;
        BoardProtocol protocol(alone, view, timing);
        alone.reopen(9600, board.slavePath(), 1);
        std::thread bytes(answer);
        EXPECT_EQ(protocol.probeBoard(), c.answered);
        bytes.join();
        alone.closeDevice();

        PagerOperations search(port, view, image, makeVersionTag(kWindowCaption), timing);
        const std::vector<std::string> ports{silent.slavePath(), board.slavePath()};
        bytes = std::thread(answer);
        const OperationOutcome found = search.findBoard(ports);
        bytes.join();
        EXPECT_EQ(found.portIndex, c.answered ? std::optional<std::size_t>(1) : std::nullopt);
        EXPECT_EQ(port.isOpen(), c.answered);
        port.closeDevice();
        // Each line has its own settings back once closed, the chosen one too.
        EXPECT_NE(silent.slaveSettings().c_lflag & ICANON, 0U);
        EXPECT_NE(board.slaveSettings().c_lflag & ICANON, 0U);
    }
}

// A board that hangs up before it answers is passed over like a silent one.
TEST_F(BoardSearchTest, PassesOverALineThatHangsUp) {
    BoardEmulator board;
    board.start();
    PseudoTerminal gone;
    const std::vector<std::string> ports{gone.slavePath(), board.slavePath()};
    std::thread hangUp([&] {
        if (awaitProbe(gone)) {
            gone.closeMaster();
        }
    });
    const OperationOutcome found = operations.findBoard(ports);
    hangUp.join();
    EXPECT_EQ(found.portIndex, 1U);
    EXPECT_EQ(port.portName(), board.slavePath());
}

} // namespace
