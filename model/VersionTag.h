#pragma once

#include "model/ByteMap.h"
#include "model/ConfigImage.h"

#include <array>
#include <string_view>

// The main window's caption; trimmed, it is the tag every Write stores.
inline constexpr std::string_view kWindowCaption = "PX520 V3.8.2";
// The model part of a tag.
inline constexpr std::string_view kModelName = "PX520";

using VersionTag = std::array<std::uint8_t, field::VersionTagSize>;

// The caption without leading and trailing blanks and control characters,
// cut to 14 characters and padded with NUL bytes.
VersionTag makeVersionTag(std::string_view caption);

void storeVersionTag(ConfigImage& image, const VersionTag& tag);

// True when the first five bytes of the tag at 240 read "PX520".
bool tagNamesModel(std::span<const std::uint8_t, kImageSize> bytes);
