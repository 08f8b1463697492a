#pragma once

#include "link/PortList.h"

#include <ostream>
#include <vector>

// The ports one a line: name and description, escaped as messages are.
void printPorts(const std::vector<SerialPortInfo>& ports, std::ostream& out);

// The serial ports the window lists, one a line: name and description.
int runPorts();
