#include "rules/AdvanceLock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PasswordCase {
    const char* name;
    std::string entry;
    bool accepted;
};

class PasswordRule : public testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordRule, AcceptsOnlyThePasswordInAnyCaseWithinBlanks) {
    EXPECT_EQ(AdvanceLock::accepts(GetParam().entry), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PasswordRule,
    testing::Values(PasswordCase{"exact", "R4TZQ", true}, PasswordCase{"lower_case", "r4tzq", true},
                    PasswordCase{"mixed_case_blanks_around", "  r4TzQ   ", true},
                    PasswordCase{"tab_and_control_characters_around", "\t\x01R4TZQ\r\n", true},
                    PasswordCase{"blank_inside", "R4T ZQ", false},
                    PasswordCase{"one_more_character", "R4TZQX", false},
                    PasswordCase{"one_character_short", "R4TZ", false},
                    PasswordCase{"empty", "", false}, PasswordCase{"only_blanks", "     ", false},
                    PasswordCase{"non_ascii_after", "R4TZQ\xc3\xa9", false}),
    [](const testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

TEST(AdvanceLock, ThreeWrongTriesLockAndANewShowingGivesThreeMore) {
    AdvanceLock lock;
    lock.start();
    EXPECT_EQ(lock.tryPassword("x"), AdvanceLock::Answer::TryAgain);
    EXPECT_EQ(lock.tryPassword("y"), AdvanceLock::Answer::TryAgain);
    EXPECT_EQ(lock.tryPassword("z"), AdvanceLock::Answer::Locked);
    lock.start();
    EXPECT_EQ(lock.tryPassword("x"), AdvanceLock::Answer::TryAgain);
    EXPECT_EQ(lock.tryPassword("r4tzq"), AdvanceLock::Answer::Unlocked);
}

} // namespace
