#pragma once

class QWidget;

// Makes the window's controls readable by assistive technology: pick-lists
// are named by what they set (their label or accessible name) with their item
// as value, the invisible focus sink is not announced, and every control
// without a name of its own takes its buddy label's text, and its hint (its
// own or its label's) as its description.
namespace accessibleControls {

// Once per process, before the first control is read.
void install();

void describe(QWidget& window);

} // namespace accessibleControls
