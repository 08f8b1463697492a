#include "rules/FrequencyDigits.h"

#include "model/ByteMap.h"

#include <charconv>

namespace {

constexpr std::int32_t kLimitScale = 10000;

// The three-digit band edges of an item text such as "135-174 MHz".
std::string_view loText(Band band) {
    return bandItemText(band).substr(0, 3);
}
std::string_view hiText(Band band) {
    return bandItemText(band).substr(4, 3);
}

std::int32_t edgeValue(std::string_view text) {
    std::int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value * kLimitScale;
}

} // namespace

Band bandOfImage(const ConfigImage& image) {
    return image[field::Freq] == 1 ? Band::Low : Band::High;
}

BandLimits bandLimits(Band band) {
    return {edgeValue(loText(band)), edgeValue(hiText(band))};
}

std::string frequencyRangeMessage(Band band) {
    std::string text = "Frequency setting error(";
    text += loText(band);
    text += "0000 < = Frequency < =";
    text += hiText(band);
    text += "0000 )";
    return text;
}

std::int32_t frequencyFromImage(const ConfigImage& image) {
    std::int32_t n = 0;
    for (int i = 0; i < field::FreqDigits; ++i) {
        n = n * 10 + image[field::Freq + i];
    }
    return n;
}

std::string frequencyText(std::int32_t frequency) {
    return std::to_string(frequency);
}

FreqDigits frequencyDigits(std::int32_t frequency) {
    FreqDigits digits{};
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        *it = static_cast<std::uint8_t>(frequency % 10);
        frequency /= 10;
    }
    return digits;
}

void storeFrequency(ConfigImage& image, const FreqDigits& digits) {
    for (std::size_t i = 0; i < digits.size(); ++i) {
        image[field::Freq + i] = digits[i];
    }
}
