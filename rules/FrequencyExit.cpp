#include "rules/FrequencyExit.h"

#include "rules/NumberRules.h"

namespace {

FreqExit refused(FreqExitKind kind, std::string message) {
    FreqExit result;
    result.kind = kind;
    result.message = std::move(message);
    return result;
}

} // namespace

FreqExit exitFrequency(std::string_view text, Band band, std::optional<int> stepItem,
                       std::uint8_t storedCSpace) {
    if (text.empty()) {
        return {};
    }
    const auto frequency = parseWholeNumber(text);
    if (!frequency) {
        return refused(FreqExitKind::NotANumber, notAWholeNumberMessage(text));
    }
    const BandLimits limits = bandLimits(band);
    if (*frequency < limits.lo || *frequency > limits.hi) {
        return refused(FreqExitKind::OutOfBand, frequencyRangeMessage(band));
    }
    const auto step = chooseChannelStep(band, stepItem, *frequency, storedCSpace);
    if (!step) {
        return refused(FreqExitKind::NoStepChosen, {});
    }
    FreqExit result = refused(FreqExitKind::SpacingError, std::string{kChannelSpacingError});
    result.step = step;
    const auto words = computePll(*frequency, step->step, bandMultiplier(band));
    if (!words) {
        return result;
    }
    result.kind = FreqExitKind::Accepted;
    result.message.clear();
    result.frequency = *frequency;
    result.digits = frequencyDigits(*frequency);
    result.pll = *words;
    return result;
}
