#include "link/TCommPort.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/link/WaitUntil.h"
#include "tests/support/CommFailure.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/ioctl.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Delivery through a pseudo-terminal is asynchronous: the bytes the port
// reports once `count` are in, or after two seconds.
std::size_t waitForBytes(TCommPort& port, std::size_t count) {
    waitUntil([&] { return port.bytesWaiting() >= count; });
    return port.bytesWaiting();
}

class CommPortTest : public ::testing::Test {
protected:
    void openPort(int frameMode = 1) { port.reopen(9600, pty.slavePath(), frameMode); }

    PseudoTerminal pty;
    TCommPort port;
};

TEST_F(CommPortTest, BytesTravelBothWaysAndReachTheTrace) {
    std::vector<std::pair<TCommPort::Direction, Bytes>> traced;
    port.setTrace([&](TCommPort::Direction direction, std::span<const std::uint8_t> bytes) {
        traced.emplace_back(direction, Bytes(bytes.begin(), bytes.end()));
    });
    openPort();

    const Bytes request{0x4b, 0x00, 0x0a, 0x0d, 0x11, 0x13, 0xff};
    port.sendBytes(request);
    EXPECT_EQ(pty.read(request.size()), request);

    const Bytes reply{0x00, 0x0d, 0x0a, 0x03, 0x1a, 0x7f, 0x80};
    pty.write(reply);
    ASSERT_EQ(waitForBytes(port, reply.size()), reply.size());
    Bytes received;
    for (std::size_t i = 0; i < reply.size(); ++i) {
        received.push_back(port.readByte());
    }
    EXPECT_EQ(received, reply);
    EXPECT_EQ(port.bytesWaiting(), 0U);

    Bytes tracedOut;
    Bytes tracedIn;
    for (const auto& [direction, bytes] : traced) {
        auto& into = direction == TCommPort::Direction::Sent ? tracedOut : tracedIn;
        into.insert(into.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(tracedOut, request);
    EXPECT_EQ(tracedIn, reply);
}

TEST_F(CommPortTest, LineIsRawWithTheFrameOfEachMode) {
    struct Case {
        int frameMode;
        tcflag_t frame;
    };
    for (const auto& [frameMode, frame] : {Case{1, CS8}, Case{2, CS8 | CSTOPB}}) {
        SCOPED_TRACE(frameMode);
        openPort(frameMode);
        const termios tio = pty.slaveSettings();
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0U);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP), 0U);
        EXPECT_EQ(tio.c_oflag & OPOST, 0U);
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS), frame);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
        EXPECT_EQ(cfgetospeed(&tio), B9600);
        EXPECT_EQ(cfgetispeed(&tio), B9600);
    }
}

TEST_F(CommPortTest, OpeningAnOpenPortKeepsItAsItIs) {
    openPort();
    const int descriptor = port.descriptor();
    port.setBaud(19200);
    port.openDevice();
    EXPECT_EQ(port.descriptor(), descriptor);
    EXPECT_EQ(pty.slaveSpeed(), B19200);
}

TEST_F(CommPortTest, RateChangesAreStoredWhileClosedAndAppliedWhileOpen) {
    port.setPortName(pty.slavePath());
    port.setBaud(19200);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.baud(), 19200);

    port.openDevice();
    EXPECT_EQ(pty.slaveSpeed(), B19200);
    port.setBaud(4800);
    EXPECT_EQ(pty.slaveSpeed(), B4800);
}

TEST_F(CommPortTest, UnsupportedRateIsRefusedAndTheOldOneKept) {
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open);
        if (open) {
            openPort();
        }
        EXPECT_EQ(failureOf([&] { port.setBaud(9601); }), CommFail::SetBaud);
        EXPECT_EQ(port.baud(), 9600);
        EXPECT_EQ(port.isOpen(), open);
    }
    EXPECT_EQ(pty.slaveSpeed(), B9600);
}

