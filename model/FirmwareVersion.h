#pragma once

#include <cstdint>
#include <string>

// The pager's firmware version as the tool compares it: the text
// "major.minor" (1 and 9 give "1.9") read as a single-precision number and
// rounded to two decimals, held here in hundredths (1.9 -> 190, 1.83 -> 183,
// 1.100 -> 110) so comparisons are exact.
struct FirmwareVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;

    std::string text() const;
    int hundredths() const;
    bool operator==(const FirmwareVersion&) const = default;
};

inline constexpr int kFirmwareChecksumAndTag = 183; // 1.83
inline constexpr int kFirmwareMirrorsGroupPriority = 186; // 1.86
