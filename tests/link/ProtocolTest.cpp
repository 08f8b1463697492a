#include "link/Protocol.h"
#include "model/ByteMap.h"
#include "sim/BoardEmulator.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/link/RecordingView.h"
#include "tests/link/WaitUntil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// About half a second before a silent board counts as silent: the answering
// thread may wait that long for the processor on a loaded machine.
constexpr LinkTiming kFast{101, 5ms};

Bytes withPreamble(Bytes tail) {
    Bytes bytes(kPreamble.begin(), kPreamble.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

// A reply to a read: any preamble, the header bytes, data and their sum.
Bytes readReply(const Bytes& data, std::uint8_t target = kTargetPager) {
    Bytes tail{target, kOperationRead, static_cast<std::uint8_t>(data.size())};
    tail.insert(tail.end(), data.begin(), data.end());
    const unsigned sum = std::accumulate(tail.begin(), tail.end(), 0U);
    tail.push_back(static_cast<std::uint8_t>(sum >> 8));
    tail.push_back(static_cast<std::uint8_t>(sum));
    return withPreamble(tail);
}

ConfigImage countingImage() {
    ConfigImage image{};
    std::iota(image.begin(), image.end(), std::uint8_t{0});
    return image;
}

// The test answers on the master side of a pseudo-terminal: each reply goes
// on the line once the request has come in whole, as a board sends it, so
// the tool's discarding of stray bytes before a request cannot take it.
class ProtocolOnLine : public ::testing::Test {
protected:
    ProtocolOnLine() { port.reopen(9600, pty.slavePath(), 1); }
    ~ProtocolOnLine() override { joinResponder(); }

    void answerNext(Bytes reply) {
        joinResponder();
        responder = std::thread([this, reply = std::move(reply)] {
            Bytes frame = pty.read(kHeaderSize);
            if (frame.size() == kHeaderSize) {
                const Bytes rest = pty.read(frame.back() + 2U);
                frame.insert(frame.end(), rest.begin(), rest.end());
            }
            request = std::move(frame);
            pty.write(reply);
        });
    }
    // The request the last answer went to.
    Bytes answeredRequest() {
        joinResponder();
        return request;
    }
    // Whatever else the tool put on the line.
    Bytes extra() {
        joinResponder();
        pollfd entry{pty.master(), POLLIN, 0};
        return ::poll(&entry, 1, 50) > 0 ? pty.read(4096) : Bytes{};
    }
    void joinResponder() {
        if (responder.joinable()) {
            responder.join();
        }
    }

    PseudoTerminal pty;
    TCommPort port;
    RecordingView view;
    // Times the protocol let the user interface run while it waited.
    int eventsProcessed = 0;
    BoardProtocol protocol{port, view, kFast, [this] { ++eventsProcessed; }};
    std::thread responder;
    Bytes request;
};

struct RequestCase {
    const char* name;
    std::function<bool(BoardProtocol&)> exchange;
    Bytes request; // after the preamble
    Bytes reply;
};

TEST_F(ProtocolOnLine, EachExchangeSendsItsFrameAndTakesItsReply) {
    ConfigImage image = countingImage();
    const Bytes stored{image.begin() + 8, image.begin() + 16};
    const unsigned storeSum = 0x98 + std::accumulate(stored.begin(), stored.end(), 0U);
    Bytes storeRequest{0x33, 0x53, 0x0A, 0x00, 0x08};
    storeRequest.insert(storeRequest.end(), stored.begin(), stored.end());
    storeRequest.push_back(static_cast<std::uint8_t>(storeSum >> 8));
    storeRequest.push_back(static_cast<std::uint8_t>(storeSum));
    const Bytes secondHalf(image.begin() + 128, image.end());

    const std::vector<RequestCase> cases{
        {"probe",
         [](BoardProtocol& p) { return p.probeBoard(); },
         {0x33, 0x52, 0x03, 0x00, 0x00, 0x00, 0x00, 0x88},
         readReply({})},
        {"firmware",
         [&](BoardProtocol& p) { return p.queryFirmwareVersion(image).has_value(); },
         {0x33, 0x52, 0x03, 0x00, 0x01, 0x02, 0x00, 0x8B},
         readReply({1, 83})},
        {"model",
         [](BoardProtocol& p) { return p.queryModel() == ModelQuery::Px520; },
         {0x33, 0x52, 0x03, 0x00, 0xF0, 0x0E, 0x01, 0x86},
         readReply({'P', 'X', '5', '2', '0', 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"board version",
         [](BoardProtocol& p) { return p.queryBoardVersion().has_value(); },
         {0x35, 0x52, 0x03, 0x00, 0x00, 0x02, 0x00, 0x8C},
         readReply({2, 7}, kTargetBoard)},
        {"block read at 128",
         [&](BoardProtocol& p) { return p.readBlock(image, 128, 128); },
         {0x33, 0x52, 0x03, 0x00, 0x80, 0x80, 0x01, 0x88},
         readReply(secondHalf)},
        {"block verify at 128",
         [&](BoardProtocol& p) { return p.verifyBlock(image, 128, 128); },
         {0x33, 0x52, 0x03, 0x00, 0x80, 0x80, 0x01, 0x88},
         readReply(secondHalf)},
        {"store at 8", [&](BoardProtocol& p) { return p.writeBlock(image, 8, 8); }, storeRequest,
         Bytes(kStoreAcknowledgement.begin(), kStoreAcknowledgement.end())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answerNext(c.reply);
        EXPECT_TRUE(c.exchange(protocol));
        EXPECT_FALSE(protocol.linkFailed());
        EXPECT_EQ(answeredRequest(), withPreamble(c.request));
    }
    EXPECT_EQ(image[field::VersionMajor], 1);
    EXPECT_EQ(image[field::VersionMinor], 83);
    EXPECT_EQ(view.versionText, "1.83");
    EXPECT_EQ(view.repaints, 6) << "every exchange but the verify repaints the progress bar";
    EXPECT_EQ(extra(), Bytes{}) << "nothing beyond the frames went on the line";
}

TEST_F(ProtocolOnLine, ProbeTakesAnyFifteenBytesWhoseSumMatches) {
    Bytes reply = readReply({});
    std::fill_n(reply.begin(), kPreamble.size(), 'x');
    answerNext(reply);
    EXPECT_TRUE(protocol.probeBoard());

    reply[11] = 0x01; // sum no longer matches
    answerNext(reply);
    EXPECT_FALSE(protocol.probeBoard());
    EXPECT_TRUE(protocol.linkFailed());
}

TEST_F(ProtocolOnLine, StoreAcknowledgementMustMatchInEveryByte) {
    const ConfigImage image{};
    for (std::size_t i = 0; i < kStoreAcknowledgement.size(); ++i) {
        SCOPED_TRACE(i);
        Bytes ack(kStoreAcknowledgement.begin(), kStoreAcknowledgement.end());
        ack[i] ^= 0x20;
        answerNext(ack);
        EXPECT_FALSE(protocol.writeBlock(image, 0, 8));
        EXPECT_TRUE(protocol.linkFailed());
    }
}

TEST_F(ProtocolOnLine, BadReplySumLeavesTheDestinationUntouched) {
    Bytes reply = readReply(Bytes(128, 0xAA));
    ++reply.back();
    answerNext(reply);
    ConfigImage image{};
    EXPECT_FALSE(protocol.readBlock(image, 0, 128));
    EXPECT_TRUE(protocol.linkFailed());
    EXPECT_EQ(image, ConfigImage{});
}

// The rest of a reply to a killed exchange may still come in; it must not be
// read as the start of the next reply.
TEST_F(ProtocolOnLine, StrayBytesBeforeARequestAreDiscarded) {
    pty.write(Bytes{0x4E, 0x86, 0x00, 0x01});
    waitUntil([this] { return port.bytesWaiting() >= 4; });
    ASSERT_EQ(port.bytesWaiting(), 4U);
    answerNext(readReply({1, 86}));
    ConfigImage image{};
    const auto version = protocol.queryFirmwareVersion(image);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text(), "1.86");
}

// A reply whose sum matches but that answers another target, operation or
// count is a failed exchange, never a value.
TEST_F(ProtocolOnLine, AReplyMustAnswerItsRequest) {
    const auto withSum = [](Bytes reply) {
        const unsigned sum = std::accumulate(reply.begin() + kPreamble.size(), reply.end() - 2, 0U);
        reply[reply.size() - 2] = static_cast<std::uint8_t>(sum >> 8);
        reply.back() = static_cast<std::uint8_t>(sum);
        return reply;
    };
    Bytes otherTarget = readReply({1, 86});
    otherTarget[10] = kTargetBoard;
    Bytes otherOperation = readReply({1, 86});
    otherOperation[11] = kOperationStore;
    Bytes otherCount = readReply({1, 86});
    otherCount[12] = 3;
    for (const Bytes& reply : {withSum(otherTarget), withSum(otherOperation), withSum(otherCount)}) {
        ASSERT_TRUE(replySumMatches(reply));
        ConfigImage image = countingImage();
        answerNext(reply);
        EXPECT_FALSE(protocol.queryFirmwareVersion(image));
        EXPECT_TRUE(protocol.linkFailed());
        EXPECT_EQ(image, countingImage());
    }
}

TEST_F(ProtocolOnLine, ReplyCutShortTimesOutPurgesAndResetsProgress) {
    view.setProgressPosition(128);
    Bytes reply = readReply({});
    reply.resize(14);
    answerNext(reply);
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(protocol.probeBoard());
    const auto waited = std::chrono::steady_clock::now() - began;

    EXPECT_TRUE(protocol.linkFailed());
    EXPECT_EQ(view.progressPosition(), 0);
    EXPECT_GE(waited, kFast.pollInterval * kFast.pollCount);
    // Blocking on the line, not spinning: about one event pass per interval.
    EXPECT_GT(eventsProcessed, 0);
    EXPECT_LE(eventsProcessed, 2 * kFast.pollCount);
}

TEST_F(ProtocolOnLine, ReplyLongerThanAskedLeavesTheRestOnTheLine) {
    Bytes reply = readReply({9, 9});
    reply.resize(600, 0x5A);
    answerNext(reply);
    std::array<std::uint8_t, 4> version{};
    EXPECT_TRUE(protocol.readBytes(kTargetPager, version, 1, 2));
    EXPECT_EQ(version, (std::array<std::uint8_t, 4>{9, 9, 0, 0}));
    waitUntil([&] { return port.bytesWaiting() >= 600U - 17U; });
    EXPECT_EQ(port.bytesWaiting(), 600U - 17U);
}

TEST_F(ProtocolOnLine, VerifyStopsAtTheFirstDifference) {
    const ConfigImage image = countingImage();
    Bytes data(image.begin(), image.begin() + 128);
    data[5] ^= 0xFF;
    answerNext(readReply(data));
    EXPECT_FALSE(protocol.verifyBlock(image, 0, 128));
    EXPECT_TRUE(protocol.linkFailed());
}

TEST_F(ProtocolOnLine, FailedVersionQueryChangesNothing) {
    ConfigImage image = countingImage();
    view.versionText = "1.86";
    Bytes reply = readReply({1, 9});
    ++reply.back();
    answerNext(reply);
    EXPECT_FALSE(protocol.queryFirmwareVersion(image));
    EXPECT_EQ(image, countingImage());
    EXPECT_EQ(view.versionText, "1.86");
    EXPECT_FALSE(view.versionVisible);
}

TEST_F(ProtocolOnLine, VersionTextAndNumberFollowTheBoardTool) {
    struct Case {
        std::uint8_t major, minor;
        const char* text;
        int hundredths;
    };
    for (const auto& c :
         {Case{1, 9, "1.9", 190}, Case{1, 83, "1.83", 183}, Case{1, 100, "1.100", 110}}) {
        SCOPED_TRACE(c.text);
        ConfigImage image{};
        answerNext(readReply({c.major, c.minor}));
        const auto version = protocol.queryFirmwareVersion(image);
        ASSERT_TRUE(version);
        EXPECT_EQ(version->hundredths(), c.hundredths);
        EXPECT_EQ(view.versionText, c.text);
        EXPECT_TRUE(view.versionVisible);
        EXPECT_EQ(image[field::VersionMinor], c.minor);
    }
}

TEST_F(ProtocolOnLine, ClosedPortSendsNothingAndFails) {
    port.closeDevice();
    protocol.sendFrame(kStoreAcknowledgement);
    EXPECT_FALSE(protocol.probeBoard());
    EXPECT_TRUE(protocol.linkFailed());
    EXPECT_EQ(extra(), Bytes{});
}

TEST_F(ProtocolOnLine, BlocksOutsideTheImageOrTheFrameAreRefused) {
    ConfigImage image{};
    std::array<std::uint8_t, 200> large{};
    EXPECT_THROW(protocol.readBlock(image, 200, 128), std::out_of_range);
    EXPECT_THROW(protocol.writeBlock(image, -8, 8), std::out_of_range);
    EXPECT_THROW(protocol.readBytes(kTargetPager, large, 0, kMaxReadCount + 1), std::length_error);
    EXPECT_THROW(protocol.writeBlock(image, 0, kMaxStoreCount + 1), std::length_error);
    EXPECT_THROW(protocol.readBytes(kTargetPager, std::span(large).first(4), 0, 5),
                 std::out_of_range);
    EXPECT_EQ(extra(), Bytes{});
}

TEST_F(ProtocolOnLine, WaitKeepsEventsFlowingForItsWholeLength) {
    const auto began = std::chrono::steady_clock::now();
    protocol.waitMs(10);
    EXPECT_GE(std::chrono::steady_clock::now() - began, 10ms);
    EXPECT_GT(eventsProcessed, 0);
}

// Against the emulated board.
class ProtocolWithBoard : public ::testing::Test {
protected:
    ProtocolWithBoard() {
        board.start();
        port.reopen(9600, board.slavePath(), 1);
    }

    BoardEmulator board;
    TCommPort port;
    RecordingView view;
    BoardProtocol protocol{port, view, kFast};
};

TEST_F(ProtocolWithBoard, ModelTagGivesTheThreeOutcomes) {
    struct Case {
        const char* tag;
        ModelQuery outcome;
        const char* name;
    };
    for (const auto& c :
         {Case{"PX520 V3.8.2", ModelQuery::Px520, ""}, Case{"PX520", ModelQuery::Px520, ""},
          Case{"", ModelQuery::NoTag, ""}, Case{"KX300 V1.0", ModelQuery::OtherModel, "KX300 V1.0"},
          Case{"ABCDEFGHIJKLMNOP", ModelQuery::OtherModel, "ABCDEFGHIJKLMN"}}) {
        SCOPED_TRACE(c.tag);
        board.setModelTag(c.tag);
        protocol.clearModelName();
        EXPECT_EQ(protocol.queryModel(), c.outcome);
        EXPECT_EQ(protocol.modelName(), c.name);
    }
}

TEST_F(ProtocolWithBoard, FailedModelQueryIsAnotherModelWithoutName) {
    board.setModelTag("KX300");
    BoardFaults faults;
    faults.badChecksumExchange = 1;
    board.setFaults(faults);
    EXPECT_EQ(protocol.queryModel(), ModelQuery::OtherModel);
    EXPECT_EQ(protocol.modelName(), "");
    EXPECT_TRUE(protocol.linkFailed());
}

TEST_F(ProtocolWithBoard, BlocksRoundTripThroughThePagerMemory) {
    const ConfigImage image = countingImage();
    for (int address = 0; address < 256; address += 8) {
        ASSERT_TRUE(protocol.writeBlock(image, address, 8));
    }
    EXPECT_EQ(board.memory(), image);
    ConfigImage back{};
    EXPECT_TRUE(protocol.readBlock(back, 0, 128));
    EXPECT_TRUE(protocol.readBlock(back, 128, 128));
    EXPECT_EQ(back, image);
    EXPECT_TRUE(protocol.verifyBlock(image, 128, 128));

    BoardFaults faults;
    faults.differingAddress = 200;
    board.setFaults(faults);
    EXPECT_FALSE(protocol.verifyBlock(image, 128, 128));
    EXPECT_TRUE(protocol.linkFailed());
}

TEST_F(ProtocolWithBoard, BoardReportsItsOwnVersion) {
    board.setBoardVersion(2, 15);
    const auto version = protocol.queryBoardVersion();
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text(), "2.15");
    EXPECT_EQ(board.requests().back(), (BoardRequest{kTargetBoard, kOperationRead, 0, 2}));
}

TEST_F(ProtocolWithBoard, GarbageBeforeTheReplyFailsTheExchange) {
    BoardFaults faults;
    faults.garbageExchange = 1;
    faults.garbageBytes = 3;
    board.setFaults(faults);
    EXPECT_FALSE(protocol.probeBoard());
    EXPECT_TRUE(protocol.linkFailed());
}

TEST_F(ProtocolWithBoard, HungUpLineThrows) {
    BoardFaults faults;
    faults.hangUpAfter = 1;
    board.setFaults(faults);
    EXPECT_TRUE(protocol.probeBoard());
    EXPECT_THROW(protocol.probeBoard(), ECommError);
    EXPECT_TRUE(board.hungUp());
}

TEST_F(ProtocolWithBoard, BoardServesAgainAfterAStop) {
    board.stop();
    board.start();
    EXPECT_TRUE(protocol.probeBoard());
}

TEST(BoardEmulatorLine, AnswersOnlyOnceTheLineIsRaw) {
    BoardEmulator board;
    board.start();
    const int slave = ::open(board.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(slave, 0);
    Bytes probe(kReadRequestSize);
    buildFrame(probe, kTargetPager, kOperationRead, Bytes{0, 0, 0});
    ASSERT_EQ(::write(slave, probe.data(), probe.size()), static_cast<ssize_t>(probe.size()));

    ASSERT_TRUE(waitUntil([&] { return board.exchanges() != 0; }));
    ASSERT_EQ(board.exchanges(), 1U);
    // Silence sends no event to wait for: an answer on a raw line takes well
    // under a millisecond, so 50 ms without one shows the board holds it.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(board.bytesSent(), 0U) << "answered a line that still echoes";

    termios line{};
    ASSERT_EQ(::tcgetattr(slave, &line), 0);
    ::cfmakeraw(&line);
    ASSERT_EQ(::tcsetattr(slave, TCSANOW, &line), 0);
    Bytes reply;
    std::array<std::uint8_t, 64> buffer{};
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (reply.size() < 15 && std::chrono::steady_clock::now() < deadline) {
        pollfd entry{slave, POLLIN, 0};
        ::poll(&entry, 1, 50);
        const ssize_t got = ::read(slave, buffer.data(), buffer.size());
        if (got > 0) {
            reply.insert(reply.end(), buffer.begin(), buffer.begin() + got);
        }
    }
    ::close(slave);
    EXPECT_EQ(reply, readReply({}));
}

} // namespace
