#include "link/CommErrorText.h"

#include "link/SystemErrorText.h"

#include <windows.h>

namespace {

// Windows refuses a port another program holds with "access denied".
std::string openReason(const std::string& device, DWORD systemError) {
    switch (systemError) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return device + " is in use by another program.";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return device + " does not exist or its adapter is unplugged.";
    default:
        return {};
    }
}

} // namespace

bool isPermissionError(std::uint32_t) {
    return false;
}

std::string openFailureAdvice(const ECommError& error) {
    if (error.FailCode != CommFail::Open || error.Device.empty()) {
        return {};
    }
    return openReason(error.Device, error.SystemError);
}

std::string commErrorReason(const ECommError& error) {
    if (std::string advice = openFailureAdvice(error); !advice.empty()) {
        return advice;
    }
    if (error.SystemError == 0) {
        return {};
    }
    const std::string prefix = error.Device.empty() ? std::string{} : error.Device + ": ";
    return prefix + systemErrorText(error.SystemError) + ".";
}
