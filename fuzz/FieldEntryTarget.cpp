// The field-entry rules: NAME=VALUE lines from the input taken into the
// image as the command line's set does, and each value through the exit
// rules of numbers, tones and the frequency. The first byte picks the tone
// mode, the band and the channel-step item.
#include "model/DefaultImage.h"
#include "rules/DisplayPass.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "rules/FrequencyExit.h"
#include "rules/NumberRules.h"
#include "rules/ToneRules.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Settings {
    ToneMode toneMode;
    Band band;
    std::optional<int> stepItem;
};

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void checkByteExit(const ExitResult& result) {
    check(result.kind != ExitKind::Accepted || result.value <= 0xFF);
}

void exitRules(std::string_view value, const Settings& settings) {
    checkByteExit(byteExit(value));
    wordExit(value);
    checkByteExit(voltageExit(value));
    // The half step accepted is what is stored and shown: showing it again
    // and leaving the field keeps it.
    const ExitResult half = halfSecondExit(value, 0, kHalfStepMessage);
    checkByteExit(half);
    if (half.kind == ExitKind::Accepted && half.shownText) {
        const ExitResult again = halfSecondExit(*half.shownText, 0, kHalfStepMessage);
        check(again.kind == ExitKind::Accepted && again.value == half.value);
    }
    const ParsedTone tone = parseToneText(value);
    if (tone.tenths && toneInRange(settings.toneMode, *tone.tenths)) {
        const auto snapped =
            snapToStandardTone(settings.toneMode, static_cast<ToneTenths>(*tone.tenths));
        encodeToneCode(snapped, ToneMarker::Tone2);
        formatTone(snapped);
    }
    exitFrequency(value, settings.band, settings.stepItem, 0);
}

// The rule of the field itself, on a copy of the image.
void fieldRule(ConfigImage image, const FieldRef& ref, std::string_view value,
               const Settings& settings) {
    switch (ref.def->kind) {
    case FieldKind::Number:
    case FieldKind::HalfSeconds:
    case FieldKind::Volts: {
        const ExitResult result = typedFieldExit(*ref.def, value);
        if (result.kind == ExitKind::Accepted) {
            storeTypedField(image, ref, result.value);
            showField(image, ref);
        }
        break;
    }
    case FieldKind::Tone:
        enterToneField(image, ref, value, settings.toneMode);
        showField(image, ref);
        break;
    case FieldKind::Frequency:
        checkFrequency(value, settings.band, settings.stepItem, 0);
        break;
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int item = (data[0] >> 2) & 7;
    const Settings settings{(data[0] & 1) != 0 ? ToneMode::User : ToneMode::Standard,
                            (data[0] & 2) != 0 ? Band::High : Band::Low,
                            item == 7 ? std::nullopt : std::optional<int>(item)};
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    ConfigImage image = defaultImage();
    applyDisplayPass(image);
    std::vector<FieldAssignment> assignments;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = line.find('=');
        const std::string_view value =
            equals == std::string_view::npos ? line : line.substr(equals + 1);
        exitRules(value, settings);
        if (const auto ref = parseFieldRef(line.substr(0, equals))) {
            fieldRule(image, *ref, value, settings);
            assignments.push_back({*ref, std::string(value)});
        }
    }

    const ConfigImage before = image;
    const EntryResult result = enterFields(image, assignments, settings.toneMode);
    // A refusal leaves the image exactly as it was.
    check(result.accepted || image == before);
    for (const FieldRef& ref : allFieldRefs()) {
        showField(image, ref);
    }
    return 0;
}
