#pragma once

#include "link/PortList.h"

#include <span>
#include <string>
#include <vector>

// The ports named on the command line (device paths, by-id links or bare tty
// names) ahead of the listed ones, each device once: a listed port that is
// the same device as a given one gives it its description and leaves the list.
std::vector<SerialPortInfo> withGivenPortsFirst(std::span<const std::string> given,
                                                std::vector<SerialPortInfo> listed);
