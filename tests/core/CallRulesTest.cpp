#include "rules/CallRules.h"

#include <gtest/gtest.h>

TEST(AlertTypeItem, ShowsTheRecordWithoutItsPriorityBit) {
    EXPECT_EQ(alertTypeItem(0x00), 0);
    EXPECT_EQ(alertTypeItem(0x08), 8);
    EXPECT_EQ(alertTypeItem(0x83), 3);
    EXPECT_EQ(alertTypeItem(0x88), 8);
}

TEST(AlertTypeItem, SelectsNothingBeyondTheList) {
    EXPECT_EQ(alertTypeItem(0x09), std::nullopt);
    EXPECT_EQ(alertTypeItem(0x89), std::nullopt);
    // Bit 6 is not part of the priority bit and keeps the value off the list.
    EXPECT_EQ(alertTypeItem(0x41), std::nullopt);
    EXPECT_EQ(alertTypeItem(0xFF), std::nullopt);
}
