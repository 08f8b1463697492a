#pragma once

#include "model/ConfigImage.h"

// What showing an image in the main window stores back into it. The display
// pass runs the click rules of the receive channel and the Setting tab, and
// those store the normalised forms of what they show: the frequency digits,
// the Auto step code and the synthesizer words when the stored frequency is
// accepted, the reset method under Push To Listen, the reminder, and Push To
// Listen under privacy. A table file or a Read becomes the working image this
// way, in the window and on the command line alike, and always as a freshly
// started window shows it (Privacy Enable unchecked before the pass), so that
// one file always becomes one image whatever was shown before.
void applyDisplayPass(ConfigImage& image);
