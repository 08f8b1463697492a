#pragma once

// The serial ports the window lists, one a line: name and description.
int runPorts();