TEST_F(CommPortTest, NameOfAnOpenPortCannotChange) {
    openPort();
    EXPECT_EQ(failureOf([&] { port.setPortName("ttyS1"); }), CommFail::SetPortName);
    EXPECT_EQ(port.portName(), pty.slavePath());
    EXPECT_TRUE(port.isOpen());
}

TEST_F(CommPortTest, ReopenClosesFirstAndAppliesTheNewFrame) {
    openPort(1);
    openPort(2);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(pty.slaveSettings().c_cflag & CSTOPB, CSTOPB);
}

// A pseudo-terminal forces 8 bits without parity: a frame the device does not
// take is refused rather than run silently in another format.
TEST_F(CommPortTest, FrameTheDeviceCannotRunIsRefused) {
    EXPECT_EQ(failureOf([&] { openPort(0); }), CommFail::SetSettings);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(pty.slaveSettings().c_cflag & (CSIZE | PARENB), CS8);
}

TEST(CommPortNames, BareNamesLiveInDevAndPathsStayAsTheyAre) {
    TCommPort port;
    EXPECT_EQ(port.devicePath(), "/dev/ttyS0");
    port.setPortName("ttyUSB0");
    EXPECT_EQ(port.devicePath(), "/dev/ttyUSB0");
    port.setPortName("/dev/pts/7");
    EXPECT_EQ(port.devicePath(), "/dev/pts/7");
}

TEST(CommPortOpen, FailedOpensLeaveThePortClosed) {
    struct Case {
        const char* path;
        CommFail code;
        int systemError;
    };
    // /dev/null opens and locks but has no line settings.
    for (const auto& [path, code, systemError] :
         {Case{"/dev/px520-no-such-port", CommFail::Open, ENOENT},
          Case{"/dev/null", CommFail::GetSettings, ENOTTY}}) {
        SCOPED_TRACE(path);
        TCommPort port;
        port.setPortName(path);
        try {
            port.openDevice();
            ADD_FAILURE() << "opened";
        } catch (const ECommError& error) {
            EXPECT_EQ(error.FailCode, code);
            EXPECT_EQ(error.SystemError, static_cast<std::uint32_t>(systemError));
            EXPECT_EQ(error.Device, path);
        }
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.descriptor(), -1);
    }
}

TEST(CommPortClosed, EveryLineOperationNeedsAnOpenPort) {
    TCommPort port;
    const Bytes one{1};
    const std::vector<std::function<void()>> operations{
        [&] { port.sendBytes(one); },
        [&] { port.readByte(); },
        [&] { port.bytesWaiting(); },
        [&] { port.purgeQueues(); },
    };
    for (const auto& operation : operations) {
        EXPECT_EQ(failureOf(operation), CommFail::NotOpen);
    }
    port.closeDevice();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CommPortTest, SecondUserIsRefusedUntilTheFirstCloses) {
    // Another descriptor keeps the tty alive, so its exclusive flag would
    // outlive a close that forgot to drop it.
    const int keeper = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(keeper, 0);
    openPort();
    TCommPort second;
    try {
        second.reopen(9600, pty.slavePath(), 1);
        ADD_FAILURE() << "second open succeeded";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.FailCode, CommFail::Open);
        EXPECT_TRUE(error.SystemError == EWOULDBLOCK || error.SystemError == EBUSY) << error.what();
    }
    EXPECT_FALSE(second.isOpen());
    EXPECT_TRUE(port.isOpen());

    port.closeDevice();
    second.reopen(9600, pty.slavePath(), 1);
    EXPECT_TRUE(second.isOpen());
    ::close(keeper);
}

TEST_F(CommPortTest, PurgeDiscardsWaitingBytes) {
    openPort();
    pty.write({1, 2, 3, 4});
    ASSERT_EQ(waitForBytes(port, 4), 4U);
    port.purgeQueues();
    EXPECT_EQ(port.bytesWaiting(), 0U);
    pty.write({5});
    ASSERT_EQ(waitForBytes(port, 1), 1U);
    EXPECT_EQ(port.readByte(), 5);
}

