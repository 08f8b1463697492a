#pragma once

#include "model/ConfigImage.h"

// The image the tool starts with: bytes 240-255 are zero, the caller stores
// the version tag there.
const ConfigImage& defaultImage();

// A pager as a Write of this tool leaves it: the default settings, firmware
// 1.90, this tool's version tag and a good checksum. The emulator starts
// with it, and the benchmarks and fuzz targets talk to it.
ConfigImage freshPagerImage();
