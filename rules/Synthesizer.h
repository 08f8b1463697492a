#pragma once

#include "model/ConfigImage.h"

#include <cstdint>
#include <optional>
#include <string>

// The pager's synthesizer is loaded with two words that the tool computes, so
// the pager needs no arithmetic of its own.

inline constexpr std::int64_t kReferenceHz = 12800000;
// The synthesizer runs at the operating frequency minus the first IF.
inline constexpr std::int64_t kOffsetHz = 21400000;
inline constexpr std::int64_t kDividerModulus = 32;
inline constexpr std::uint32_t kReferenceLowByte = 0x11;

struct PllWords {
    std::uint32_t reference; // PLLR
    std::uint32_t divider;   // PLLN

    bool operator==(const PllWords&) const = default;
};

// The words for a frequency in units of 100 Hz, a channel step in Hz and the
// band multiplier; integer divisions truncate toward zero. Nothing when the
// step does not divide the frequency, and also when no word exists: a step or
// multiplier that leaves no reference count, a frequency below the offset, or
// a divider word wider than 32 bits.
std::optional<PllWords> computePll(std::int32_t frequency, std::int32_t channelStep,
                                   std::uint8_t bandMultiplier);

// Eight upper-case hexadecimal digits, as lblPLLR and lblPLLN show a word.
std::string pllWordText(std::uint32_t word);

void storePll(ConfigImage& image, const PllWords& words);
