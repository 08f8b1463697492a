#include "rules/Synthesizer.h"

#include "model/ByteMap.h"
#include "rules/FrequencyDigits.h"

#include <array>
#include <cstdio>
#include <limits>

namespace {

// The reference count enters the reference word divided by this.
constexpr std::int64_t kReferencePrescale = 4;

} // namespace

std::optional<PllWords> computePll(std::int32_t frequency, std::int32_t channelStep,
                                   std::uint8_t bandMultiplier) {
    const std::int64_t hz = std::int64_t{frequency} * kHzPerFrequencyUnit;
    if (channelStep <= 0 || bandMultiplier == 0 || hz % channelStep != 0) {
        return std::nullopt;
    }
    const std::int64_t comparison = channelStep / bandMultiplier;
    if (comparison == 0) {
        return std::nullopt;
    }
    const std::int64_t r = kReferenceHz / comparison / kReferencePrescale;
    if (r == 0 || hz < kOffsetHz) {
        return std::nullopt;
    }
    const std::int64_t n =
        (hz - kOffsetHz) / bandMultiplier / (kReferenceHz / (r * kReferencePrescale));
    const std::int64_t b = n / kDividerModulus;
    const std::int64_t a = n - kDividerModulus * b;
    const std::int64_t divider = b * 4096 + a * 128;
    if (divider > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return PllWords{static_cast<std::uint32_t>(r * 256 + kReferenceLowByte),
                    static_cast<std::uint32_t>(divider)};
}

std::string pllWordText(std::uint32_t word) {
    std::array<char, 9> text{};
    std::snprintf(text.data(), text.size(), "%08X", static_cast<unsigned>(word));
    return text.data();
}

void storePll(ConfigImage& image, const PllWords& words) {
    writeDword(image, field::PLLR, words.reference);
    writeDword(image, field::PLLN, words.divider);
}
