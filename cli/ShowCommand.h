#pragma once

#include <string>

// Every field of a table file in the window's units, as text or JSON.
int runShow(const std::string& path, bool json);
