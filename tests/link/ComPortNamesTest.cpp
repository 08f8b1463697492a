#include "link/ComPortNames.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Entry = std::pair<std::string, std::string>;

std::vector<Entry> listed(const std::vector<std::string>& friendlyNames) {
    std::vector<Entry> entries;
    for (const SerialPortInfo& port : comPortsFromFriendlyNames(friendlyNames)) {
        entries.emplace_back(port.name, port.description);
    }
    return entries;
}

TEST(ComPortNames, EveryNamedComPortInPortNumberOrderOncePerNumber) {
    struct Case {
        const char* what;
        std::vector<std::string> friendlyNames;
        std::vector<Entry> expected;
    };
    const std::vector<Case> cases{
        {"a built-in port and an adapter, whatever their drivers' services",
         {"USB Serial Port (COM12)", "Communications Port (COM1)"},
         {{"COM1", "Communications Port (COM1)"}, {"COM12", "USB Serial Port (COM12)"}}},
        {"by number, not by text",
         {"Silicon Labs CP210x USB to UART Bridge (COM10)",
          "Prolific USB-to-Serial Comm Port (COM9)"},
         {{"COM9", "Prolific USB-to-Serial Comm Port (COM9)"},
          {"COM10", "Silicon Labs CP210x USB to UART Bridge (COM10)"}}},
        {"the later of two devices with one number",
         {"Communications Port (COM3)", "USB Serial Port (COM3)"},
         {{"COM3", "USB Serial Port (COM3)"}}},
        {"a \"COM\" that is no port before the port",
         {"COMPAQ Modem (COM3)"},
         {{"COM3", "COMPAQ Modem (COM3)"}}},
        {"printer ports and names without a port number pass",
         {"Printer Port (LPT1)", "Bluetooth link (COM4", "Port (COM0)", "Port (COM257)",
          "Port (COM256)"},
         {{"COM256", "Port (COM256)"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(listed(c.friendlyNames), c.expected);
    }
}

TEST(ComPortNames, WithoutANamedPortTheSixteenFallbackNames) {
    for (const std::vector<std::string>& friendlyNames :
         {std::vector<std::string>{}, std::vector<std::string>{"ECP Printer Port (LPT1)"}}) {
        const auto entries = listed(friendlyNames);
        ASSERT_EQ(entries.size(), 16U);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i], Entry("COM" + std::to_string(i + 1), ""));
        }
    }
}

} // namespace
