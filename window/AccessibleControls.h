#pragma once

class QWidget;

// What Qt's own accessibility does not give the window: pick-lists named by
// what they set (their label or accessible name) with their item as value,
// a focus sink that is not announced, a tab bar that lists only the pages it
// shows (the locked page stays in the tab widget, hidden), and a label's
// hint read as the description of the control it labels. Names from buddy
// labels and descriptions from the controls' own hints are Qt's.
namespace accessibleControls {

// Once per process, before the first control is read.
void install();

void describe(QWidget& window);

} // namespace accessibleControls
