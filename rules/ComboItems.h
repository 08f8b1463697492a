#pragma once

#include <array>
#include <string_view>

// The items of the window's pick-lists whose index (or code) the image keeps;
// the window fills its lists from here. The reset methods live with their
// rules in BehaviourRules.h, the bands in FrequencyDigits.h, the channel steps
// in ChannelStep.h and the alert types in CallRules.h.

// cboBandWidth: (0.1 + 0.2 k) per cent, k stored.
inline constexpr std::array<std::string_view, 16> kBandWidthItems{
    "0.1", "0.3", "0.5", "0.7", "0.9", "1.1", "1.3", "1.5",
    "1.7", "1.9", "2.1", "2.3", "2.5", "2.7", "2.9", "3.1"};

// cboRecordMax: the item index is stored.
inline constexpr std::array<std::string_view, 3> kRecordMaxItems{
    "1 section  (120 second)", "2 sections (60 second)", "4 sections (30 second)"};

// cboReminder: see behaviour::reminderByteOfItem for the bytes.
inline constexpr std::array<std::string_view, 4> kReminderItems{"Disable", "30  Second",
                                                                "60  Second", "120 Second"};

// cboPTL: item 0 clears SYSPTL, items 1 and 2 set it and choose the PTL bit.
inline constexpr std::array<std::string_view, 3> kPushToListenItems{
    "Disable", "Alert & Vibration Mode", "Vibration Mode Only"};

// cboBatteryLow (always hidden): see behaviour::batteryLowItem.
inline constexpr std::array<std::string_view, 5> kBatteryLowItems{"1.10 v", "1.12 v", "1.14 v",
                                                                  "1.17 v", "1.20 v"};
