#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"

#include <vector>

// The fields whose controls follow a stored switch: a call's fields follow
// its switch (ON); the record sections follow Save voice, the audio-lock
// time Audio lock on, the audio controls (Audio lock on, its time, the Auto
// Monitor key time and Push To Listen) Privacy Enable inverted, and the
// standby delay Full Time Auto Monitor.
struct FieldEnabling {
    FieldRef ref;
    bool enabled;

    bool operator==(const FieldEnabling&) const = default;
};

// What the user's change of one switch enables and disables: that switch's
// own rule. Nothing for a field no control follows.
std::vector<FieldEnabling> switchEnabling(const ConfigImage& image, const FieldRef& changedSwitch);

// The display pass sets the rules in their order, a later one over an
// earlier one: with Privacy Enable off the audio-lock time is enabled even
// while Audio lock on is off. The standby delay is left as it is.
std::vector<FieldEnabling> displayEnabling(const ConfigImage& image);

// Modify Mode enables every control, then every switch that is off disables
// what follows it: with Privacy Enable and Audio lock on both off, the
// audio-lock time is disabled, the one state in which the two passes differ.
// The standby delay is enabled with the rest.
std::vector<FieldEnabling> modifyModeEnabling(const ConfigImage& image);
