#include "link/ComPortNames.h"

#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>

namespace {

constexpr int kMaxPortNumber = 256;
constexpr int kFallbackPortCount = 16;

struct ComPort {
    int number = 0;
    std::string name;
};

// The first "COMn)" of a friendly name; the text after "COM" must be the
// number itself, so "COMPAQ Modem (COM3)" names COM3.
std::optional<ComPort> namedPort(std::string_view friendlyName) {
    for (std::size_t at = friendlyName.find("COM"); at != std::string_view::npos;
         at = friendlyName.find("COM", at + 1)) {
        const std::string_view rest = friendlyName.substr(at + 3);
        int number = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        const bool closed = end != rest.data() + rest.size() && *end == ')';
        if (error == std::errc{} && closed && std::isdigit(static_cast<unsigned char>(rest[0])) &&
            number >= 1 && number <= kMaxPortNumber) {
            return ComPort{number, "COM" + std::to_string(number)};
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<SerialPortInfo> comPortsFromFriendlyNames(std::span<const std::string> friendlyNames) {
    std::array<std::optional<SerialPortInfo>, kMaxPortNumber> slots{};
    for (const std::string& friendlyName : friendlyNames) {
        if (const auto port = namedPort(friendlyName)) {
            slots[static_cast<std::size_t>(port->number - 1)] =
                SerialPortInfo{port->name, friendlyName};
        }
    }
    std::vector<SerialPortInfo> ports;
    for (const auto& slot : slots) {
        if (slot) {
            ports.push_back(*slot);
        }
    }
    if (ports.empty()) {
        for (int number = 1; number <= kFallbackPortCount; ++number) {
            ports.push_back({"COM" + std::to_string(number), {}});
        }
    }
    return ports;
}
