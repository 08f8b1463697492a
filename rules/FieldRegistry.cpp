#include "rules/FieldRegistry.h"

#include "rules/CallRules.h"
#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "rules/ComboItems.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using K = FieldKind;

constexpr int kGroupCalls = 2;

constexpr std::string_view kDecoderResetRangeMessage = "Please insert a number between 0 to 127.5";

template <int Pos, int Size = 1, std::uint8_t Mask = 0xFF> FieldBits at(int /*call*/) {
    return {Pos, Size, Mask};
}

FieldBits flagBits(BitField f) {
    return {f.pos, 1, static_cast<std::uint8_t>(((1U << f.width) - 1) << f.shift)};
}

template <int t> FieldBits systemFlag(int /*call*/) {
    return flagBits(field::SystemFlag(t));
}

const std::array kFields{
    FieldDef{.name = "0", .kind = K::Uninterpreted, .bits = at<0>},
    FieldDef{.name = "Version",
             .caption = "Version",
             .kind = K::Version,
             .bits = at<field::VersionMajor, 2>},
    FieldDef{.name = "Freq",
             .caption = "Frequency",
             .kind = K::Frequency,
             .bits = at<field::Freq, field::FreqDigits>,
             .unit = "x 100 Hz"},
    FieldDef{.name = "CSpace",
             .caption = "Channel Space",
             .kind = K::ChannelSpace,
             .bits = at<field::CSpace>},
    FieldDef{
        .name = "WriteMark", .kind = K::Number, .bits = at<field::WriteMark>, .settable = false},
    FieldDef{.name = "12-15", .kind = K::Uninterpreted, .bits = at<12, 4>},
    FieldDef{.name = "T1Code",
             .kind = K::ToneCode,
             .calls = 4,
             .bits =
                 [](int n) {
                     return FieldBits{field::T1Code(n), 2};
                 },
             .partner = field::T1,
             .marker = ToneMarker::Tone1OrGroup},
    FieldDef{.name = "T2Code",
             .kind = K::ToneCode,
             .calls = 4,
             .bits =
                 [](int n) {
                     return FieldBits{field::T2Code(n), 2};
                 },
             .partner = field::T2,
             .marker = ToneMarker::Tone2},
    FieldDef{.name = "32-47", .kind = K::Uninterpreted, .bits = at<32, 16>},
    FieldDef{.name = "Duty",
             .caption = "ON",
             .kind = K::Flag,
             .calls = 4,
             .bits = [](int n) { return flagBits(field::DutyBit(n)); }},
    FieldDef{.name = "48 bits 4-7", .kind = K::Uninterpreted, .bits = at<field::Duty, 1, 0xF0>},
    FieldDef{.name = "BandWidth",
             .caption = "Decoder Bandwidth",
             .kind = K::Item,
             .bits = at<field::BandWidth>,
             .unit = "%",
             .items = kBandWidthItems},
    FieldDef{.name = "Tone1Limit",
             .caption = "Tone1 limit",
             .kind = K::Number,
             .bits = at<field::Tone1Limit, 2>,
             .unit = "x 100 ms",
             .word = true,
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "Tone1Len",
             .caption = "Tone1 duration",
             .kind = K::Number,
             .bits = at<field::Tone1Len, 2>,
             .unit = "x 100 ms",
             .word = true,
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "Tone2Limit",
             .caption = "Tone2 limit",
             .kind = K::Number,
             .bits = at<field::Tone2Limit, 2>,
             .unit = "x 100 ms",
             .word = true,
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "Tone2Len",
             .caption = "Tone2 duration",
             .kind = K::Number,
             .bits = at<field::Tone2Len, 2>,
             .unit = "x 100 ms",
             .word = true,
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "BS_Period",
             .caption = "Battery Save",
             .kind = K::Number,
             .bits = at<field::BS_Period>,
             .unit = "x 10 ms",
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "BS_Duty",
             .caption = "AD Delay",
             .kind = K::Number,
             .bits = at<field::BS_Duty>,
             .unit = "ms",
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "60-61", .kind = K::Uninterpreted, .bits = at<60, 2>},
    FieldDef{.name = "RecordMax",
             .caption = "Record Section",
             .kind = K::Item,
             .bits = at<field::RecordMax>,
             .items = kRecordMaxItems},
    FieldDef{.name = "BatteryLow",
             .caption = "Low Battery",
             .kind = K::BatteryLow,
             .bits = at<field::BatteryLow>,
             .items = kBatteryLowItems,
             .settable = false},
    FieldDef{.name = "RSSI",
             .caption = "NRSSI",
             .kind = K::Volts,
             .bits = at<field::RSSI>,
             .unit = "V",
             .filter = EntryFilter::TwoDecimals},
    FieldDef{.name = "AutoMonitor",
             .caption = "Auto Monitor key time",
             .kind = K::HalfSeconds,
             .bits = at<field::AutoMonitor>,
             .unit = "Second",
             .lowerLimit = behaviour::kKeyTimeLowerLimit,
             .rangeMessage = behaviour::kKeyTimeRangeMessage,
             .filter = EntryFilter::OneDecimal},
    FieldDef{.name = "AudioLock",
             .caption = "Audio lock on key time",
             .kind = K::HalfSeconds,
             .bits = at<field::AudioLock>,
             .unit = "Second",
             .lowerLimit = behaviour::kKeyTimeLowerLimit,
             .rangeMessage = behaviour::kKeyTimeRangeMessage,
             .filter = EntryFilter::OneDecimal},
    FieldDef{.name = "ResetCon",
             .caption = "Reset control",
             .kind = K::ResetMethod,
             .bits = at<field::ResetCon>,
             .items = behaviour::kResetMethodNames},
    FieldDef{.name = "Delay",
             .caption = "Delay Time",
             .kind = K::HalfSeconds,
             .bits = at<field::Delay>,
             .unit = "Second",
             .lowerLimit = behaviour::kDelayLowerLimit,
             .rangeMessage = behaviour::kKeyTimeRangeMessage,
             .filter = EntryFilter::OneDecimal},
    FieldDef{.name = "SYSSV",
             .caption = "Save voice",
             .kind = K::Flag,
             .bits = systemFlag<field::SYSSV>},
    FieldDef{.name = "SYSPTL",
             .caption = "Push To Listen",
             .kind = K::PushToListen,
             .bits = systemFlag<field::SYSPTL>},
    FieldDef{.name = "SYSAudio",
             .caption = "Audio lock on",
             .kind = K::Flag,
             .bits = systemFlag<field::SYSAudio>},
    FieldDef{.name = "SYSFIX",
             .caption = "FIX Alert",
             .kind = K::Flag,
             .bits = systemFlag<field::SYSFIX>},
    FieldDef{.name = "SYSPow",
             .caption = "Disable Power OFF",
             .kind = K::Flag,
             .bits = systemFlag<field::SYSPow>},
    FieldDef{.name = "SYSVib",
             .caption = "Disable vibration mode",
             .kind = K::Flag,
             .bits = systemFlag<field::SYSVib>},
    FieldDef{.name = "SYSPowSave",
             .caption = "Power Save Disable",
             .kind = K::Flag,
             .bits = systemFlag<field::SYSPowSave>},
    FieldDef{.name = "SYSPrivacy",
             .caption = "Privacy Enable",
             .kind = K::Privacy,
             .bits = systemFlag<field::SYSPrivacy>},
    FieldDef{.name = "Reminder",
             .caption = "Reminder",
             .kind = K::Reminder,
             .bits = at<field::Reminder>,
             .items = kReminderItems},
    FieldDef{.name = "71-72", .kind = K::Uninterpreted, .bits = at<71, 2>},
    FieldDef{.name = "Tone3Len",
             .caption = "Group call duration",
             .kind = K::Number,
             .bits = at<field::Tone3Len, 2>,
             .unit = "x 100 ms",
             .word = true,
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "RFDelay",
             .caption = "RF delay time",
             .kind = K::Number,
             .bits = at<field::RFDelay>,
             .unit = "ms",
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "RSSI2",
             .caption = "Speaker OFF",
             .kind = K::Volts,
             .bits = at<field::RSSI2>,
             .unit = "V",
             .filter = EntryFilter::TwoDecimals},
    FieldDef{.name = "NoiseLimit",
             .caption = "Noise limit",
             .kind = K::Number,
             .bits = at<field::NoiseLimit>,
             .unit = "x 100 ms",
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "GapMax",
             .caption = "Gap MAX.",
             .kind = K::Number,
             .bits = at<field::GapMax>,
             .unit = "x 100 ms",
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "SSI",
             .caption = "Speaker ON (NRSSI)",
             .kind = K::Volts,
             .bits = at<field::SSI>,
             .unit = "V",
             .filter = EntryFilter::TwoDecimals},
    FieldDef{.name = "DecorderReset",
             .caption = "Decorder Reset",
             .kind = K::HalfSeconds,
             .bits = at<field::DecorderReset>,
             .unit = "Second",
             .lowerLimit = 0,
             .rangeMessage = kDecoderResetRangeMessage,
             .filter = EntryFilter::OneDecimal},
    FieldDef{.name = "FullTimeAutoMonitor",
             .caption = "Full Time Auto Monitor",
             .kind = K::Flag,
             .bits = [](int) { return flagBits(field::FullTimeAutoMonitor); }},
    FieldDef{.name = "VolumeLevel",
             .caption = "Priority Max. Volume Level",
             .kind = K::Flag,
             .bits = [](int) { return flagBits(field::VolumeLevel); }},
    FieldDef{.name = "PTL",
             .caption = "Push To Listen",
             .kind = K::PtlMode,
             .bits = [](int) { return flagBits(field::PTL); },
             .items = kPushToListenItems},
    FieldDef{
        .name = "81 bits 0-1,5-7", .kind = K::Uninterpreted, .bits = at<field::Flags, 1, 0xE3>},
    FieldDef{.name = "DelayFullTime",
             .caption = "Standby To Monitor Delay Time",
             .kind = K::HalfSeconds,
             .bits = at<field::DelayFullTime>,
             .unit = "Second",
             .lowerLimit = behaviour::kDelayLowerLimit,
             .rangeMessage = behaviour::kKeyTimeRangeMessage,
             .filter = EntryFilter::TwoDecimals},
    FieldDef{.name = "Squelch",
             .caption = "Carrier OFF delay",
             .kind = K::Number,
             .bits = at<field::Squelch>,
             .unit = "x 150 ms",
             .filter = EntryFilter::WholeNumber},
    FieldDef{.name = "84-86", .kind = K::Uninterpreted, .bits = at<84, 3>},
    FieldDef{.name = "T3Code",
             .kind = K::ToneCode,
             .calls = 2,
             .bits =
                 [](int n) {
                     return FieldBits{field::T3Code(n), 2};
                 },
             .partner = field::T3,
             .marker = ToneMarker::Tone1OrGroup},
    FieldDef{.name = "91-94", .kind = K::Uninterpreted, .bits = at<91, 4>},
    FieldDef{.name = "GDuty",
             .caption = "ON",
             .kind = K::Flag,
             .calls = 2,
             .bits = [](int n) { return flagBits(field::GDutyBit(n)); }},
    FieldDef{.name = "95 bits 2-7", .kind = K::Uninterpreted, .bits = at<field::GDuty, 1, 0xFC>},
    FieldDef{.name = "Priority",
             .caption = "Priority Alert",
             .kind = K::Flag,
             .calls = 4,
             .bits = [](int n) { return flagBits(field::Priority(n)); }},
    // Shown as the record byte without its priority bit, as the window does.
    FieldDef{.name = "AlertType",
             .caption = "Alert Type",
             .kind = K::Item,
             .calls = 4,
             .bits =
                 [](int n) {
                     return FieldBits{field::CallRecord(n), 1, 0x7F};
                 },
             .items = kAlertTypeItems},
    FieldDef{.name = "AlertTime",
             .caption = "Alert Time",
             .kind = K::HalfSeconds,
             .calls = 4,
             .bits = [](int n) { return FieldBits{field::AlertTime(n)}; },
             .unit = "Second",
             .lowerLimit = kAlertTimeLowerLimit,
             .rangeMessage = kAlertTimeRangeMessage,
             .filter = EntryFilter::OneDecimal},
    FieldDef{.name = "104-111", .kind = K::Uninterpreted, .bits = at<104, 8>},
    FieldDef{.name = "GPriority",
             .caption = "Priority Alert",
             .kind = K::Flag,
             .calls = 2,
             .bits = [](int n) { return flagBits(field::GPriority(n)); }},
    FieldDef{.name = "GAlertType",
             .caption = "Alert Type",
             .kind = K::Item,
             .calls = 2,
             .bits =
                 [](int n) {
                     return FieldBits{field::GroupRecord(n), 1, 0x7F};
                 },
             .items = kAlertTypeItems},
    FieldDef{.name = "GAlertTime",
             .caption = "Alert Time",
             .kind = K::HalfSeconds,
             .calls = 2,
             .bits = [](int n) { return FieldBits{field::GAlertTime(n)}; },
             .unit = "Second",
             .lowerLimit = kAlertTimeLowerLimit,
             .rangeMessage = kAlertTimeRangeMessage,
             .filter = EntryFilter::OneDecimal},
    FieldDef{.name = "116-119", .kind = K::Uninterpreted, .bits = at<116, 4>},
    FieldDef{.name = "PLLR", .caption = "PLLR", .kind = K::PllWord, .bits = at<field::PLLR, 4>},
    FieldDef{.name = "PLLN", .caption = "PLLN", .kind = K::PllWord, .bits = at<field::PLLN, 4>},
    FieldDef{.name = "128-191", .kind = K::Uninterpreted, .bits = at<128, 64>},
    FieldDef{.name = "T1",
             .caption = "TONE1",
             .kind = K::Tone,
             .calls = 4,
             .bits =
                 [](int n) {
                     return FieldBits{field::T1(n), 2};
                 },
             .unit = "Hz",
             .filter = EntryFilter::OneDecimal,
             .partner = field::T1Code,
             .marker = ToneMarker::Tone1OrGroup},
    FieldDef{.name = "T2",
             .caption = "TONE2",
             .kind = K::Tone,
             .calls = 4,
             .bits =
                 [](int n) {
                     return FieldBits{field::T2(n), 2};
                 },
             .unit = "Hz",
             .filter = EntryFilter::OneDecimal,
             .partner = field::T2Code,
             .marker = ToneMarker::Tone2},
    FieldDef{.name = "208-223", .kind = K::Uninterpreted, .bits = at<208, 16>},
    FieldDef{.name = "T3",
             .kind = K::Tone,
             .calls = 2,
             .bits =
                 [](int n) {
                     return FieldBits{field::T3(n), 2};
                 },
             .unit = "Hz",
             .filter = EntryFilter::OneDecimal,
             .partner = field::T3Code,
             .marker = ToneMarker::Tone1OrGroup},
    FieldDef{.name = "228-231", .kind = K::Uninterpreted, .bits = at<228, 4>},
    FieldDef{.name = "232-239", .kind = K::Uninterpreted, .bits = at<232, 8>},
    FieldDef{.name = "VersionTag",
             .kind = K::VersionTag,
             .bits = at<field::VersionTag, field::VersionTagSize>},
    FieldDef{.name = "Checksum", .kind = K::Checksum, .bits = at<field::Checksum, 2>},
};

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::vector<FieldRef> expandRefs() {
    std::vector<FieldRef> refs;
    for (const FieldDef& def : kFields) {
        if (def.calls == 0) {
            refs.push_back({&def, 0});
        }
        for (int call = 1; call <= def.calls; ++call) {
            refs.push_back({&def, call});
        }
    }
    return refs;
}

} // namespace

