#pragma once

#include <string_view>

// What the key filters of the typed fields do with one typed character. Only
// the field's current text counts; the caret and any selection play no part.

inline constexpr char32_t kBackspace = 8;
inline constexpr char32_t kEnter = 13;

inline constexpr std::string_view kNotNumericMessage = "Please insert a numeric!";

enum class KeyDecision {
    Pass,               // the character goes into the field
    Swallow,            // dropped without a word
    SwallowWithMessage, // dropped; report kNotNumericMessage and give the field the focus again
    EndEntry,           // Enter, dropped; the focus moves to the sink, which runs the exit handling
    ExitThenEndEntry,   // Enter, dropped; run the exit handling now, then EndEntry
    ExitKeepFocus,      // Enter, dropped; run the exit handling now, the focus stays
};

// Byte and word fields: digits only.
KeyDecision wholeNumberKey(char32_t key);
// Tone and half-second fields: at most one decimal, no leading point.
KeyDecision oneDecimalKey(std::string_view text, char32_t key);
// Voltage fields and the full-time monitor delay: at most two decimals.
KeyDecision twoDecimalKey(std::string_view text, char32_t key);
// The frequency field: only Enter is handled; its length limit does the rest.
KeyDecision frequencyKey(char32_t key);
