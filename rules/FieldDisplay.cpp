#include "rules/FieldDisplay.h"

#include "rules/ToneRules.h"
#include "model/ByteMap.h"
#include "model/FirmwareVersion.h"
#include "rules/BehaviourRules.h"
#include "rules/ChannelStep.h"
#include "rules/FrequencyDigits.h"
#include "rules/Synthesizer.h"
#include "rules/FieldEntry.h"
#include "rules/NumberRules.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>

namespace {

constexpr int kHexBytesPerLine = 16;

std::string hex(std::uint32_t value, int digits) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%0*X", digits, static_cast<unsigned>(value));
    return text.data();
}

double number(const std::string& text) {
    return parseDecimalNumber(text).value_or(0.0);
}

std::string withUnit(std::string text, std::string_view unit) {
    if (!unit.empty()) {
        text += ' ';
        text += unit;
    }
    return text;
}

ShownValue plain(FieldScalar value, std::string text) {
    return {std::move(value), std::move(text), std::nullopt};
}

// The value of the field's bits, high byte first, each byte masked and
// shifted down to its lowest set bit.
std::uint32_t rawValue(const ConfigImage& image, const FieldBits& bits) {
    const int shift = std::countr_zero(bits.mask);
    std::uint32_t value = 0;
    for (int i = 0; i < bits.size; ++i) {
        value = value << 8 | (image[static_cast<std::size_t>(bits.pos + i)] & bits.mask) >> shift;
    }
    return value;
}

ShownValue caption(std::span<const std::string_view> items, std::optional<int> item,
                   std::uint32_t code, std::string_view unit) {
    if (!item || *item < 0 || static_cast<std::size_t>(*item) >= items.size()) {
        return plain(std::int64_t{code}, "code " + std::to_string(code) + " (no item)");
    }
    const std::string text(items[static_cast<std::size_t>(*item)]);
    return plain(text, withUnit(text, unit));
}

// A pick-list whose items stand for stored codes: the caption names the code.
ShownValue codedCaption(std::span<const std::string_view> items, std::optional<int> item,
                        std::uint32_t code) {
    ShownValue shown = caption(items, item, code, {});
    if (std::holds_alternative<std::string>(shown.value)) {
        shown.text += " (code " + std::to_string(code) + ")";
    }
    return shown;
}

ShownValue onOff(bool on) {
    return plain(on, on ? "on" : "off");
}

ShownValue frequency(const ConfigImage& image) {
    const std::int32_t f = frequencyFromImage(image);
    std::string mhz = std::to_string(f / 10000) + ".";
    const std::string fraction = std::to_string(f % 10000);
    mhz += std::string(4 - std::min<std::size_t>(4, fraction.size()), '0') + fraction;
    return plain(std::int64_t{f}, frequencyText(f) + " x 100 Hz (" + mhz + " MHz, band " +
                                      std::string(bandItemText(bandOfImage(image))) + ")");
}

ShownValue channelSpace(const ConfigImage& image) {
    const std::uint8_t code = image[field::CSpace];
    const Band band = bandOfImage(image);
    const auto item = stepItemForCSpace(band, code);
    if (!item) {
        return plain(std::int64_t{code}, "code " + std::to_string(code) + " (no item in band " +
                                             std::string(bandItemText(band)) + ")");
    }
    const std::string text(stepItems(band)[static_cast<std::size_t>(*item)]);
    std::string detail = text;
    const FrequencyCheck check = checkStoredFrequency(image);
    if (check.exit.step) {
        detail += ", step " + std::to_string(check.exit.step->step) + " Hz";
    }
    return plain(text, detail + " (code " + std::to_string(code) + ")");
}

ShownValue toneCode(const ConfigImage& image, const FieldDef& def, int call) {
    const auto stored = readWord(image, def.bits(call).pos);
    const auto tone = readWord(image, def.partner(call));
    const auto computed = encodeToneCode(tone, def.marker);
    return {hex(stored, 4), "stored " + hex(stored, 4) + ", computed " + hex(computed, 4),
            hex(computed, 4)};
}

ShownValue tone(const ConfigImage& image, const FieldDef& def, int call) {
    const auto value = readWord(image, def.bits(call).pos);
    const std::string text = formatTone(value);
    const bool standard = std::ranges::find(StandardToneList, value) != StandardToneList.end();
    return plain(number(text),
                 withUnit(text, def.unit) + (standard ? "" : " (not a standard tone)"));
}

ShownValue pllWord(const ConfigImage& image, const FieldDef& def) {
    const std::uint32_t stored = readDword(image, def.bits(0).pos);
    const FrequencyCheck check = checkStoredFrequency(image);
    std::string text = "stored " + hex(stored, 8) + ", computed ";
    if (check.exit.kind != FreqExitKind::Accepted) {
        const std::string why = check.exit.message.empty() ? "no channel step" : check.exit.message;
        return {hex(stored, 8), text + "none (" + why + ")", FieldScalar{}};
    }
    const std::uint32_t computed =
        def.bits(0).pos == field::PLLR ? check.exit.pll.reference : check.exit.pll.divider;
    return {hex(stored, 8), text + hex(computed, 8), hex(computed, 8)};
}

ShownValue versionTag(const ConfigImage& image) {
    std::string text;
    for (int i = 0; i < field::VersionTagSize; ++i) {
        const auto c = image[static_cast<std::size_t>(field::VersionTag + i)];
        if (c == 0) {
            break;
        }
        text += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : "\\x" + hex(c, 2);
    }
    return plain(text, text);
}

