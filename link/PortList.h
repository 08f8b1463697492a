#pragma once

#include <filesystem>
#include <string>
#include <vector>

// One serial port of the machine: the tty name the port is opened by and a
// text that tells the user what is behind it, such as
// "FT232R USB UART (ttyUSB0)".
struct SerialPortInfo {
    std::string name;
    std::string description;
};

// The machine's serial ports, in natural order of their names (ttyS2 before
// ttyS10), one entry per port. Without any, the sixteen names ttyS0 to ttyS15
// with empty descriptions, so the user can still pick one. The roots are
// parameters so that a test can hand in a tree of its own.
std::vector<SerialPortInfo>
listCommPorts(const std::filesystem::path& sysClassTty = "/sys/class/tty",
              const std::filesystem::path& devRoot = "/dev");
