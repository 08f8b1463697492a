#pragma once

#include "model/ByteMap.h"
#include "model/ConfigImage.h"
#include "model/Version.h"

#include <algorithm>
#include <array>
#include <string_view>

// The model part of a tag.
inline constexpr std::string_view kModelName = "PX520";

namespace version_detail {
inline constexpr std::string_view kBeforeVersion = " V";
inline constexpr auto kCaptionText = [] {
    std::array<char, kModelName.size() + kBeforeVersion.size() + kVersion.size()> text{};
    auto end = std::copy(kModelName.begin(), kModelName.end(), text.begin());
    end = std::copy(kBeforeVersion.begin(), kBeforeVersion.end(), end);
    std::copy(kVersion.begin(), kVersion.end(), end);
    return text;
}();
} // namespace version_detail

// The main window's caption, "PX520 V" and the project version; trimmed, it
// is the tag every Write stores.
inline constexpr std::string_view kWindowCaption{version_detail::kCaptionText.data(),
                                                 version_detail::kCaptionText.size()};

using VersionTag = std::array<std::uint8_t, field::VersionTagSize>;
static_assert(kWindowCaption.size() <= field::VersionTagSize,
              "the version tag would lose the end of the version");

// The caption without leading and trailing blanks and control characters,
// cut to 14 characters and padded with NUL bytes.
VersionTag makeVersionTag(std::string_view caption);

void storeVersionTag(ConfigImage& image, const VersionTag& tag);

// True when the first five bytes of the tag at 240 read "PX520".
bool tagNamesModel(std::span<const std::uint8_t, kImageSize> bytes);
