#include "link/TCommPort.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/link/WaitUntil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The driver's serial flags of a device, read through a descriptor of its own.
class SerialFlags {
public:
    explicit SerialFlags(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~SerialFlags() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    SerialFlags(const SerialFlags&) = delete;
    SerialFlags& operator=(const SerialFlags&) = delete;

    std::optional<int> get() const {
        serial_struct serial{};
        if (fd_ < 0 || ::ioctl(fd_, TIOCGSERIAL, &serial) != 0) {
            return std::nullopt;
        }
        return serial.flags;
    }
    bool set(int flags) const {
        serial_struct serial{};
        if (fd_ < 0 || ::ioctl(fd_, TIOCGSERIAL, &serial) != 0) {
            return false;
        }
        serial.flags = flags;
        return ::ioctl(fd_, TIOCSSERIAL, &serial) == 0 && get() == flags;
    }

private:
    int fd_;
};

// A real serial port whose driver takes the flag: PX520_SERIAL_TEST_PORT, or
// the first built-in port. Its flags are put back after the test.
class LowLatencyOnRealPort : public ::testing::Test {
protected:
    void SetUp() override {
        const char* given = std::getenv("PX520_SERIAL_TEST_PORT");
        path = given != nullptr ? given : "/dev/ttyS0";
        flags.emplace(path);
        original = flags->get();
        if (!original || !flags->set(*original | ASYNC_LOW_LATENCY) ||
            !flags->set(*original & ~ASYNC_LOW_LATENCY)) {
            GTEST_SKIP() << path << " is no serial port whose driver lets its low latency flag "
                         << "be changed here; set PX520_SERIAL_TEST_PORT to one that does";
        }
    }
    void TearDown() override {
        if (original) {
            flags->set(*original);
        }
    }

    std::string path;
    std::optional<SerialFlags> flags;
    std::optional<int> original;
};

TEST_F(LowLatencyOnRealPort, IsAskedForWhileOpenAndTheEarlierFlagComesBack) {
    for (const bool earlier : {false, true}) {
        SCOPED_TRACE(earlier ? "flag set before" : "flag clear before");
        const int before =
            earlier ? (*original | ASYNC_LOW_LATENCY) : (*original & ~ASYNC_LOW_LATENCY);
        ASSERT_TRUE(flags->set(before));
        {
            TCommPort port;
            port.reopen(9600, path, 1);
            EXPECT_EQ(flags->get().value_or(0) & ASYNC_LOW_LATENCY, ASYNC_LOW_LATENCY);
            port.closeDevice();
            EXPECT_EQ(flags->get(), before);
        }
        EXPECT_EQ(flags->get(), before);
    }
}

TEST_F(LowLatencyOnRealPort, ComesBackFromAPortThatCarriedOnAnotherObject) {
    TCommPort searching;
    searching.reopen(9600, path, 1);
    TCommPort chosen;
    chosen.takeOver(searching);
    EXPECT_EQ(flags->get().value_or(0) & ASYNC_LOW_LATENCY, ASYNC_LOW_LATENCY);
    chosen.closeDevice();
    EXPECT_EQ(flags->get(), *original & ~ASYNC_LOW_LATENCY);
}

// A pseudo-terminal has no serial driver: the request is refused and the line
// works as before.
TEST(LowLatencyRefused, PortStillCarriesBytesBothWays) {
    PseudoTerminal pty;
    ASSERT_FALSE(SerialFlags(pty.slavePath()).get().has_value());
    TCommPort port;
    port.reopen(9600, pty.slavePath(), 1);
    const std::vector<std::uint8_t> bytes{0x4b, 0x06};
    port.sendBytes(bytes);
    EXPECT_EQ(pty.read(bytes.size()), bytes);
    pty.write(bytes);
    waitUntil([&] { return port.bytesWaiting() == bytes.size(); });
    EXPECT_EQ(port.readByte(), 0x4b);
    EXPECT_EQ(port.readByte(), 0x06);
    port.closeDevice();
    EXPECT_FALSE(port.isOpen());
}

} // namespace
