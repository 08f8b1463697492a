#pragma once

#include <cstddef>
#include <string>

// A document or sheet read whole, up to a size limit, so that a huge input
// (or /dev/zero) is refused early instead of filling the memory.
struct InputText {
    std::string text;
    int error = 0;         // errno of a failed open or read
    bool tooLarge = false; // more than the limit
};

// name "-" is standard input.
InputText readInputText(const std::string& name, std::size_t limit);

// "NAME is larger than N MiB; nothing was read."
std::string tooLargeMessage(const std::string& name, std::size_t limit);
