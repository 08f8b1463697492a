#pragma once

#include "model/ConfigImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// Pure rules behind the behaviour settings: which list item stands for which
// stored code, and back.
namespace behaviour {

// The reset methods in list order. The stored code differs from the item
// index because the two revert methods were added after the others.
inline constexpr std::array<std::string_view, 6> kResetMethodNames{
    "Auto Reset", "Delay N sec Auto Reset",  "Manual RESET", "Time-Out RESET",
    "Revert SQ",  "Delay AUTO N with Revert"};
// With Push To Listen on, the pager cannot revert to squelch: only the first
// four methods are offered.
inline constexpr int kResetMethodsWithPushToListen = 4;

// The code stored for a list item; nothing for an index outside the list.
std::optional<std::uint8_t> resetCodeOfItem(int item);
// The list item of a stored code; nothing for a code that has no item.
std::optional<int> resetItemOfCode(std::uint8_t code);
// The item selected in the shortened list: the revert methods fall back to
// "Auto Reset".
std::optional<int> resetItemWithPushToListen(std::uint8_t code);
// Whether the method waits the delay time (the delay edit is shown).
bool resetCodeUsesDelay(std::uint8_t code);

// The key times of the monitor/reset button take 1 to 127.5 seconds. The
// reset delay and the standby-to-monitor delay also take 0 and 0.5: no delay
// is a sound setting, and pagers and table files in the field carry such
// values. Their message names the key times' range all the same.
inline constexpr double kKeyTimeLowerLimit = 1;
inline constexpr double kDelayLowerLimit = 0;
inline constexpr std::string_view kKeyTimeRangeMessage =
    "Please insert a number between 1 to 127.5";

// Reminder list: "Disable", "30  Second", "60  Second", "120 Second".
// Any stored byte maps to the nearest-below item...
int reminderItemOfByte(std::uint8_t byte);
// ...and an item to the half-seconds stored; anything else stores 0.
std::uint8_t reminderByteOfItem(int item);

// Push To Listen list: "Disable", "Alert & Vibration Mode",
// "Vibration Mode Only". sysPtl is the on/off bit, ptl the mode bit.
int pushToListenItem(bool sysPtl, bool ptl);
// The mode bit an item stores; nothing for "Disable", which keeps the bit.
std::optional<std::uint8_t> ptlBitOfItem(int item);

// The rules a pick or a click on the Setting tab carries out in the image.
// The window and the command line both store through these.

// cboResetConClick: the code of the item picked in the list in use; no item
// (or a stored code that has none) keeps the stored code.
void applyResetItem(ConfigImage& image, std::optional<int> item);
// The reset-method items offered: all six, or the first four with Push To Listen on.
int resetItemsOffered(const ConfigImage& image);
// cboPTLClick: item 0 switches Push To Listen off and offers all six reset
// methods again; items 1 and 2 switch it on, which turns a revert method
// into "Auto Reset", and choose the mode.
void applyPushToListenItem(ConfigImage& image, int item);
// chkSYSSVClick for Privacy Enable, run when the box changes: privacy
// switches Push To Listen off; without it Push To Listen comes back in the
// mode last chosen.
void applyPrivacy(ConfigImage& image, bool on);
// cboReminderClick: the half-seconds of the item picked.
void applyReminderItem(ConfigImage& image, int item);

// Low-battery list "1.10 v" .. "1.20 v" for the codes 94, 96, 98, 100, 102;
// nothing for any other code.
std::optional<int> batteryLowItem(std::uint8_t code);

} // namespace behaviour