// The rest of a reply to a killed command: bytes at the line's pace, with a
// pause longer than a gap between bytes (an adapter holding a packet back)
// but shorter than a quiet line. Settling takes all of it; nothing is left
// to arrive afterwards.
TEST_F(CommPortTest, SettleTakesTheRestOfAReplyThatIsStillComing) {
    using namespace std::chrono_literals;
    openPort();
    ASSERT_LT(port.byteGap(), 10ms);
    std::thread board([this] {
        for (int i = 0; i < 60; ++i) {
            pty.write({0xAA});
            std::this_thread::sleep_for(i == 30 ? 15ms : 1ms);
        }
    });
    waitForBytes(port, 1);
    port.settle(40ms, 500ms);
    board.join();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(port.bytesWaiting(), 0U);
}

TEST_F(CommPortTest, LargeWriteWaitsForRoomInsteadOfDroppingBytes) {
    openPort();
    Bytes data(256 * 1024);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    Bytes received;
    std::thread board([&] { received = pty.read(data.size()); });
    port.sendBytes(data);
    board.join();
    EXPECT_EQ(received.size(), data.size());
    EXPECT_TRUE(received == data);
}

TEST_F(CommPortTest, StalledLineFailsTheWrite) {
    openPort();
    const Bytes data(1024 * 1024, 0x55);
    try {
        port.sendBytes(data);
        ADD_FAILURE() << "a megabyte went into a line nobody reads";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.FailCode, CommFail::Send);
        EXPECT_EQ(error.SystemError, static_cast<std::uint32_t>(ETIMEDOUT));
    }
    EXPECT_TRUE(port.isOpen());
}

TEST_F(CommPortTest, ReadWithoutAByteTimesOut) {
    openPort();
    try {
        port.readByte();
        ADD_FAILURE() << "read a byte nobody sent";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.FailCode, CommFail::Read);
        EXPECT_EQ(error.SystemError, static_cast<std::uint32_t>(ETIMEDOUT));
    }
}

TEST_F(CommPortTest, HungUpLineFailsReadAndWrite) {
    openPort();
    pty.closeMaster();
    const Bytes one{1};
    EXPECT_EQ(failureOf([&] { port.readByte(); }), CommFail::Read);
    EXPECT_EQ(failureOf([&] { port.sendBytes(one); }), CommFail::Send);
    port.closeDevice();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CommPortTest, DestructorReleasesThePort) {
    {
        TCommPort first;
        first.reopen(9600, pty.slavePath(), 1);
    }
    openPort();
    EXPECT_TRUE(port.isOpen());
}

// A terminal or a port set up by another program gets its settings back.
TEST_F(CommPortTest, CloseRestoresTheLineAsFound) {
    const int keeper = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(keeper, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(keeper, &before), 0);
    ASSERT_NE(before.c_lflag & ECHO, 0U);
    openPort();
    termios during{};
    ASSERT_EQ(::tcgetattr(keeper, &during), 0);
    EXPECT_EQ(during.c_lflag & (ECHO | ICANON), 0U);
    port.closeDevice();
    termios after{};
    ASSERT_EQ(::tcgetattr(keeper, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));
    ::close(keeper);
}

// The lock dies with a killed holder, and the tty is never marked exclusive,
// a mark that would outlive the holder and lock out every user but root.
TEST_F(CommPortTest, AKilledHolderLeavesThePortFree) {
    const int keeper = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(keeper, 0);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        TCommPort held;
        held.reopen(9600, pty.slavePath(), 1);
        const char opened = 1;
        [[maybe_unused]] const auto sent = ::write(ready[1], &opened, 1);
        ::pause();
        ::_exit(0);
    }
    char opened = 0;
    ASSERT_EQ(::read(ready[0], &opened, 1), 1);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(keeper, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(failureOf([this] { openPort(); }), CommFail::Open);

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    openPort();
    EXPECT_TRUE(port.isOpen());
    ::close(ready[0]);
    ::close(ready[1]);
    ::close(keeper);
}

} // namespace
