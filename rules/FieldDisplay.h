#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// One value of the image in the units the window shows it: a number in the
// unit beside its edit, on/off, the caption of a pick-list item, or hex for
// words the tool computes and bytes it does not interpret. monostate stands
// for "none" (no synthesizer words exist for the stored frequency and step).
using FieldScalar = std::variant<std::monostate, bool, std::int64_t, double, std::string>;

struct ShownValue {
    FieldScalar value;
    // For a terminal: the value with its unit and whatever the window would
    // make of it (band, step, a stored code that names no item).
    std::string text;
    // Where the tool computes the field itself (tone codes, synthesizer
    // words, checksum): what it would store now.
    std::optional<FieldScalar> computed;
};

// The text a field's edit or label shows for its stored value: a whole
// number, half seconds ("%01.1f"), volts ("%1.2f"), a tone ("%04.1f"), the
// frequency's seven digits, the firmware version or a synthesizer word in hex.
std::string fieldEditText(const ConfigImage& image, const FieldRef& ref);

// The pick-list item the window selects for the stored value; nothing when
// the value names no item (the list then shows no selection).
std::optional<int> fieldItem(const ConfigImage& image, const FieldRef& ref);

// Whether a switch field is on.
bool fieldOn(const ConfigImage& image, const FieldRef& ref);

ShownValue showField(const ConfigImage& image, const FieldRef& ref);
