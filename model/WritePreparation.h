#pragma once

#include "model/ConfigImage.h"
#include "model/FirmwareVersion.h"
#include "model/VersionTag.h"

// What every Write that goes ahead does to the working image before sending
// it: bit 7 of bytes 104/106 by firmware version, the write mark, the fixed
// low-battery code, the cleared high bits of byte 48, the version tag and the
// checksum.
void prepareImageForWrite(ConfigImage& image, const FirmwareVersion& firmware,
                          const VersionTag& tag);
