#include "model/VersionTag.h"

#include "model/ByteMap.h"

#include <algorithm>

namespace {

bool isBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}

} // namespace

VersionTag makeVersionTag(std::string_view caption) {
    while (!caption.empty() && isBlankOrControl(caption.front())) {
        caption.remove_prefix(1);
    }
    while (!caption.empty() && isBlankOrControl(caption.back())) {
        caption.remove_suffix(1);
    }
    VersionTag tag{};
    const auto n = std::min(caption.size(), tag.size());
    std::copy_n(caption.begin(), n, tag.begin());
    return tag;
}

void storeVersionTag(ConfigImage& image, const VersionTag& tag) {
    std::copy(tag.begin(), tag.end(), image.begin() + field::VersionTag);
}

bool tagNamesModel(std::span<const std::uint8_t, kImageSize> bytes) {
    return std::equal(kModelName.begin(), kModelName.end(), bytes.begin() + field::VersionTag,
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}
