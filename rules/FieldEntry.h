#pragma once

#include "rules/ToneRules.h"
#include "model/ConfigImage.h"
#include "rules/FrequencyExit.h"
#include "rules/FieldRegistry.h"
#include "rules/KeyFilters.h"
#include "rules/NumberRules.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Typed values taken into the image by the window's rules: the same ranges,
// steps, snapping and messages, and the same fields stored alongside (tone
// codes with tones, synthesizer words with the frequency, Push To Listen with
// privacy).

// The frequency rule for a frequency text and a cboCSpace item in a band,
// and the CSpace code it leaves: the Auto code the rule found, otherwise the
// item's index (the stored code when no item is chosen).
struct FrequencyCheck {
    FreqExit exit;
    std::uint8_t cspace = 0;
};
FrequencyCheck checkFrequency(std::string_view text, Band band, std::optional<int> item,
                              std::uint8_t storedCSpace);

// What the display pass makes of the stored frequency and step.
FrequencyCheck checkStoredFrequency(const ConfigImage& image);

// Stores what a frequency check decided: the step code once a step was
// chosen (also when the frequency then failed it), and for an accepted
// frequency its digits and synthesizer words.
void storeFrequencyCheck(ConfigImage& image, const FrequencyCheck& check);

// cboCSpaceClick: the code of the step item picked in the band. "Auto" first
// takes the Auto code of the step the stored code stands for; the frequency
// check that follows picks the step that fits.
void applyStepItem(ConfigImage& image, Band band, std::optional<int> item);

// What the field's key filter does with a key typed after text; a field
// without a filter (the frequency) handles only Enter.
KeyDecision filterKey(EntryFilter filter, std::string_view text, char32_t key);

// The exit rule of a typed number field (Number, HalfSeconds, Volts): its
// range, step and message come from the field's definition.
ExitResult typedFieldExit(const FieldDef& def, std::string_view text);
// Stores a value that exit rule accepted where the field keeps it.
void storeTypedField(ConfigImage& image, const FieldRef& ref, std::uint16_t value);

enum class ToneEntryKind {
    NotANumber, // message in an error box; nothing stored
    OutOfRange, // range message of the tone mode; nothing stored
    Accepted,   // tone and its code stored
};

struct ToneEntry {
    ToneEntryKind kind;
    std::string shownText; // what the edit shows now
    std::string message;
};

// A tone typed into T1, T2 or T3 of a call: read, range-checked for the tone
// mode, snapped to the standard list in Standard Mode, and stored with its
// decoder code.
ToneEntry enterToneField(ConfigImage& image, const FieldRef& ref, std::string_view text,
                         ToneMode mode);

// How a tone column goes on after an entry: TONE 1 and TONE 2 give the Tone
// Table's target back once a tone is committed and clear a tone Standard
// Mode refuses; the group column keeps its target and shows its stored tone
// again.
struct ToneColumnBehaviour {
    bool keepsTableTarget;
    bool refusedShowsStored;
};
ToneColumnBehaviour toneColumnBehaviour(const FieldDef& tone);

struct FieldAssignment {
    FieldRef ref;
    std::string text;
};

struct EntryResult {
    bool accepted = true;
    FieldRef refused; // the value whose entry was refused
    std::string message;
};

// The longest text a value is taken from ("Delay AUTO N with Revert" and the
// like are far shorter); a longer one is refused before it is read.
inline constexpr std::size_t kMostValueLength = 64;

// Takes the values in order into the image. Freq and CSpace are checked
// together once, after the others, so their order does not matter. On the
// first refusal the image is left exactly as it was.
EntryResult enterFields(ConfigImage& image, std::span<const FieldAssignment> assignments,
                        ToneMode toneMode);
