#pragma once

#include "rules/ToneRules.h"
#include "model/ConfigImage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Every field of the image by its byte-map name, with the bits that hold it,
// how the window shows it and which rule takes an entry for it. Dumps, diffs
// and the command line's "set" all work from this one table.

// Which image bits hold one value: size bytes from pos, each ANDed with mask.
struct FieldBits {
    int pos;
    int size = 1;
    std::uint8_t mask = 0xFF;
};

enum class FieldKind {
    Version,       // bytes 1-2, "major.minor"; filled by Read and Write
    Frequency,     // seven digits in 100 Hz, checked with band and step, words recomputed
    ChannelSpace,  // CSpace, by the caption of the band's step list
    Number,        // a byte or word in the unit beside its edit
    Flag,          // one bit, on/off
    Privacy,       // SYSPrivacy, which switches Push To Listen off and on
    PushToListen,  // SYSPTL, the on/off half of cboPTL
    PtlMode,       // PTL, the mode half of cboPTL
    HalfSeconds,   // a byte of 0.5-second steps
    Volts,         // a byte of volts x 255 / 3
    Item,          // a byte holding a pick-list index
    Reminder,      // half-seconds chosen from cboReminder
    ResetMethod,   // ResetCon, a code behind cboResetCon's items
    BatteryLow,    // a code behind the hidden cboBatteryLow; Write stores 103
    Tone,          // tenths of a hertz, stored with its tone code
    ToneCode,      // the decoder code of a tone, stored and recomputed
    PllWord,       // PLLR or PLLN, stored and recomputed
    VersionTag,    // 14 bytes of text
    Checksum,      // stored and computed
    Uninterpreted, // carried unchanged, shown as hex
};

// How a typed value is filtered, as the window's key filters would.
enum class EntryFilter { None, WholeNumber, OneDecimal, TwoDecimals };

struct FieldDef {
    std::string_view name;
    // The caption the window shows beside the field's control; per-call
    // fields name the column, fieldCaption adds the call's row.
    std::string_view caption = {};
    FieldKind kind;
    int calls = 0; // 0: one value; otherwise one value per call 1..calls
    FieldBits (*bits)(int call) = nullptr;
    std::string_view unit = {};
    // Item, Reminder, PtlMode, BatteryLow, ResetMethod: the captions of the
    // pick-list.
    std::span<const std::string_view> items = {};
    // Number: a 16-bit word. WriteMark is a Number the user cannot set.
    bool word = false;
    bool settable = true;
    // HalfSeconds.
    double lowerLimit = 0;
    std::string_view rangeMessage = {};
    EntryFilter filter = EntryFilter::None;
    // Tone: the position of its code; ToneCode: the position of its tone.
    int (*partner)(int call) = nullptr;
    ToneMarker marker = ToneMarker::Tone1OrGroup; // Tone and ToneCode
};

// In byte-map order; the bits of all entries together cover each bit of the
// image exactly once.
std::span<const FieldDef> fieldRegistry();

// "Freq" or "T1": case is ignored.
const FieldDef* findField(std::string_view name);

// One value of the image: a field and, for per-call fields, the call.
struct FieldRef {
    const FieldDef* def = nullptr;
    int call = 0;
};

// "Freq", "T1[2]", "t1[2]". Nothing for an unknown name, a missing or
// out-of-range call number, or a call number on a single-valued field.
std::optional<FieldRef> parseFieldRef(std::string_view text);

// A field the caller knows by name, such as a window handler's own field;
// an unknown name or call is a programming error and throws std::logic_error.
FieldRef fieldRef(std::string_view name, int call = 0);

// "Freq" or "T1[2]".
std::string fieldRefName(const FieldRef& ref);

// A field of the two group calls, whose tone column on the CALL tab keeps
// the Tone Table's target.
bool isGroupCallField(const FieldDef& def);

// What the window calls the value: "Battery Save", "CALL #2 TONE1",
// "Group CALL #1"; empty for values the window does not show.
std::string fieldCaption(const FieldRef& ref);

// Every value of the image in registry order, calls in order.
std::span<const FieldRef> allFieldRefs();

// Whether the bits of the value differ between two images.
bool fieldDiffers(const FieldRef& ref, const ConfigImage& a, const ConfigImage& b);
