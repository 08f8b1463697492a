#include "rules/FieldEntry.h"

#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "rules/ChannelStep.h"
#include "rules/FrequencyDigits.h"
#include "rules/Synthesizer.h"
#include "rules/KeyFilters.h"
#include "rules/NumberRules.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <vector>

namespace {

constexpr std::string_view kPrivacyLocksPushToListen =
    "Push To Listen cannot be switched on while Privacy Enable is on.";

struct Refusal {
    std::string message;
};

using Outcome = std::optional<Refusal>;

Outcome refuse(std::string message) {
    return Refusal{std::move(message)};
}

std::string joined(std::span<const std::string_view> items) {
    std::string text;
    for (const auto item : items) {
        text += (text.empty() ? "" : ", ") + std::string(item);
    }
    return text;
}

// Lower case, blanks trimmed and runs of blanks taken as one, so that
// "30 second" finds "30  Second".
std::string normalized(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!out.empty() && out.back() != ' ') {
                out += ' ';
            }
        } else {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

// An item by its caption, or by the start of exactly one caption; the unit
// shown beside the list may follow ("1.5 %").
std::optional<int> findItem(std::span<const std::string_view> items, std::string_view text,
                            std::string_view unit) {
    std::string wanted = normalized(text);
    const std::string suffix = normalized(unit);
    if (!suffix.empty() && wanted.size() > suffix.size() && wanted.ends_with(suffix)) {
        wanted = normalized(wanted.substr(0, wanted.size() - suffix.size()));
    }
    std::optional<int> prefixMatch;
    int prefixMatches = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = normalized(items[i]);
        if (item == wanted) {
            return static_cast<int>(i);
        }
        if (!wanted.empty() && item.starts_with(wanted)) {
            prefixMatch = static_cast<int>(i);
            ++prefixMatches;
        }
    }
    return prefixMatches == 1 ? prefixMatch : std::nullopt;
}

std::string notAnItem(std::string_view text, std::string_view name,
                      std::span<const std::string_view> items) {
    return "'" + std::string(text) + "' is not an item of " + std::string(name) + ": " +
           joined(items) + ".";
}

std::optional<bool> parseOnOff(std::string_view text) {
    const std::string t = normalized(text);
    if (t == "on" || t == "1" || t == "true" || t == "yes") {
        return true;
    }
    if (t == "off" || t == "0" || t == "false" || t == "no") {
        return false;
    }
    return std::nullopt;
}

// The window's key filters decide what can be typed at all; a text they
// would not let through is refused here as the window's parser would.
Outcome filterText(EntryFilter filter, std::string_view text) {
    std::string typed;
    for (const char c : text) {
        const auto key = static_cast<char32_t>(static_cast<unsigned char>(c));
        const KeyDecision decision = filterKey(filter, typed, key);
        if (decision == KeyDecision::SwallowWithMessage) {
            return refuse(std::string(kNotNumericMessage));
        }
        if (decision != KeyDecision::Pass) {
            return refuse(notADecimalNumberMessage(text));
        }
        typed += c;
    }
    return std::nullopt;
}

BitField bitField(const FieldBits& bits) {
    return {bits.pos, std::countr_zero(bits.mask), std::popcount(bits.mask)};
}

bool privacyOn(const ConfigImage& image) {
    return readBits(image, field::SystemFlag(field::SYSPrivacy)) != 0;
}

Outcome enterPushToListen(ConfigImage& image, int item) {
    if (item != 0 && privacyOn(image)) {
        return refuse(std::string(kPrivacyLocksPushToListen));
    }
    behaviour::applyPushToListenItem(image, item);
    return std::nullopt;
}

Outcome enterTone(ConfigImage& image, const FieldRef& ref, std::string_view text, ToneMode mode) {
    if (auto refused = filterText(ref.def->filter, text)) {
        return refused;
    }
    const ToneEntry entry = enterToneField(image, ref, text, mode);
    if (entry.kind != ToneEntryKind::Accepted) {
        return refuse(entry.message);
    }
    return std::nullopt;
}

Outcome enterItem(ConfigImage& image, const FieldDef& def, int call, std::string_view text) {
    const auto item = findItem(def.items, text, def.unit);
    if (!item) {
        return refuse(notAnItem(text, def.name, def.items));
    }
    const auto value = static_cast<std::uint8_t>(*item);
    if (def.kind == FieldKind::Reminder) {
        behaviour::applyReminderItem(image, *item);
    } else if (def.kind == FieldKind::PtlMode) {
        return enterPushToListen(image, *item);
    } else if (def.calls != 0) {
        // Alert types keep bit 6 and the priority bit of their record byte.
        writeBits(image, {def.bits(call).pos, 0, 6}, value);
    } else {
        image[static_cast<std::size_t>(def.bits(call).pos)] = value;
    }
    return std::nullopt;
}