ShownValue checksum(const ConfigImage& image) {
    const auto stored = storedChecksum(image);
    const auto computed = imageChecksum(image);
    return {hex(stored, 4), "stored " + hex(stored, 4) + ", computed " + hex(computed, 4),
            hex(computed, 4)};
}

ShownValue uninterpreted(const ConfigImage& image, const FieldBits& bits) {
    std::string value;
    std::string text;
    for (int i = 0; i < bits.size; ++i) {
        const auto byte = hex(image[static_cast<std::size_t>(bits.pos + i)] & bits.mask, 2);
        value += (i == 0 ? "" : " ") + byte;
        text += (i == 0 ? "" : i % kHexBytesPerLine == 0 ? "\n" : " ") + byte;
    }
    return plain(value, text);
}

} // namespace

ShownValue showField(const ConfigImage& image, const FieldRef& ref) {
    const FieldDef& def = *ref.def;
    const FieldBits bits = def.bits(ref.call);
    const std::uint32_t raw = rawValue(image, bits);
    const auto byte = static_cast<std::uint8_t>(raw);
    switch (def.kind) {
    case FieldKind::Version: {
        const std::string text = FirmwareVersion{image[bits.pos], image[bits.pos + 1]}.text();
        return plain(text, text);
    }
    case FieldKind::Frequency:
        return frequency(image);
    case FieldKind::ChannelSpace:
        return channelSpace(image);
    case FieldKind::Number:
        return plain(std::int64_t{raw}, withUnit(formatWholeNumber(raw), def.unit));
    case FieldKind::Flag:
    case FieldKind::Privacy:
    case FieldKind::PushToListen:
        return onOff(raw != 0);
    case FieldKind::PtlMode: {
        // cboPTL's caption, which is what an entry takes back; with Push To
        // Listen off, the mode it returns in is kept beside it.
        const bool on = readBits(image, field::SystemFlag(field::SYSPTL)) != 0;
        ShownValue shown = caption(def.items, behaviour::pushToListenItem(on, raw != 0), raw, {});
        if (!on) {
            shown.text += " (mode kept: " +
                          std::string(def.items[static_cast<std::size_t>(
                              behaviour::pushToListenItem(true, raw != 0))]) +
                          ")";
        }
        return shown;
    }
    case FieldKind::HalfSeconds: {
        const std::string text = formatHalfSeconds(byte);
        return plain(number(text), withUnit(text, def.unit));
    }
    case FieldKind::Volts: {
        const std::string text = formatVolts(byte);
        return plain(number(text), withUnit(text, def.unit));
    }
    case FieldKind::Item:
        return caption(def.items, static_cast<int>(raw), raw, def.unit);
    case FieldKind::Reminder: {
        const int item = behaviour::reminderItemOfByte(byte);
        ShownValue shown = caption(def.items, item, raw, {});
        if (behaviour::reminderByteOfItem(item) != byte) {
            shown.text += " (stored " + std::to_string(raw) + ")";
        }
        return shown;
    }
    case FieldKind::ResetMethod:
        return codedCaption(behaviour::kResetMethodNames, behaviour::resetItemOfCode(byte), raw);
    case FieldKind::BatteryLow:
        return codedCaption(def.items, behaviour::batteryLowItem(byte), raw);
    case FieldKind::Tone:
        return tone(image, def, ref.call);
    case FieldKind::ToneCode:
        return toneCode(image, def, ref.call);
    case FieldKind::PllWord:
        return pllWord(image, def);
    case FieldKind::VersionTag:
        return versionTag(image);
    case FieldKind::Checksum:
        return checksum(image);
    case FieldKind::Uninterpreted:
        return uninterpreted(image, bits);
    }
    return plain(std::int64_t{raw}, std::to_string(raw));
}

std::string fieldEditText(const ConfigImage& image, const FieldRef& ref) {
    const std::uint32_t raw = rawValue(image, ref.def->bits(ref.call));
    const auto byte = static_cast<std::uint8_t>(raw);
    switch (ref.def->kind) {
    case FieldKind::HalfSeconds:
        return formatHalfSeconds(byte);
    case FieldKind::Volts:
        return formatVolts(byte);
    case FieldKind::Tone:
        return formatTone(static_cast<ToneTenths>(raw));
    case FieldKind::Frequency:
        return frequencyText(frequencyFromImage(image));
    case FieldKind::Version:
        return std::get<std::string>(showField(image, ref).value);
    case FieldKind::PllWord:
        return pllWordText(raw);
    default:
        return formatWholeNumber(static_cast<long>(raw));
    }
}

std::optional<int> fieldItem(const ConfigImage& image, const FieldRef& ref) {
    const auto byte = static_cast<std::uint8_t>(rawValue(image, ref.def->bits(ref.call)));
    switch (ref.def->kind) {
    case FieldKind::Item:
        return byte;
    case FieldKind::Reminder:
        return behaviour::reminderItemOfByte(byte);
    case FieldKind::PtlMode:
        return behaviour::pushToListenItem(
            readBits(image, field::SystemFlag(field::SYSPTL)) != 0, byte != 0);
    case FieldKind::ResetMethod:
        return behaviour::resetItemOfCode(byte);
    case FieldKind::BatteryLow:
        return behaviour::batteryLowItem(byte);
    case FieldKind::ChannelSpace:
        return stepItemForCSpace(bandOfImage(image), byte);
    default:
        return std::nullopt;
    }
}

bool fieldOn(const ConfigImage& image, const FieldRef& ref) {
    return rawValue(image, ref.def->bits(ref.call)) != 0;
}
