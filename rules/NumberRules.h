#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// What a typed field does with its text when the entry ends. Numbers are read
// and written with "." as the decimal point whatever the locale.

inline constexpr std::string_view kByteRangeMessage = "Please insert a number between 0 to 255";
inline constexpr std::string_view kWordRangeMessage = "Please insert a number between 0 to 65535";
inline constexpr std::string_view kVoltageRangeMessage = "Please insert a number between 0 to 1";
inline constexpr std::string_view kHalfStepMessage = "The interval is 0.5 second.";

// Longest time a half-second field holds: 255 half seconds.
inline constexpr double kHalfSecondMaximum = 127.5;

enum class ExitKind {
    Empty,         // nothing typed: show the stored value again
    Accepted,      // store value; show shownText, or leave the typed text when it has none
    OutOfRange,    // report message; the field gets the focus back
    NotOnHalfStep, // report message; show the stored value again
    NotANumber,    // report message in an error box; the text stays
};

struct ExitResult {
    ExitKind kind = ExitKind::Empty;
    std::uint16_t value = 0;
    std::optional<std::string> shownText;
    std::string message;

    static ExitResult accepted(std::uint16_t value,
                               std::optional<std::string> shownText = std::nullopt) {
        return {ExitKind::Accepted, value, std::move(shownText), {}};
    }
    static ExitResult refused(ExitKind kind, std::string_view message) {
        return {kind, 0, std::nullopt, std::string(message)};
    }

    bool operator==(const ExitResult&) const = default;
};

// Blanks around the number are ignored; an optional sign is allowed; a number
// beyond the range of int is not a number. Leading zeros are fine ("007" is 7).
std::optional<int> parseWholeNumber(std::string_view text);
// Plain or exponent notation with "."; infinities, NaN and values beyond the
// range of double are not numbers.
std::optional<double> parseDecimalNumber(std::string_view text);

// "'<text>' is not a valid integer value." and its floating-point twin.
std::string notAWholeNumberMessage(std::string_view text);
std::string notADecimalNumberMessage(std::string_view text);

// One image byte, 0..255; an accepted text is left as typed.
ExitResult byteExit(std::string_view text);
// A 16-bit image value, 0..65535; an accepted text is left as typed.
ExitResult wordExit(std::string_view text);
// One image byte counting half seconds, lowerLimit..127.5 seconds. A value
// that comes to a half step at one decimal is taken as that step, and the
// step is what is both stored and shown.
ExitResult halfSecondExit(std::string_view text, double lowerLimit, std::string_view rangeMessage);
// One image byte holding volts × 255 / 3, 0..1 volt; the field shows two decimals.
ExitResult voltageExit(std::string_view text);

// x rounded half up to n decimals; but when the 15-significant-digit text of x
// has at most one character after its point (or is a single character), x + 0.5
// cut down to n decimals. The voltage store relies on this: 42.5 gives 43.
double roundToDecimals(double x, int decimals);

// "%i" / "%ld".
std::string formatWholeNumber(long value);
// "%01.1f" of byte × 0.5.
std::string formatHalfSeconds(std::uint8_t byte);
// "%1.2f" of byte × 3 / 255.
std::string formatVolts(std::uint8_t byte);
