#include "model/FirmwareVersion.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string FirmwareVersion::text() const {
    return std::to_string(major) + "." + std::to_string(minor);
}

int FirmwareVersion::hundredths() const {
    // Reproduces the number the pager's tool always used: the text parsed in
    // single precision, then written with two decimals.
    const std::string t = text();
    float value = 0;
    std::from_chars(t.data(), t.data() + t.size(), value);
    char two[32];
    std::snprintf(two, sizeof two, "%.2f", static_cast<double>(value));
    double back = 0;
    std::from_chars(two, two + std::char_traits<char>::length(two), back);
    return static_cast<int>(std::lround(back * 100.0));
}
