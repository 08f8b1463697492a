#pragma once

#include <filesystem>
#include <string>
#include <vector>

// One serial port of the machine: the name the port is opened by and a text
// that tells the user what is behind it, such as "FT232R USB UART (ttyUSB0)"
// or "USB Serial Port (COM12)".
struct SerialPortInfo {
    std::string name;
    std::string description;
};

// The machine's serial ports, one entry per port, sorted by name (ttyS2
// before ttyS10) or by COM port number. Without any, sixteen names the user
// can still pick (ttyS0 to ttyS15, COM1 to COM16) with empty descriptions.
std::vector<SerialPortInfo> listCommPorts();

#ifndef _WIN32
// The same from a sysfs tree and a device folder a test can hand in.
std::vector<SerialPortInfo> listCommPorts(const std::filesystem::path& sysClassTty,
                                          const std::filesystem::path& devRoot);
#endif