std::span<const FieldDef> fieldRegistry() {
    return kFields;
}

const FieldDef* findField(std::string_view name) {
    const auto it = std::ranges::find_if(
        kFields, [&](const FieldDef& def) { return sameName(def.name, name); });
    return it == kFields.end() ? nullptr : &*it;
}

FieldRef fieldRef(std::string_view name, int call) {
    const FieldDef* def = findField(name);
    if (def == nullptr || call < 0 || call > def->calls || (def->calls != 0 && call == 0)) {
        throw std::logic_error("no field " + std::string(name) + "[" + std::to_string(call) + "]");
    }
    return {def, call};
}

std::optional<FieldRef> parseFieldRef(std::string_view text) {
    const auto open = text.find('[');
    const FieldDef* def = findField(text.substr(0, open));
    if (def == nullptr) {
        return std::nullopt;
    }
    if (open == std::string_view::npos) {
        if (def->calls != 0) {
            return std::nullopt;
        }
        return FieldRef{def, 0};
    }
    const std::string_view index = text.substr(open + 1);
    int call = 0;
    const auto [end, ec] = std::from_chars(index.data(), index.data() + index.size(), call);
    const bool closed = ec == std::errc{} && end + 1 == index.data() + index.size() && *end == ']';
    if (!closed || call < 1 || call > def->calls) {
        return std::nullopt;
    }
    return FieldRef{def, call};
}

