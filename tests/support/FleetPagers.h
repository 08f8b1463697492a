#pragma once

// The pagers of the fleet-programming tests: one fresh from the factory with
// firmware 1.86, rows that differ in their first tone, and what a Write
// leaves in such a pager.

#include "link/FleetProgramming.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/VersionTag.h"
#include "model/WritePreparation.h"

#include <cstdint>
#include <string>
#include <utility>

inline ConfigImage freshPager() {
    ConfigImage memory = defaultImage();
    memory[field::VersionMajor] = 1;
    memory[field::VersionMinor] = 86;
    return memory;
}

// Row k's configuration: the base with its own first tone.
inline FleetPager row(int k, std::string label) {
    ConfigImage image = defaultImage();
    image[field::T1(1)] = static_cast<std::uint8_t>(0x10 + k);
    return {k, std::move(label), image};
}

inline ConfigImage asWritten(ConfigImage image) {
    image[field::VersionMajor] = 1;
    image[field::VersionMinor] = 86;
    prepareImageForWrite(image, FirmwareVersion{1, 86}, makeVersionTag(kWindowCaption));
    return image;
}
