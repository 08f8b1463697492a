#pragma once

#include "rules/ToneTables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Standard: every tone is snapped to the standard list. User: any tone in
// the wider range is taken as typed.
enum class ToneMode { Standard, User };

// Bits 15 and 14 of a tone code tell the decoder which tone of a call it is.
enum class ToneMarker : std::uint16_t {
    Tone1OrGroup = 0x8000,
    Tone2 = 0x4000,
};

inline constexpr std::int64_t kStandardToneMinimum = 2885;
inline constexpr std::int64_t kStandardToneMaximum = 24682;
inline constexpr std::int64_t kUserToneMinimum = 2800;
inline constexpr std::int64_t kUserToneMaximum = 35000;

inline constexpr std::string_view kStandardToneRangeMessage =
    "Please insert a number between 288.5 to 2468.2";
inline constexpr std::string_view kUserToneRangeMessage =
    "Please insert a number between 280 to 3500.0";

// A typed tone after conversion. tenths is kept wide so that the range rule
// sees the number as typed, not a 16-bit remainder of it.
struct ParsedTone {
    std::string shownText;              // what the edit shows now
    std::optional<std::int64_t> tenths; // empty when the text does not convert
    std::string error;                  // the conversion error to report, if any
};

// The text is read as a number and shown again as "%04.1f" ("5" -> "05.0");
// the tenths are the whole part of that text times ten plus its one decimal.
// A text that is no number keeps its text and reports the floating-point
// error; a whole part beyond the range of int shows the normalized text and
// reports the integer error.
ParsedTone parseToneText(std::string_view text);

// Inclusive bounds: 288.5..2468.2 Hz in Standard mode, 280.0..3500.0 Hz in User mode.
bool toneInRange(ToneMode mode, std::int64_t tenths);
std::string_view toneRangeMessage(ToneMode mode);

// User mode: the tone unchanged. Standard mode: the nearest entry of
// StandardToneList, the higher one on a tie; a tone with no entry within
// 100.0 Hz, which the range rule keeps out, comes back unchanged.
ToneTenths snapToStandardTone(ToneMode mode, ToneTenths tone);

// marker + 128 × g + h for the decoder's 118920-cycle window of a 3579545 Hz
// clock: g whole tone periods fit in the window, h is the rest in units of
// 120 cycles. Defined for 280.0..3500.0 Hz; a tone outside is encoded as the
// nearest end of that range, so g and h always fit their seven bits.
std::uint16_t encodeToneCode(ToneTenths tone, ToneMarker marker);

// "%04.1f" of tone × 0.1: 0 shows "00.0", 3305 shows "330.5".
std::string formatTone(ToneTenths tone);
