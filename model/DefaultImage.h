#pragma once

#include "model/ConfigImage.h"

// The image the tool starts with: bytes 240-255 are zero, the caller stores
// the version tag there.
const ConfigImage& defaultImage();