Outcome enterResetMethod(ConfigImage& image, std::string_view text) {
    const std::span<const std::string_view> items =
        std::span(behaviour::kResetMethodNames)
            .first(static_cast<std::size_t>(behaviour::resetItemsOffered(image)));
    const auto item = findItem(items, text, {});
    if (!item) {
        return refuse(notAnItem(text, "ResetCon", items));
    }
    behaviour::applyResetItem(image, item);
    return std::nullopt;
}

Outcome notSettable(const FieldDef& def) {
    switch (def.kind) {
    case FieldKind::Version:
        return refuse("Version is filled from the pager by Read and Write.");
    case FieldKind::ToneCode:
        return refuse(std::string(def.name) + " is stored with its tone.");
    case FieldKind::PllWord:
        return refuse(std::string(def.name) + " is computed from Freq and CSpace.");
    case FieldKind::Uninterpreted:
        return refuse("Bytes the tool does not interpret are never changed by it.");
    default:
        return refuse(std::string(def.name) + " is stored by Write.");
    }
}

Outcome enterOne(ConfigImage& image, const FieldRef& ref, std::string_view text, ToneMode mode) {
    const FieldDef& def = *ref.def;
    if (!def.settable) {
        return notSettable(def);
    }
    switch (def.kind) {
    case FieldKind::Number:
    case FieldKind::HalfSeconds:
    case FieldKind::Volts: {
        if (auto refused = filterText(def.filter, text)) {
            return refused;
        }
        const ExitResult exit = typedFieldExit(def, text);
        if (exit.kind != ExitKind::Accepted) {
            return refuse(exit.message);
        }
        storeTypedField(image, ref, exit.value);
        return std::nullopt;
    }
    case FieldKind::Flag:
    case FieldKind::Privacy:
    case FieldKind::PushToListen: {
        const auto on = parseOnOff(text);
        if (!on) {
            return refuse("'" + std::string(text) + "' is neither on nor off.");
        }
        if (def.kind == FieldKind::Privacy) {
            // The box's rule runs only when its state changes.
            if (*on != privacyOn(image)) {
                behaviour::applyPrivacy(image, *on);
            }
            return std::nullopt;
        }
        if (def.kind == FieldKind::PushToListen) {
            const bool ptl = readBits(image, field::PTL) != 0;
            return enterPushToListen(image, behaviour::pushToListenItem(*on, ptl));
        }
        writeBits(image, bitField(def.bits(ref.call)), *on ? 1 : 0);
        return std::nullopt;
    }
    case FieldKind::Item:
    case FieldKind::Reminder:
    case FieldKind::PtlMode:
        return enterItem(image, def, ref.call, text);
    case FieldKind::ResetMethod:
        return enterResetMethod(image, text);
    case FieldKind::Tone:
        return enterTone(image, ref, text, mode);
    default:
        return notSettable(def);
    }
}

Band bandOfEntry(const ConfigImage& image, std::optional<std::string_view> text) {
    if (text) {
        if (const auto f = parseWholeNumber(*text); f && *f >= 0) {
            return frequencyDigits(*f).front() == 1 ? Band::Low : Band::High;
        }
    }
    return bandOfImage(image);
}

// The band follows a typed frequency, as if its band had been picked first;
// the step item is the one named, or the one the stored code selects.
Outcome enterFrequency(ConfigImage& image, std::optional<std::string_view> freqText,
                       std::optional<std::string_view> spaceText) {
    const std::uint8_t stored = image[field::CSpace];
    const Band band = bandOfEntry(image, freqText);
    std::optional<int> item = stepItemForCSpace(band, stored);
    if (spaceText) {
        item = findItem(stepItems(band), *spaceText, {});
        if (!item) {
            return refuse(notAnItem(*spaceText, "CSpace in band " + std::string(bandItemText(band)),
                                    stepItems(band)));
        }
    }
    const std::string text =
        freqText ? std::string(*freqText) : frequencyText(frequencyFromImage(image));
    const FrequencyCheck check = checkFrequency(text, band, item, stored);
    switch (check.exit.kind) {
    case FreqExitKind::Accepted:
        storeFrequencyCheck(image, check);
        return std::nullopt;
    case FreqExitKind::NoStepChosen:
        return refuse("CSpace code " + std::to_string(stored) + " names no channel step of band " +
                      std::string(bandItemText(band)) + ": set CSpace too.");
    default:
        return refuse(check.exit.message);
    }
}

} // namespace

