#include "rules/NumberRules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

// to_chars and from_chars never consult the locale, so "." stays the point
// even after the toolkit has set a regional one.

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// from_chars takes a leading "-" but not a "+".
std::string_view dropPlusSign(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        return text.substr(1);
    }
    return text;
}

std::string formatFixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, decimals);
    return {buffer.data(), end};
}

double roundOneDecimal(double x) {
    return std::nearbyint(x / 0.1) * 0.1;
}

ExitResult wholeNumberExit(std::string_view text, int maximum, std::string_view rangeMessage) {
    if (text.empty()) {
        return {};
    }
    const auto v = parseWholeNumber(text);
    if (!v) {
        return ExitResult::refused(ExitKind::NotANumber, notAWholeNumberMessage(text));
    }
    if (*v < 0 || *v > maximum) {
        return ExitResult::refused(ExitKind::OutOfRange, rangeMessage);
    }
    return ExitResult::accepted(static_cast<std::uint16_t>(*v));
}

} // namespace

std::optional<int> parseWholeNumber(std::string_view text) {
    const auto digits = dropPlusSign(trimBlanks(text));
    int value = 0;
    const auto* const end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseDecimalNumber(std::string_view text) {
    const auto number = dropPlusSign(trimBlanks(text));
    double value = 0;
    const auto* const end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::general);
    if (ec != std::errc{} || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string notAWholeNumberMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value.";
}

std::string notADecimalNumberMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid floating point value.";
}

ExitResult byteExit(std::string_view text) {
    return wholeNumberExit(text, 255, kByteRangeMessage);
}

ExitResult wordExit(std::string_view text) {
    return wholeNumberExit(text, 65535, kWordRangeMessage);
}

ExitResult halfSecondExit(std::string_view text, double lowerLimit, std::string_view rangeMessage) {
    if (text.empty()) {
        return {};
    }
    const auto v = parseDecimalNumber(text);
    if (!v) {
        return ExitResult::refused(ExitKind::NotANumber, notADecimalNumberMessage(text));
    }
    // A time is never negative, whatever limit the field asks for.
    if (*v < std::max(lowerLimit, 0.0) || *v > kHalfSecondMaximum) {
        return ExitResult::refused(ExitKind::OutOfRange, rangeMessage);
    }
    const auto held = static_cast<float>(*v);
    const auto whole = static_cast<int>(held);
    const bool isWhole = whole >= held;
    if (!isWhole && roundOneDecimal(held) != roundOneDecimal(whole + 0.5)) {
        return ExitResult::refused(ExitKind::NotOnHalfStep, kHalfStepMessage);
    }
    // Store the step the value was taken as, so that 2.45 (shown as 2.5)
    // does not store 2.0.
    const auto byte = static_cast<std::uint8_t>(2 * whole + (isWhole ? 0 : 1));
    return ExitResult::accepted(byte, formatHalfSeconds(byte));
}

ExitResult voltageExit(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const auto v = parseDecimalNumber(text);
    if (!v) {
        return ExitResult::refused(ExitKind::NotANumber, notADecimalNumberMessage(text));
    }
    if (*v < 0 || *v > 1) {
        return ExitResult::refused(ExitKind::OutOfRange, kVoltageRangeMessage);
    }
    // Adding 0.0 turns -0 into 0, which then shows as 0.00.
    auto shown = formatFixed(*v + 0.0, 2);
    // The byte comes from the text as shown, not from what was typed.
    const double w = parseDecimalNumber(shown).value_or(0.0);
    const auto x = static_cast<float>(w * 255 * (1.0 / 3.0));
    const auto byte = static_cast<std::uint8_t>(roundToDecimals(x, 1));
    return ExitResult::accepted(byte, std::move(shown));
}

double roundToDecimals(double x, int decimals) {
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                         std::chars_format::general, 15);
    const std::string_view s(buffer.data(), end);
    const auto point = s.find('.');
    const std::size_t p = point == std::string_view::npos ? 0 : point + 1;
    const double f = std::pow(10.0, decimals);
    const double y = s.size() - p <= 1 ? std::floor((x + 0.5) * f) : std::floor(x * f + 0.5);
    return y / f;
}

std::string formatWholeNumber(long value) {
    std::array<char, 24> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), end};
}

std::string formatHalfSeconds(std::uint8_t byte) {
    return formatFixed(byte * 0.5, 1);
}

std::string formatVolts(std::uint8_t byte) {
    return formatFixed(byte * 3.0 / 255.0, 2);
}
