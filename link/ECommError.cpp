#include "link/ECommError.h"

#include <cstring>

namespace {

std::string describe(CommFail code, int systemError, const std::string& device) {
    std::string text = "Serial port error " + std::to_string(static_cast<int>(code));
    if (!device.empty()) {
        text += " on " + device;
    }
    if (systemError != 0) {
        text += ": ";
        text += std::strerror(systemError);
    }
    return text;
}

} // namespace

ECommError::ECommError(CommFail code, int systemError, std::string device)
    : std::runtime_error(describe(code, systemError, device)), FailCode(code),
      SystemError(static_cast<std::uint32_t>(systemError)), Device(std::move(device)) {}
