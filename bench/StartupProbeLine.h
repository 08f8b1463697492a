#pragma once

#include <cstdint>
#include <string_view>
#include <time.h>

// What the start-up probe inside px520 and the benchmark that launches it
// agree on: the plugin key that loads the probe and the lines it prints.
namespace startup_probe {

inline constexpr std::string_view kPluginKey = "px520startupprobe";
// Followed by the monotonic clock in nanoseconds and a newline.
inline constexpr std::string_view kAppReadyTag = "px520-startup-probe app-ready ";
inline constexpr std::string_view kShownTag = "px520-startup-probe shown ";

// CLOCK_MONOTONIC is one clock for every process of the machine, so the
// launcher can subtract its own reading taken before the launch.
inline std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

} // namespace startup_probe
