#include "rules/BehaviourRules.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace behaviour;

TEST(ResetMethod, ItemsAndCodesMapBothWays) {
    const std::array<std::uint8_t, 6> codes{0, 1, 3, 4, 2, 5};
    for (int item = 0; item < 6; ++item) {
        EXPECT_EQ(resetCodeOfItem(item), codes[static_cast<std::size_t>(item)]) << item;
        EXPECT_EQ(resetItemOfCode(codes[static_cast<std::size_t>(item)]), item) << item;
    }
    EXPECT_EQ(resetCodeOfItem(-1), std::nullopt);
    EXPECT_EQ(resetCodeOfItem(6), std::nullopt);
    EXPECT_EQ(resetItemOfCode(6), std::nullopt);
    EXPECT_EQ(resetItemOfCode(255), std::nullopt);
}

TEST(ResetMethod, PushToListenListDropsTheRevertMethods) {
    EXPECT_EQ(resetItemWithPushToListen(0), 0);
    EXPECT_EQ(resetItemWithPushToListen(1), 1);
    EXPECT_EQ(resetItemWithPushToListen(3), 2);
    EXPECT_EQ(resetItemWithPushToListen(4), 3);
    EXPECT_EQ(resetItemWithPushToListen(2), 0);
    EXPECT_EQ(resetItemWithPushToListen(5), 0);
    EXPECT_EQ(resetItemWithPushToListen(9), std::nullopt);
    for (std::uint8_t code = 0; code < 6; ++code) {
        EXPECT_LT(*resetItemWithPushToListen(code), kResetMethodsWithPushToListen);
    }
}

TEST(ResetMethod, DelayShownForTheDelayedMethodsOnly) {
    for (int code = 0; code < 256; ++code) {
        const bool expected = code == 1 || code == 4 || code == 5;
        EXPECT_EQ(resetCodeUsesDelay(static_cast<std::uint8_t>(code)), expected) << code;
    }
}

TEST(Reminder, StoredByteNormalisesThroughTheItem) {
    // byte, item, byte stored back
    const std::array cases{
        std::tuple{0, 0, 0},     std::tuple{1, 1, 60},    std::tuple{60, 1, 60},
        std::tuple{89, 1, 60},   std::tuple{90, 2, 120},  std::tuple{100, 2, 120},
        std::tuple{179, 2, 120}, std::tuple{180, 3, 240}, std::tuple{255, 3, 240},
    };
    for (const auto& [byte, item, back] : cases) {
        const int shown = reminderItemOfByte(static_cast<std::uint8_t>(byte));
        EXPECT_EQ(shown, item) << byte;
        EXPECT_EQ(reminderByteOfItem(shown), back) << byte;
    }
    EXPECT_EQ(reminderByteOfItem(-1), 0);
    EXPECT_EQ(reminderByteOfItem(4), 0);
}

TEST(PushToListen, BitsAndItems) {
    EXPECT_EQ(pushToListenItem(false, false), 0);
    EXPECT_EQ(pushToListenItem(false, true), 0);
    EXPECT_EQ(pushToListenItem(true, false), 1);
    EXPECT_EQ(pushToListenItem(true, true), 2);
    EXPECT_EQ(ptlBitOfItem(0), std::nullopt);
    EXPECT_EQ(ptlBitOfItem(1), 0);
    EXPECT_EQ(ptlBitOfItem(2), 1);
    EXPECT_EQ(ptlBitOfItem(-1), std::nullopt);
}

TEST(BatteryLow, OnlyTheFiveCodesHaveAnItem) {
    EXPECT_EQ(batteryLowItem(94), 0);
    EXPECT_EQ(batteryLowItem(96), 1);
    EXPECT_EQ(batteryLowItem(98), 2);
    EXPECT_EQ(batteryLowItem(100), 3);
    EXPECT_EQ(batteryLowItem(102), 4);
    for (int code : {0, 92, 93, 95, 97, 101, 103, 104, 255}) {
        EXPECT_EQ(batteryLowItem(static_cast<std::uint8_t>(code)), std::nullopt) << code;
    }
}