KeyDecision filterKey(EntryFilter filter, std::string_view text, char32_t key) {
    switch (filter) {
    case EntryFilter::WholeNumber:
        return wholeNumberKey(key);
    case EntryFilter::OneDecimal:
        return oneDecimalKey(text, key);
    case EntryFilter::TwoDecimals:
        return twoDecimalKey(text, key);
    case EntryFilter::None:
        break;
    }
    return frequencyKey(key);
}

ExitResult typedFieldExit(const FieldDef& def, std::string_view text) {
    switch (def.kind) {
    case FieldKind::HalfSeconds:
        return halfSecondExit(text, def.lowerLimit, def.rangeMessage);
    case FieldKind::Volts:
        return voltageExit(text);
    default:
        return def.word ? wordExit(text) : byteExit(text);
    }
}

void storeTypedField(ConfigImage& image, const FieldRef& ref, std::uint16_t value) {
    const int pos = ref.def->bits(ref.call).pos;
    if (ref.def->word) {
        writeWord(image, pos, value);
    } else {
        image[static_cast<std::size_t>(pos)] = static_cast<std::uint8_t>(value);
    }
}

ToneEntry enterToneField(ConfigImage& image, const FieldRef& ref, std::string_view text,
                         ToneMode mode) {
    const ParsedTone parsed = parseToneText(text);
    if (!parsed.tenths) {
        return {ToneEntryKind::NotANumber, parsed.shownText, parsed.error};
    }
    if (!toneInRange(mode, *parsed.tenths)) {
        return {ToneEntryKind::OutOfRange, parsed.shownText, std::string(toneRangeMessage(mode))};
    }
    const ToneTenths tone = snapToStandardTone(mode, static_cast<ToneTenths>(*parsed.tenths));
    writeWord(image, ref.def->bits(ref.call).pos, tone);
    writeWord(image, ref.def->partner(ref.call), encodeToneCode(tone, ref.def->marker));
    return {ToneEntryKind::Accepted, formatTone(tone), {}};
}

FrequencyCheck checkFrequency(std::string_view text, Band band, std::optional<int> item,
                              std::uint8_t storedCSpace) {
    FrequencyCheck check{exitFrequency(text, band, item, storedCSpace), storedCSpace};
    if (check.exit.step && item) {
        const bool autoStep = band == Band::Low && *item == kAutoItem;
        check.cspace = autoStep ? check.exit.step->cspace : static_cast<std::uint8_t>(*item);
    }
    return check;
}

FrequencyCheck checkStoredFrequency(const ConfigImage& image) {
    const Band band = bandOfImage(image);
    const std::uint8_t cspace = image[field::CSpace];
    return checkFrequency(frequencyText(frequencyFromImage(image)), band,
                          stepItemForCSpace(band, cspace), cspace);
}

void storeFrequencyCheck(ConfigImage& image, const FrequencyCheck& check) {
    if (check.exit.step) {
        image[field::CSpace] = check.cspace;
    }
    if (check.exit.kind == FreqExitKind::Accepted) {
        storeFrequency(image, check.exit.digits);
        storePll(image, check.exit.pll);
    }
}

void applyStepItem(ConfigImage& image, Band band, std::optional<int> item) {
    const std::uint8_t code = image[field::CSpace];
    image[field::CSpace] = cspaceForItem(band, item, codeStep(code), code);
}

EntryResult enterFields(ConfigImage& image, std::span<const FieldAssignment> assignments,
                        ToneMode toneMode) {
    ConfigImage work = image;
    std::optional<FieldAssignment> freq;
    std::optional<FieldAssignment> space;
    for (const FieldAssignment& a : assignments) {
        if (a.text.empty()) {
            return {false, a.ref, "No value given."};
        }
        if (a.text.size() > kMostValueLength) {
            return {false, a.ref,
                    "a value of " + std::to_string(a.text.size()) + " characters; no field takes "
                    "more than " + std::to_string(kMostValueLength) + "."};
        }
        if (a.ref.def->kind == FieldKind::Frequency) {
            freq = a;
            continue;
        }
        if (a.ref.def->kind == FieldKind::ChannelSpace) {
            space = a;
            continue;
        }
        if (auto refused = enterOne(work, a.ref, a.text, toneMode)) {
            return {false, a.ref, std::move(refused->message)};
        }
    }
    if (freq || space) {
        const auto freqText = freq ? std::optional<std::string_view>(freq->text) : std::nullopt;
        const auto spaceText = space ? std::optional<std::string_view>(space->text) : std::nullopt;
        if (auto refused = enterFrequency(work, freqText, spaceText)) {
            return {false, freq ? freq->ref : space->ref, std::move(refused->message)};
        }
    }
    image = work;
    return {};
}

ToneColumnBehaviour toneColumnBehaviour(const FieldDef& tone) {
    const bool group = isGroupCallField(tone);
    return {group, group};
}
