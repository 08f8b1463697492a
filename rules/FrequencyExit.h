#pragma once

#include "rules/ChannelStep.h"
#include "rules/FrequencyDigits.h"
#include "rules/Synthesizer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What leaving edtFreq decides for the typed text.
enum class FreqExitKind {
    ShowStored,   // empty text: show the stored frequency and recompute the words
    NotANumber,   // message in an error box, nothing stored
    OutOfBand,    // range message in a plain window, focus back, nothing stored
    NoStepChosen, // no cboCSpace item selected: nothing happens
    SpacingError, // "Channel Spacing Error!", focus back; cspace may have changed
    Accepted,     // store digits, cspace and words
};

struct FreqExit {
    FreqExitKind kind = FreqExitKind::ShowStored;
    std::string message;
    // Set once a step has been chosen (SpacingError and Accepted).
    std::optional<ChannelStep> step;
    // Accepted only.
    std::int32_t frequency = 0;
    FreqDigits digits{};
    PllWords pll{};
};

inline constexpr std::string_view kChannelSpacingError = "Channel Spacing Error!";

// The checks and results of leaving edtFreq with the given text, band and
// selected step item, against the stored CSpace code.
FreqExit exitFrequency(std::string_view text, Band band, std::optional<int> stepItem,
                       std::uint8_t storedCSpace);
