#include "link/PortList.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int fallbackPortCount = 16;
constexpr int usbLevels = 3;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    const auto end = line.find_last_not_of(" \t\r\n");
    line.erase(end == std::string::npos ? 0 : end + 1);
    return line;
}

// The name of the directory a sysfs link such as `driver` points at.
std::string linkTarget(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::canonical(link, error);
    return error ? std::string{} : target.filename().string();
}

struct Device {
    fs::path dir;
    std::string driver;
    std::string subsystem;
};

Device deviceAt(const fs::path& dir) {
    return {dir, linkTarget(dir / "driver"), linkTarget(dir / "subsystem")};
}

// The hardware behind a tty; newer kernels put a serial-base port device
// (driver "port") and its controller device in between.
std::optional<Device> hardwareOf(const fs::path& ttyEntry) {
    std::error_code error;
    const fs::path dir = fs::canonical(ttyEntry / "device", error);
    if (error) {
        return std::nullopt;
    }
    Device device = deviceAt(dir);
    if (device.driver == "port" || device.subsystem == "serial-base") {
        device = deviceAt(dir.parent_path().parent_path());
    }
    return device;
}

// The port type an 8250 driver found; 0 (PORT_UNKNOWN) when no UART answered
// at its address.
std::optional<int> portType(const fs::path& ttyEntry, const fs::path& devicePath) {
    std::error_code error;
    if (fs::exists(ttyEntry / "type", error)) {
        const std::string text = firstLine(ttyEntry / "type");
        int type = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), type);
        if (ec != std::errc{} || end != text.data() + text.size()) {
            return std::nullopt;
        }
        return type;
    }
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    serial_struct serial{};
    const bool known = ::ioctl(fd, TIOCGSERIAL, &serial) == 0;
    ::close(fd);
    return known ? std::optional<int>(serial.type) : std::nullopt;
}

bool isPhantom(const fs::path& ttyEntry, const Device& device, const fs::path& devicePath) {
    std::error_code error;
    const bool serial8250 = device.driver.starts_with("serial8250") || device.driver == "serial";
    if (!serial8250 && !fs::exists(ttyEntry / "type", error)) {
        return false;
    }
    return portType(ttyEntry, devicePath) == PORT_UNKNOWN;
}

// The product name of the USB device a tty belongs to: the device sits above
// the interface, which is the tty's device itself (cdc_acm) or its parent
// (usb-serial drivers).
std::optional<std::string> usbProduct(const Device& device) {
    if (device.subsystem != "usb" && device.subsystem != "usb-serial") {
        return std::nullopt;
    }
    fs::path dir = device.dir;
    for (int level = 0; level < usbLevels; ++level, dir = dir.parent_path()) {
        std::error_code error;
        if (fs::exists(dir / "idVendor", error)) {
            std::string product = firstLine(dir / "product");
            if (product.empty()) {
                product = firstLine(dir / "manufacturer");
            }
            return product.empty() ? "USB Serial Port" : product;
        }
    }
    return "USB Serial Port";
}

std::string describe(const std::string& name, const Device& device) {
    return usbProduct(device).value_or("Communications Port") + " (" + name + ")";
}

// Digit runs compare by value, everything else by character.
bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && isDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && isDigit(b[j])) {
                ++j;
            }
            std::string_view numberA = a.substr(startA, i - startA);
            std::string_view numberB = b.substr(startB, j - startB);
            numberA.remove_prefix(std::min(numberA.find_first_not_of('0'), numberA.size()));
            numberB.remove_prefix(std::min(numberB.find_first_not_of('0'), numberB.size()));
            if (numberA.size() != numberB.size()) {
                return numberA.size() < numberB.size();
            }
            if (numberA != numberB) {
                return numberA < numberB;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

std::vector<SerialPortInfo> fallbackPorts() {
    std::vector<SerialPortInfo> ports;
    for (int number = 0; number < fallbackPortCount; ++number) {
        ports.push_back({"ttyS" + std::to_string(number), {}});
    }
    return ports;
}

} // namespace

std::vector<SerialPortInfo> listCommPorts() {
    return listCommPorts("/sys/class/tty", "/dev");
}

std::vector<SerialPortInfo> listCommPorts(const fs::path& sysClassTty, const fs::path& devRoot) {
    std::vector<SerialPortInfo> ports;
    std::error_code error;
    for (fs::directory_iterator entries(sysClassTty, error), end; !error && entries != end;
         entries.increment(error)) {
        const fs::path& entry = entries->path();
        const std::string name = entry.filename().string();
        const auto device = hardwareOf(entry);
        if (!device || isPhantom(entry, *device, devRoot / name)) {
            continue;
        }
        ports.push_back({name, describe(name, *device)});
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        return naturalLess(a.name, b.name);
    });
    if (ports.empty()) {
        return fallbackPorts();
    }
    return ports;
}
