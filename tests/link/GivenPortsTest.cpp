#include "link/GivenPorts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

static bool operator==(const SerialPortInfo& a, const SerialPortInfo& b) {
    return a.name == b.name && a.description == b.description;
}

namespace {

const std::vector<SerialPortInfo> kListed{
    {"ttyS0", ""}, {"null", "the null device"}, {"ttyUSB0", "FT232R USB UART (ttyUSB0)"}};

TEST(GivenPorts, GivenPathsComeFirstInTheirOrder) {
    const std::vector<std::string> given{"/dev/pts/7", "ttyACM3"};
    const auto ports = withGivenPortsFirst(given, kListed);
    const std::vector<SerialPortInfo> expected{{"/dev/pts/7", ""},
                                               {"ttyACM3", ""},
                                               {"ttyS0", ""},
                                               {"null", "the null device"},
                                               {"ttyUSB0", "FT232R USB UART (ttyUSB0)"}};
    EXPECT_EQ(ports, expected);
}

TEST(GivenPorts, NothingGivenKeepsTheList) {
    EXPECT_EQ(withGivenPortsFirst({}, kListed), kListed);
}

// The same device named twice, by path or through a link, is listed once,
// under the name the user gave and with the description the list knew.
TEST(GivenPorts, EachDeviceOnce) {
    const fs::path folder =
        fs::temp_directory_path() / ("px520-ports-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const fs::path byId = folder / "usb-null-if00";
    fs::create_symlink("/dev/null", byId);

    const std::vector<std::string> given{byId.string(), "/dev/null", "", "/dev/../dev/ttyS0"};
    const auto ports = withGivenPortsFirst(given, kListed);
    fs::remove_all(folder);

    const std::vector<SerialPortInfo> expected{{byId.string(), "the null device"},
                                               {"/dev/../dev/ttyS0", ""},
                                               {"ttyUSB0", "FT232R USB UART (ttyUSB0)"}};
    EXPECT_EQ(ports, expected);
}

} // namespace
