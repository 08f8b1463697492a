#include "link/SystemErrorText.h"

#include <windows.h>

std::string systemErrorText(std::uint32_t systemError) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, systemError, 0, text, sizeof text, nullptr);
    std::string words(text, length);
    // The system's text ends in ".\r\n"; the callers add their own ending.
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) {
        words.pop_back();
    }
    return words.empty() ? "system error " + std::to_string(systemError) : words;
}
