#pragma once

#include "link/VerifyMismatch.h"
#include "model/ConfigImage.h"

#include <string>

// Where a verify found the pager different from the image it expected: the
// first differing address, the value that holds it and both values, e.g.
// "first difference at address 0x82 (130), T1[1] (CALL #1 TONE1):
// expected 1000.0 Hz (byte 0A), the pager holds 1590.0 Hz (byte F5)".
std::string describeMismatch(const ConfigImage& expected, const VerifyMismatch& mismatch);
