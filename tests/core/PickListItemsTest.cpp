// The captions of the window's pick-lists as the user reads them, spacing
// included: the window fills its lists from these, and set takes them.

#include "rules/BehaviourRules.h"
#include "rules/CallRules.h"
#include "rules/ChannelStep.h"
#include "rules/ComboItems.h"
#include "rules/FrequencyDigits.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Items = std::vector<std::string_view>;

Items itemsOf(std::span<const std::string_view> list) {
    return {list.begin(), list.end()};
}

} // namespace

TEST(PickListItems, CaptionsAsTheUserReadsThem) {
    EXPECT_EQ(itemsOf(kBandItems), (Items{"135-174 MHz", "400-499 MHz"}));
    EXPECT_EQ(itemsOf(stepItems(Band::Low)), (Items{"12.5 K", "10 K", "Auto"}));
    EXPECT_EQ(itemsOf(stepItems(Band::High)), (Items{"12.5 K", "10 K", "6.25 K", "5 K"}));
    EXPECT_EQ(itemsOf(behaviour::kResetMethodNames),
              (Items{"Auto Reset", "Delay N sec Auto Reset", "Manual RESET", "Time-Out RESET",
                     "Revert SQ", "Delay AUTO N with Revert"}));
    EXPECT_EQ(itemsOf(kReminderItems),
              (Items{"Disable", "30  Second", "60  Second", "120 Second"}));
    EXPECT_EQ(itemsOf(kRecordMaxItems), (Items{"1 section  (120 second)", "2 sections (60 second)",
                                               "4 sections (30 second)"}));
    EXPECT_EQ(itemsOf(kPushToListenItems),
              (Items{"Disable", "Alert & Vibration Mode", "Vibration Mode Only"}));
    EXPECT_EQ(itemsOf(kBatteryLowItems), (Items{"1.10 v", "1.12 v", "1.14 v", "1.17 v", "1.20 v"}));
}

// Items whose caption is their value: the per-cent band widths and the
// numbered alert types.
TEST(PickListItems, NumberedItemsFollowTheirRule) {
    ASSERT_EQ(kBandWidthItems.size(), 16U);
    for (std::size_t k = 0; k < kBandWidthItems.size(); ++k) {
        std::array<char, 8> expected{};
        std::snprintf(expected.data(), expected.size(), "%.1f", 0.1 + 0.2 * static_cast<double>(k));
        EXPECT_EQ(kBandWidthItems[k], expected.data()) << k;
    }
    ASSERT_EQ(kAlertTypeItems.size(), 9U);
    for (std::size_t k = 0; k < kAlertTypeItems.size(); ++k) {
        EXPECT_EQ(kAlertTypeItems[k], std::to_string(k)) << k;
    }
}
