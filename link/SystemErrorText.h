#pragma once

#include <cstdint>
#include <string>

// The platform's words for an error number a port reported: strerror of an
// errno value on POSIX, FormatMessage of a GetLastError value on Windows.
std::string systemErrorText(std::uint32_t systemError);
