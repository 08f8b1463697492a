#pragma once

#include "link/ECommError.h"

#include <string>

// Why a port failed, in words a user can act on, to go under the window's
// own message; empty when there is nothing to add beyond that message.
std::string commErrorReason(const ECommError& error);

// For a port that would not open: what to do about a missing device, a busy
// one or a refused permission; empty for any other failure.
std::string openFailureAdvice(const ECommError& error);
