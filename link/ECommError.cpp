#include "link/ECommError.h"

#include "link/SystemErrorText.h"

namespace {

std::string describe(CommFail code, std::uint32_t systemError, const std::string& device) {
    std::string text = "Serial port error " + std::to_string(static_cast<int>(code));
    if (!device.empty()) {
        text += " on " + device;
    }
    if (systemError != 0) {
        text += ": ";
        text += systemErrorText(systemError);
    }
    return text;
}

} // namespace

ECommError::ECommError(CommFail code, std::uint32_t systemError, std::string device)
    : std::runtime_error(describe(code, systemError, device)), FailCode(code),
      SystemError(systemError), Device(std::move(device)) {}
