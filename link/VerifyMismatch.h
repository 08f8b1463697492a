#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A block the pager holds otherwise than the image: where it starts and the
// pager's bytes, so that a report can name the first differing address.
struct VerifyMismatch {
    std::size_t address = 0;
    std::vector<std::uint8_t> pagerBytes;
};
