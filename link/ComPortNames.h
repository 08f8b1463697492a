#pragma once

#include "link/PortList.h"

#include <span>
#include <string>
#include <vector>

// The port list a machine's ports device class gives, from the friendly name
// of each present device ("USB Serial Port (COM12)"). A device is listed when
// its name names a COM port: "COM" and a number from 1 to 256, closed by ")".
// The list runs in port-number order, one entry per number (a later device
// with the same number gives its name); whatever driver service a device has.
// Without any, COM1 to COM16.
std::vector<SerialPortInfo> comPortsFromFriendlyNames(std::span<const std::string> friendlyNames);
