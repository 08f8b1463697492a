#include "link/OperationMessages.h"

#include "link/CommErrorText.h"

#include <cerrno>

bool isPermissionFailure(const ECommError& error) {
    return error.FailCode == CommFail::Open &&
           (error.SystemError == EACCES || error.SystemError == EPERM);
}

std::string withReason(std::string_view text, const ECommError& error) {
    std::string full(text);
    if (const std::string reason = commErrorReason(error); !reason.empty()) {
        full += "\n" + reason;
    }
    return full;
}

std::string_view openErrorHeadline(const ECommError& error) {
    return error.FailCode == CommFail::Open ? kPortInUse : kOpenError;
}

std::string openErrorText(const ECommError& error) {
    return isPermissionFailure(error) ? withReason(openErrorHeadline(error), error)
                                      : std::string(openErrorHeadline(error));
}
