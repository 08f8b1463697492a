#include "link/GivenPorts.h"

#include "link/TCommPort.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// The device behind a port name, links followed, as the port opens it.
std::filesystem::path deviceOf(const std::string& name) {
    TCommPort port;
    port.setPortName(name);
    const std::filesystem::path path = port.devicePath();
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal() : resolved;
}

} // namespace

std::vector<SerialPortInfo> withGivenPortsFirst(std::span<const std::string> given,
                                                std::vector<SerialPortInfo> listed) {
    std::vector<SerialPortInfo> ports;
    std::vector<std::filesystem::path> devices;
    for (const std::string& name : given) {
        const std::filesystem::path device = deviceOf(name);
        if (name.empty() || std::ranges::find(devices, device) != devices.end()) {
            continue;
        }
        devices.push_back(device);
        ports.push_back({name, {}});
    }
    for (SerialPortInfo& port : listed) {
        const auto same = std::ranges::find(devices, deviceOf(port.name));
        if (same == devices.end()) {
            ports.push_back(std::move(port));
            continue;
        }
        auto& first = ports[static_cast<std::size_t>(same - devices.begin())];
        if (first.description.empty()) {
            first.description = std::move(port.description);
        }
    }
    return ports;
}
