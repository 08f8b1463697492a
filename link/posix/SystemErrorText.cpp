#include "link/SystemErrorText.h"

#include <cstring>

std::string systemErrorText(std::uint32_t systemError) {
    return std::strerror(static_cast<int>(systemError));
}
