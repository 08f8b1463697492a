#pragma once

#include "link/ECommError.h"

#include <cstdint>
#include <string>

// Whether the system refused the user the right to use a device (POSIX:
// EACCES, EPERM). Windows says "access denied" for a port in use, so no
// number counts there.
bool isPermissionError(std::uint32_t systemError);

// Why a port failed, in words a user can act on, to go under the window's
// own message; empty when there is nothing to add beyond that message.
std::string commErrorReason(const ECommError& error);

// For a port that would not open: what to do about a missing device, a busy
// one or a refused permission; empty for any other failure.
std::string openFailureAdvice(const ECommError& error);
