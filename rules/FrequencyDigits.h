#pragma once

#include "model/ConfigImage.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The receive frequency: seven decimal digits at Freq, in units of 100 Hz.
inline constexpr std::int64_t kHzPerFrequencyUnit = 100;

// The items of cboRangeFreq, in item order.
enum class Band : int { Low = 0, High = 1 };
inline constexpr std::array<std::string_view, 2> kBandItems{"135-174 MHz", "400-499 MHz"};

inline constexpr std::string_view bandItemText(Band band) {
    return kBandItems[static_cast<std::size_t>(band)];
}

// The band of an item of cboRangeFreq; no item is the low band.
inline constexpr Band bandOfItem(int item) {
    return item == static_cast<int>(Band::High) ? Band::High : Band::Low;
}
inline constexpr int itemOfBand(Band band) {
    return static_cast<int>(band);
}

// The frequency a band shows until one of its own is stored, in units of 100 Hz.
inline constexpr std::int32_t defaultBandFrequency(Band band) {
    return band == Band::Low ? 1590000 : 4620000;
}

// A first digit of 1 is the low band, anything else the high band.
Band bandOfImage(const ConfigImage& image);

// The synthesizer works on half the frequency in the high band.
inline constexpr std::uint8_t bandMultiplier(Band band) {
    return band == Band::Low ? 1 : 2;
}

// Inclusive limits in units of 100 Hz, taken from the band's item text
// (its first three characters and its characters 5 to 7, times 10000).
struct BandLimits {
    std::int32_t lo;
    std::int32_t hi;
};
BandLimits bandLimits(Band band);

// "Frequency setting error(1350000 < = Frequency < =1740000 )" for the low band.
std::string frequencyRangeMessage(Band band);

// The digits read as a number; bytes above 9 are taken at face value.
std::int32_t frequencyFromImage(const ConfigImage& image);

// The frequency as edtFreq shows it ("%ld").
std::string frequencyText(std::int32_t frequency);

using FreqDigits = std::array<std::uint8_t, 7>;

// The low seven decimal digits of a non-negative frequency, most significant first.
FreqDigits frequencyDigits(std::int32_t frequency);
void storeFrequency(ConfigImage& image, const FreqDigits& digits);
