#include "rules/ToneRules.h"

#include "rules/NumberRules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace {

// "%04.1f" without printf, so the point stays "." whatever the locale.
std::string formatToneNumber(double value) {
    // Room for the largest double written out in full.
    std::array<char, 320> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, 1);
    std::string text(buffer.data(), end);
    if (text.size() < 4) {
        text.insert(0, 4 - text.size(), '0');
    }
    return text;
}

} // namespace

ParsedTone parseToneText(std::string_view text) {
    const auto number = parseDecimalNumber(text);
    if (!number) {
        return {std::string(text), std::nullopt, notADecimalNumberMessage(text)};
    }
    auto shown = formatToneNumber(*number);
    const auto point = shown.find('.');
    const std::string_view whole(shown.data(), point);
    const auto wholeValue = parseWholeNumber(whole);
    if (!wholeValue) {
        auto error = notAWholeNumberMessage(whole);
        return {std::move(shown), std::nullopt, std::move(error)};
    }
    const int decimal = shown[point + 1] - '0';
    return {std::move(shown), std::int64_t{*wholeValue} * 10 + decimal, {}};
}

bool toneInRange(ToneMode mode, std::int64_t tenths) {
    if (mode == ToneMode::Standard) {
        return tenths >= kStandardToneMinimum && tenths <= kStandardToneMaximum;
    }
    return tenths >= kUserToneMinimum && tenths <= kUserToneMaximum;
}

std::string_view toneRangeMessage(ToneMode mode) {
    return mode == ToneMode::Standard ? kStandardToneRangeMessage : kUserToneRangeMessage;
}

ToneTenths snapToStandardTone(ToneMode mode, ToneTenths tone) {
    if (mode == ToneMode::User) {
        return tone;
    }
    // "<=" lets the later, higher entry win a tie.
    int bestDistance = 1000;
    ToneTenths result = tone;
    for (const ToneTenths candidate : StandardToneList) {
        const int distance = std::abs(int{tone} - int{candidate});
        if (distance <= bestDistance) {
            bestDistance = distance;
            result = candidate;
        }
    }
    return result;
}

std::uint16_t encodeToneCode(ToneTenths tone, ToneMarker marker) {
    // In tenths of a hertz the tone period is 35795450 / t clock cycles, so
    // g = floor(118920 t / 35795450) and the rest of the window in units of
    // 120 cycles is floor((118920 t - 35795450 g) / (120 t)). Exact in integers.
    constexpr std::int64_t kWindow = 118920;
    constexpr std::int64_t kClockTenths = 35795450;
    constexpr std::int64_t kRestUnit = 120;
    const std::int64_t t = std::clamp<std::int64_t>(tone, kUserToneMinimum, kUserToneMaximum);
    const std::int64_t g = kWindow * t / kClockTenths;
    const std::int64_t h = (kWindow * t - g * kClockTenths) / (kRestUnit * t);
    return static_cast<std::uint16_t>(static_cast<std::uint16_t>(marker) | g << 7 | h);
}

std::string formatTone(ToneTenths tone) {
    return formatToneNumber(tone * 0.1);
}
