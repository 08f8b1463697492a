// The Windows serial port against px520-sim: the test runs under Wine with
// the emulator's pseudo-terminal behind the COM port in PX520_TEST_PORT.

#include "link/CommErrorText.h"
#include "link/Operations.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"
#include "model/DefaultImage.h"
#include "tests/link/RecordingView.h"
#include "tests/support/CommFailure.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

bool underWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class BoardPort : public ::testing::Test {
protected:
    void SetUp() override {
        const char* given = std::getenv("PX520_TEST_PORT");
        if (given == nullptr) {
            GTEST_SKIP() << "PX520_TEST_PORT names no COM port with px520-sim behind it";
        }
        name = given;
    }

    // Sends the board test's request and waits for the whole reply. What an
    // earlier test left on the line goes first, as before every request.
    std::size_t probeAndWait(TCommPort& port) {
        port.purgeQueues();
        FrameBuffer frame{};
        port.sendBytes(std::span(frame).first(buildProbeFrame(frame)));
        const auto deadline = Clock::now() + std::chrono::seconds(2);
        while (port.bytesWaiting() < kProbeReplySize && Clock::now() < deadline) {
            port.waitForInput(std::chrono::milliseconds(30));
        }
        return port.bytesWaiting();
    }

    std::string name;
};

TEST_F(BoardPort, ReadWriteAndVerifyRunThroughTheComPort) {
    TCommPort port;
    RecordingView view;
    ConfigImage image = freshPagerImage();
    PagerOperations operations{port, view, image};
    for (const auto& [what, run] : std::vector<
             std::pair<const char*, OperationOutcome (PagerOperations::*)(const std::string&)>>{
             {"read", &PagerOperations::readPager},
             {"write", &PagerOperations::writePager},
             {"verify", &PagerOperations::verifyPager}}) {
        SCOPED_TRACE(what);
        const OperationOutcome outcome = (operations.*run)(name);
        EXPECT_EQ(outcome.result, OperationResult::Success);
        EXPECT_FALSE(port.isOpen());
    }
}

TEST_F(BoardPort, ReplyIsCountedWaitingReadAndPurged) {
    TCommPort port;
    std::vector<std::uint8_t> traced;
    port.setTrace([&](TCommPort::Direction direction, std::span<const std::uint8_t> bytes) {
        if (direction == TCommPort::Direction::Received) {
            traced.insert(traced.end(), bytes.begin(), bytes.end());
        }
    });
    port.reopen(9600, name, 1);
    ASSERT_EQ(probeAndWait(port), kProbeReplySize);
    std::array<std::uint8_t, kProbeReplySize> reply{};
    for (auto& byte : reply) {
        byte = port.readByte();
    }
    EXPECT_TRUE(probeAnswered(reply));
    EXPECT_EQ(traced, std::vector<std::uint8_t>(reply.begin(), reply.end()));
    EXPECT_EQ(port.bytesWaiting(), 0U);

    ASSERT_EQ(probeAndWait(port), kProbeReplySize);
    port.purgeQueues();
    EXPECT_EQ(port.bytesWaiting(), 0U);
}

// The byte that ended a wait is the first byte read, not lost.
TEST_F(BoardPort, WaitKeepsTheByteItWaitedFor) {
    TCommPort port;
    port.reopen(9600, name, 1);
    port.purgeQueues();
    FrameBuffer frame{};
    port.sendBytes(std::span(frame).first(buildProbeFrame(frame)));
    port.waitForInput(std::chrono::seconds(2));
    ASSERT_GE(port.bytesWaiting(), 1U);
    EXPECT_EQ(port.readByte(), 'K');
}

TEST_F(BoardPort, OpenPortKeepsItsNameAndAnOpenAgainDoesNothing) {
    TCommPort port;
    port.reopen(9600, name, 1);
    EXPECT_EQ(failureOf([&] { port.setPortName("COM1"); }), CommFail::SetPortName);
    EXPECT_EQ(port.portName(), name);
    port.openDevice();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(probeAndWait(port), kProbeReplySize);
    port.closeDevice();
    EXPECT_FALSE(port.isOpen());
    port.closeDevice();
}

TEST_F(BoardPort, SecondOpenOfAHeldPortIsRefused) {
    if (underWine()) {
        GTEST_SKIP() << "Wine does not enforce CreateFileA's exclusive share mode on a serial "
                        "device; Windows refuses the second open with access denied";
    }
    TCommPort first;
    first.reopen(9600, name, 1);
    TCommPort second;
    try {
        second.reopen(9600, name, 1);
        ADD_FAILURE() << "opened twice";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.FailCode, CommFail::Open);
        EXPECT_EQ(openFailureAdvice(error), "\\\\.\\" + name + " is in use by another program.");
    }
}

TEST(ComPort, MissingPortFailsToOpenWithTheSystemsReason) {
    TCommPort port;
    try {
        port.reopen(9600, "COM199", 1);
        ADD_FAILURE() << "opened";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.FailCode, CommFail::Open);
        EXPECT_EQ(error.SystemError, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(error.Device, "\\\\.\\COM199");
        EXPECT_EQ(commErrorReason(error),
                  "\\\\.\\COM199 does not exist or its adapter is unplugged.");
    }
    EXPECT_FALSE(port.isOpen());
}

TEST(ComPort, NamesOpenAsDevicePathsAndRatesWaitForTheOpen) {
    TCommPort port;
    EXPECT_EQ(port.devicePath(), "\\\\.\\COM1");
    port.setPortName("COM12");
    EXPECT_EQ(port.devicePath(), "\\\\.\\COM12");
    port.setPortName("\\\\.\\COM3");
    EXPECT_EQ(port.devicePath(), "\\\\.\\COM3");
    port.setBaud(19200);
    EXPECT_EQ(port.baud(), 19200);
    EXPECT_FALSE(port.isOpen());
}

TEST(ComPort, EveryLineOperationNeedsAnOpenPort) {
    TCommPort port;
    const std::vector<std::uint8_t> one{1};
    for (const auto& operation : std::vector<std::function<void()>>{
             [&] { port.sendBytes(one); },
             [&] { port.readByte(); },
             [&] { port.bytesWaiting(); },
             [&] { port.purgeQueues(); },
         }) {
        EXPECT_EQ(failureOf(operation), CommFail::NotOpen);
    }
}

} // namespace
