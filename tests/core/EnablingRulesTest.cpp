#include "rules/EnablingRules.h"

#include "model/DefaultImage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

void setSwitch(ConfigImage& image, std::string_view field, bool on, int call = 0) {
    const FieldBits bits = fieldRef(field, call).def->bits(call);
    const auto pos = static_cast<std::size_t>(bits.pos);
    image[pos] = static_cast<std::uint8_t>(on ? image[pos] | bits.mask : image[pos] & ~bits.mask);
}

std::optional<bool> stateOf(const std::vector<FieldEnabling>& states, std::string_view field,
                            int call = 0) {
    for (const FieldEnabling& state : states) {
        if (state.ref.def->name == field && state.ref.call == call) {
            return state.enabled;
        }
    }
    return std::nullopt;
}

ConfigImage withSwitches(bool privacy, bool audio) {
    ConfigImage image = defaultImage();
    setSwitch(image, "SYSPrivacy", privacy);
    setSwitch(image, "SYSAudio", audio);
    return image;
}

struct AudioCase {
    bool privacy;
    bool audio;
    bool displayLockTime;
    bool modifyLockTime;
};

class AudioLockTime : public testing::TestWithParam<AudioCase> {};

// The two passes set the same rules in a different order; they disagree only
// with privacy and audio lock both off.
TEST_P(AudioLockTime, FollowsPrivacyOnDisplayAndBothSwitchesInModifyMode) {
    const AudioCase c = GetParam();
    const ConfigImage image = withSwitches(c.privacy, c.audio);
    EXPECT_EQ(stateOf(displayEnabling(image), "AudioLock"), c.displayLockTime);
    EXPECT_EQ(stateOf(modifyModeEnabling(image), "AudioLock"), c.modifyLockTime);
    for (std::string_view control : {"SYSAudio", "AutoMonitor", "PTL"}) {
        EXPECT_EQ(stateOf(displayEnabling(image), control), !c.privacy) << control;
        EXPECT_EQ(stateOf(modifyModeEnabling(image), control), !c.privacy) << control;
    }
}

INSTANTIATE_TEST_SUITE_P(Switches, AudioLockTime,
                         testing::Values(AudioCase{false, false, true, false},
                                         AudioCase{false, true, true, true},
                                         AudioCase{true, false, false, false},
                                         AudioCase{true, true, false, false}));

TEST(EnablingRules, EveryCallFollowsItsOwnSwitchInBothPasses) {
    ConfigImage image = defaultImage();
    const int calls = findField("Duty")->calls;
    const int groupCalls = findField("GDuty")->calls;
    for (int call = 1; call <= calls; ++call) {
        setSwitch(image, "Duty", call % 2 == 0, call);
    }
    for (int call = 1; call <= groupCalls; ++call) {
        setSwitch(image, "GDuty", call == 1, call);
    }
    for (const auto& states : {displayEnabling(image), modifyModeEnabling(image)}) {
        for (int call = 1; call <= calls; ++call) {
            for (std::string_view field : {"T1", "T2", "AlertTime", "AlertType", "Priority"}) {
                EXPECT_EQ(stateOf(states, field, call), call % 2 == 0) << field << call;
            }
            // The switch itself stays usable.
            EXPECT_EQ(stateOf(states, "Duty", call), std::nullopt);
        }
        for (int call = 1; call <= groupCalls; ++call) {
            for (std::string_view field : {"T3", "GAlertTime", "GAlertType", "GPriority"}) {
                EXPECT_EQ(stateOf(states, field, call), call == 1) << field << call;
            }
        }
    }
}

TEST(EnablingRules, StandbyDelayAndRecordSections) {
    ConfigImage image = defaultImage();
    setSwitch(image, "FullTimeAutoMonitor", false);
    setSwitch(image, "SYSSV", false);
    // Only a change of its own switch decides the standby delay.
    EXPECT_EQ(stateOf(displayEnabling(image), "DelayFullTime"), std::nullopt);
    EXPECT_EQ(stateOf(modifyModeEnabling(image), "DelayFullTime"), std::nullopt);
    EXPECT_EQ(stateOf(switchEnabling(image, fieldRef("FullTimeAutoMonitor")), "DelayFullTime"),
              false);
    EXPECT_EQ(stateOf(displayEnabling(image), "RecordMax"), false);
    EXPECT_EQ(stateOf(modifyModeEnabling(image), "RecordMax"), false);
    setSwitch(image, "SYSSV", true);
    EXPECT_EQ(stateOf(switchEnabling(image, fieldRef("SYSSV")), "RecordMax"), true);
}

TEST(EnablingRules, ASwitchChangeRunsOnlyItsOwnRule) {
    // Audio lock off with privacy off: its own rule disables the time,
    // which the display pass would enable.
    const ConfigImage image = withSwitches(false, false);
    const auto states = switchEnabling(image, fieldRef("SYSAudio"));
    ASSERT_EQ(states.size(), 1U);
    EXPECT_EQ(stateOf(states, "AudioLock"), false);
    const auto call3 = switchEnabling(image, fieldRef("Duty", 3));
    for (const FieldEnabling& state : call3) {
        EXPECT_EQ(state.ref.call, 3);
    }
    EXPECT_EQ(call3.size(), 5U);
    EXPECT_TRUE(switchEnabling(image, fieldRef("SYSFIX")).empty());
}

} // namespace
