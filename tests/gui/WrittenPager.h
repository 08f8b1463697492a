#pragma once

// The memory of a pager as a Write of this tool leaves it, for the tests
// that read it back through the window from the emulated board.

#include "WindowFixture.h"

#include "model/ByteMap.h"
#include "model/FirmwareVersion.h"
#include "model/VersionTag.h"
#include "model/WritePreparation.h"

#include <functional>

// The image a fresh window shows, changed by settings, written by firmware 1.86.
inline ConfigImage writtenPager(const std::function<void(ConfigImage&)>& settings) {
    ConfigImage memory;
    {
        WindowFixture shown;
        memory = shown.image();
    }
    settings(memory);
    memory[field::VersionMajor] = 1;
    memory[field::VersionMinor] = 86;
    prepareImageForWrite(memory, FirmwareVersion{1, 86}, makeVersionTag(kWindowCaption));
    return memory;
}
