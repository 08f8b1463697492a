#include "cli/PortsCommand.h"

#include "cli/ExitCodes.h"
#include "link/PortList.h"

#include <iomanip>
#include <iostream>

namespace {

constexpr int kNameWidth = 12;

} // namespace

int runPorts() {
    for (const SerialPortInfo& port : listCommPorts()) {
        std::cout << std::left << std::setw(kNameWidth) << port.name << ' ' << port.description
                  << '\n';
    }
    return kExitSuccess;
}
