#include "cli/PortsCommand.h"

#include "cli/ExitCodes.h"
#include "link/PortList.h"
#include "model/TextEncoding.h"

#include <iomanip>
#include <iostream>

namespace {

constexpr int kNameWidth = 12;

} // namespace

void printPorts(const std::vector<SerialPortInfo>& ports, std::ostream& out) {
    // A description comes from the device itself (a USB product string).
    for (const SerialPortInfo& port : ports) {
        out << std::left << std::setw(kNameWidth) << escaped(port.name) << ' '
            << escaped(port.description) << '\n';
    }
}

int runPorts() {
    printPorts(listCommPorts(), std::cout);
    return kExitSuccess;
}