std::string fieldRefName(const FieldRef& ref) {
    std::string name(ref.def->name);
    if (ref.def->calls != 0) {
        name += "[" + std::to_string(ref.call) + "]";
    }
    return name;
}

bool isGroupCallField(const FieldDef& def) {
    return def.calls == kGroupCalls;
}

std::string fieldCaption(const FieldRef& ref) {
    const FieldDef& def = *ref.def;
    if (def.calls == 0 || def.kind == FieldKind::ToneCode) {
        return std::string(def.caption);
    }
    // The rows of the CALL tab: four individual calls, then two group calls.
    std::string row =
        (isGroupCallField(def) ? "Group CALL #" : "CALL #") + std::to_string(ref.call);
    return def.caption.empty() ? row : row + " " + std::string(def.caption);
}

std::span<const FieldRef> allFieldRefs() {
    static const std::vector<FieldRef> refs = expandRefs();
    return refs;
}

bool fieldDiffers(const FieldRef& ref, const ConfigImage& a, const ConfigImage& b) {
    const FieldBits bits = ref.def->bits(ref.call);
    for (int i = 0; i < bits.size; ++i) {
        const auto pos = static_cast<std::size_t>(bits.pos + i);
        if (((a[pos] ^ b[pos]) & bits.mask) != 0) {
            return true;
        }
    }
    return false;
}
