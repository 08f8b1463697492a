#pragma once

#include "rules/FieldRegistry.h"

#include <span>
#include <string_view>

// How a control departs from the editing convention of its field's kind.
enum class ControlOption {
    None,
    // Left empty, the entry also ends in the focus sink (the carrier-off delay).
    EmptyEndsEntry,
    // A stored code that names no item leaves the selection as it was.
    KeepsSelection,
};

// What a control does for its field.
enum class ControlRole {
    Value,      // edits or shows the field's value
    BandList,   // the band the frequency lies in
    Multiplier, // the band's synthesizer multiplier
};

// One control of the main window and the registry field it belongs to. A
// per-call field has one control per call, named name1 .. nameN with the call
// number as its Tag. A control's caption is the label whose buddy it is.
struct FieldControl {
    std::string_view name;
    std::string_view field;
    ControlOption option = ControlOption::None;
    // The column head whose hint describes the control, where no label of its
    // own carries one.
    std::string_view hintLabel = {};
    // The unit printed after the control, enabled and shown with it.
    std::string_view unitLabel = {};
    // The Tone Table's column: 0 TONE 1, 1 TONE 2, 2 group tone; -1 none.
    int toneColumn = -1;
    ControlRole role = ControlRole::Value;
};

// Every control of the main window that belongs to a field, in the order of
// the window.
std::span<const FieldControl> fieldControls();

// The labels that say, while a tone is typed in Standard Mode, that F9
// opens the Tone Table.
std::span<const std::string_view> toneTablePrompt();
