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

// One control of the main window and the registry field it edits or shows.
// A per-call field has one control per call, named name1 .. nameN with the
// call number as its Tag.
struct FieldControl {
    std::string_view name;
    std::string_view field;
    ControlOption option = ControlOption::None;
    // The column head whose hint describes the control, where no label of its
    // own carries one.
    std::string_view hintLabel = {};
};

// Every edit, pick-list, switch and value label of the main window that
// belongs to a field, in the order of the window.
std::span<const FieldControl> fieldControls();
