#include "rules/FieldRegistry.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "rules/FieldDisplay.h"
#include "rules/DisplayPass.h"
#include "rules/FieldEntry.h"

#include <sstream>
#include <utility>

#include <gtest/gtest.h>

#include <vector>

namespace {

FieldRef named(std::string_view name) {
    const auto r = parseFieldRef(name);
    EXPECT_TRUE(r.has_value()) << name;
    return r.value_or(FieldRef{});
}

std::string shownText(const ConfigImage& image, std::string_view name) {
    const ShownValue shown = showField(image, named(name));
    if (const auto* s = std::get_if<std::string>(&shown.value)) {
        return *s;
    }
    if (const auto* d = std::get_if<double>(&shown.value)) {
        return std::to_string(*d).substr(0, std::to_string(*d).find('.') + 3);
    }
    if (const auto* b = std::get_if<bool>(&shown.value)) {
        return *b ? "on" : "off";
    }
    if (const auto* i = std::get_if<std::int64_t>(&shown.value)) {
        return std::to_string(*i);
    }
    return "none";
}

std::string computedText(const ConfigImage& image, std::string_view name) {
    const auto computed = showField(image, named(name)).computed;
    if (!computed) {
        return "absent";
    }
    const auto* s = std::get_if<std::string>(&*computed);
    return s != nullptr ? *s : "none";
}

EntryResult enter(ConfigImage& image, std::vector<std::pair<std::string, std::string>> values,
                  ToneMode mode = ToneMode::Standard) {
    std::vector<FieldAssignment> assignments;
    for (auto& [name, text] : values) {
        assignments.push_back({named(name), text});
    }
    return enterFields(image, assignments, mode);
}

TEST(FieldRegistry, CoversEveryBitOfTheImageExactlyOnce) {
    std::array<unsigned, kImageSize> covered{};
    for (const FieldRef& r : allFieldRefs()) {
        const FieldBits bits = r.def->bits(r.call);
        for (int i = 0; i < bits.size; ++i) {
            const auto pos = static_cast<std::size_t>(bits.pos + i);
            EXPECT_EQ(covered[pos] & bits.mask, 0U) << fieldRefName(r) << " overlaps at " << pos;
            covered[pos] |= bits.mask;
        }
    }
    for (std::size_t pos = 0; pos < kImageSize; ++pos) {
        EXPECT_EQ(covered[pos], 0xFFU) << "byte " << pos;
    }
}

TEST(FieldRegistry, NamesOfOneValue) {
    EXPECT_EQ(fieldRefName(named("t1[2]")), "T1[2]");
    EXPECT_EQ(fieldRefName(named("Freq")), "Freq");
    for (const char* bad : {"T1", "T1[0]", "T1[5]", "T3[3]", "Freq[1]", "T1[1", "T1[1]x", "Nope"}) {
        EXPECT_FALSE(parseFieldRef(bad).has_value()) << bad;
    }
}

// Per-call values are named by the call's row as well; values the window
// does not show have no caption.
TEST(FieldRegistry, CaptionsNameTheWindowsRowForEachCall) {
    const std::pair<const char*, const char*> cases[] = {
        {"BS_Period", "Battery Save"},
        {"T1[2]", "CALL #2 TONE1"},
        {"Duty[4]", "CALL #4 ON"},
        {"GPriority[2]", "Group CALL #2 Priority Alert"},
        {"T3[1]", "Group CALL #1"},
        {"T1Code[1]", ""},
        {"Checksum", ""},
    };
    for (const auto& [name, caption] : cases) {
        EXPECT_EQ(fieldCaption(named(name)), caption) << name;
    }
}

TEST(FieldRegistry, ShowsTheDefaultImageInTheWindowsUnits) {
    const ConfigImage& image = defaultImage();
    const std::vector<std::pair<const char*, const char*>> expected{
        {"Version", "0.0"},
        {"Freq", "1590000"},
        {"CSpace", "Auto"},
        {"Duty[1]", "on"},
        {"Duty[2]", "off"},
        {"BandWidth", "1.5"},
        {"Tone1Len", "3"},
        {"Tone3Len", "50"},
        {"RecordMax", "4 sections (30 second)"},
        {"BatteryLow", "103"},
        {"RSSI", "0.71"},
        {"RSSI2", "0.96"},
        {"SSI", "0.80"},
        {"AutoMonitor", "3.00"},
        {"ResetCon", "Auto Reset"},
        {"Delay", "8.00"},
        {"SYSSV", "on"},
        {"SYSAudio", "on"},
        {"SYSPrivacy", "off"},
        {"Reminder", "120 Second"},
        {"DecorderReset", "30.00"},
        {"VolumeLevel", "on"},
        {"FullTimeAutoMonitor", "off"},
        {"PTL", "Disable"},
        {"DelayFullTime", "6.00"},
        {"T1[1]", "669.90"},
        {"T2[4]", "1122.50"},
        {"T3[2]", "600.90"},
        {"T1Code[1]", "8B0B"},
        {"AlertType[1]", "0"},
        {"PLLR", "00010011"},
        {"Checksum", "0000"},
        {"12-15", "00 00 00 00"},
    };
    for (const auto& [name, text] : expected) {
        EXPECT_EQ(shownText(image, name), text) << name;
    }
    // The window recomputes the words for the Auto step of 159.0000 MHz.
    EXPECT_EQ(computedText(image, "PLLR"), "00008011");
    EXPECT_EQ(computedText(image, "PLLN"), "000AC000");
    EXPECT_EQ(computedText(image, "T2Code[1]"), "4B95");
    EXPECT_EQ(computedText(image, "T3Code[1]"), "8558");
    EXPECT_EQ(computedText(image, "RSSI"), "absent");
    EXPECT_EQ(showField(image, named("Freq")).text,
              "1590000 x 100 Hz (159.0000 MHz, band 135-174 MHz)");
    EXPECT_EQ(showField(image, named("CSpace")).text, "Auto, step 25000 Hz (code 32)");
    EXPECT_EQ(showField(image, named("ResetCon")).text, "Auto Reset (code 0)");
}

TEST(FieldRegistry, ShowsStoredCodesThatNameNoItem) {
    ConfigImage image = defaultImage();
    image[field::BandWidth] = 16;
    image[field::ResetCon] = 9;
    image[field::Reminder] = 100;
    image[field::CallRecord(1)] = 0xC3; // priority, bit 6 and type 3
    image[field::Freq + 6] = 1;         // 159.0001 MHz fits no step
    EXPECT_EQ(shownText(image, "BandWidth"), "16");
    EXPECT_EQ(shownText(image, "ResetCon"), "9");
    EXPECT_EQ(showField(image, named("ResetCon")).text, "code 9 (no item)");
    EXPECT_EQ(showField(image, named("BatteryLow")).text, "code 103 (no item)");
    image[field::BatteryLow] = 94;
    EXPECT_EQ(showField(image, named("BatteryLow")).text, "1.10 v (code 94)");
    EXPECT_EQ(showField(image, named("Reminder")).text, "60  Second (stored 100)");
    EXPECT_EQ(shownText(image, "AlertType[1]"), "67");
    EXPECT_EQ(shownText(image, "Priority[1]"), "on");
    EXPECT_EQ(computedText(image, "PLLR"), "none");
    EXPECT_EQ(showField(image, named("PLLR")).text,
              "stored 00010011, computed none (Channel Spacing Error!)");
}

TEST(FieldRegistry, DiffersOnlyWhereTheBitsOfAValueDiffer) {
    const ConfigImage a = defaultImage();
    ConfigImage b = a;
    b[field::Duty] |= 0x40; // an uninterpreted bit beside the call switches
    std::vector<std::string> differing;
    for (const FieldRef& r : allFieldRefs()) {
        if (fieldDiffers(r, a, b)) {
            differing.push_back(fieldRefName(r));
        }
    }
    EXPECT_EQ(differing, std::vector<std::string>{"48 bits 4-7"});
}

struct Refused {
    std::vector<std::pair<std::string, std::string>> values;
    ToneMode mode;
    std::string field;
    std::string message;
};

TEST(FieldEntry, RefusalsGiveTheWindowsMessageAndLeaveTheImage) {
    ConfigImage withPrivacy = defaultImage();
    writeBits(withPrivacy, field::SystemFlag(field::SYSPrivacy), 1);
    const std::vector<Refused> cases{
        {{{"BS_Period", "256"}},
         ToneMode::Standard,
         "BS_Period",
         "Please insert a number between 0 to 255"},
        {{{"BS_Period", "1.5"}}, ToneMode::Standard, "BS_Period", "Please insert a numeric!"},
        {{{"GapMax", "256"}},
         ToneMode::Standard,
         "GapMax",
         "Please insert a number between 0 to 255"},
        {{{"Tone1Len", "65536"}},
         ToneMode::Standard,
         "Tone1Len",
         "Please insert a number between 0 to 65535"},
        {{{"AutoMonitor", "0.5"}},
         ToneMode::Standard,
         "AutoMonitor",
         "Please insert a number between 1 to 127.5"},
        {{{"AudioLock", "2.3"}}, ToneMode::Standard, "AudioLock", "The interval is 0.5 second."},
        {{{"DecorderReset", "128"}},
         ToneMode::Standard,
         "DecorderReset",
         "Please insert a number between 0 to 127.5"},
        {{{"RSSI2", "1.5"}}, ToneMode::Standard, "RSSI2", "Please insert a number between 0 to 1"},
        {{{"RSSI", "0.715"}},
         ToneMode::Standard,
         "RSSI",
         "'0.715' is not a valid floating point value."},
        {{{"T2[1]", "2500"}},
         ToneMode::Standard,
         "T2[1]",
         "Please insert a number between 288.5 to 2468.2"},
        {{{"T1[1]", "3600"}},
         ToneMode::User,
         "T1[1]",
         "Please insert a number between 280 to 3500.0"},
        {{{"T1[1]", "12.34"}},
         ToneMode::Standard,
         "T1[1]",
         "'12.34' is not a valid floating point value."},
        {{{"Freq", "1349999"}},
         ToneMode::Standard,
         "Freq",
         "Frequency setting error(1350000 < = Frequency < =1740000 )"},
        {{{"Freq", "4990001"}},
         ToneMode::Standard,
         "Freq",
         "Frequency setting error(4000000 < = Frequency < =4990000 )"},
        {{{"Freq", "1590001"}}, ToneMode::Standard, "Freq", "Channel Spacing Error!"},
        {{{"Freq", "15a"}}, ToneMode::Standard, "Freq", "'15a' is not a valid integer value."},
        {{{"CSpace", "10 K"}, {"Freq", "1590125"}},
         ToneMode::Standard,
         "Freq",
         "Channel Spacing Error!"},
        {{{"CSpace", "6.25 K"}},
         ToneMode::Standard,
         "CSpace",
         "'6.25 K' is not an item of CSpace in band 135-174 MHz: 12.5 K, 10 K, Auto."},
        {{{"ResetCon", "Delay"}},
         ToneMode::Standard,
         "ResetCon",
         "'Delay' is not an item of ResetCon: Auto Reset, Delay N sec Auto Reset, Manual RESET, "
         "Time-Out RESET, Revert SQ, Delay AUTO N with Revert."},
        {{{"SYSPTL", "on"}, {"ResetCon", "Revert SQ"}},
         ToneMode::Standard,
         "ResetCon",
         "'Revert SQ' is not an item of ResetCon: Auto Reset, Delay N sec Auto Reset, Manual "
         "RESET, Time-Out RESET."},
        {{{"SYSSV", "maybe"}}, ToneMode::Standard, "SYSSV", "'maybe' is neither on nor off."},
        {{{"SYSPrivacy", "on"}, {"PTL", "Vibration Mode Only"}},
         ToneMode::Standard,
         "PTL",
         "Push To Listen cannot be switched on while Privacy Enable is on."},
        {{{"Version", "1.86"}},
         ToneMode::Standard,
         "Version",
         "Version is filled from the pager by Read and Write."},
        {{{"T1Code[1]", "8000"}},
         ToneMode::Standard,
         "T1Code[1]",
         "T1Code is stored with its tone."},
        {{{"PLLN", "0"}}, ToneMode::Standard, "PLLN", "PLLN is computed from Freq and CSpace."},
        {{{"Checksum", "0"}}, ToneMode::Standard, "Checksum", "Checksum is stored by Write."},
        {{{"128-191", "0"}},
         ToneMode::Standard,
         "128-191",
         "Bytes the tool does not interpret are never changed by it."},
        {{{"Tone1Len", ""}}, ToneMode::Standard, "Tone1Len", "No value given."},
        // A good value before the refused one is not kept either.
        {{{"BS_Period", "7"}, {"T1[2]", "1000"}, {"RSSI", "2"}},
         ToneMode::Standard,
         "RSSI",
         "Please insert a number between 0 to 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values.front().first + "=" + c.values.front().second);
        ConfigImage image = defaultImage();
        const EntryResult result = enter(image, c.values, c.mode);
        EXPECT_FALSE(result.accepted);
        EXPECT_EQ(fieldRefName(result.refused), c.field);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(image, defaultImage());
    }
}

TEST(FieldEntry, StoresNumbersTimesAndLevelsAsTheWindowDoes) {
    ConfigImage image = defaultImage();
    ASSERT_TRUE(enter(image, {{"BS_Period", "007"},
                              {"Tone1Len", "65535"},
                              {"AutoMonitor", "127.5"},
                              {"DelayFullTime", "2.50"},
                              {"Delay", "0"},
                              {"RSSI2", "0.50"},
                              {"SSI", "1"},
                              {"BandWidth", "3.1 %"},
                              {"RecordMax", "1 section (120 second)"},
                              {"Reminder", "30 second"},
                              {"AlertTime[2]", "2.5"},
                              {"GAlertType[2]", "8"},
                              {"GPriority[2]", "on"}})
                    .accepted);
    EXPECT_EQ(image[field::BS_Period], 7);
    EXPECT_EQ(readWord(image, field::Tone1Len), 65535);
    EXPECT_EQ(image[field::AutoMonitor], 255);
    EXPECT_EQ(image[field::DelayFullTime], 5);
    EXPECT_EQ(image[field::Delay], 0);
    EXPECT_EQ(image[field::RSSI2], 43);
    EXPECT_EQ(image[field::SSI], 85);
    EXPECT_EQ(image[field::BandWidth], 15);
    EXPECT_EQ(image[field::RecordMax], 0);
    EXPECT_EQ(image[field::Reminder], 60);
    EXPECT_EQ(image[field::AlertTime(2)], 5);
    EXPECT_EQ(image[field::GroupRecord(2)], 0x88);
}

TEST(FieldEntry, AlertTypeKeepsThePriorityBitAndBitSix) {
    ConfigImage image = defaultImage();
    image[field::CallRecord(3)] = 0xC0;
    ASSERT_TRUE(enter(image, {{"AlertType[3]", "5"}}).accepted);
    EXPECT_EQ(image[field::CallRecord(3)], 0xC5);
    ASSERT_TRUE(enter(image, {{"Priority[3]", "off"}}).accepted);
    EXPECT_EQ(image[field::CallRecord(3)], 0x45);
}

TEST(FieldEntry, TonesAreStoredWithTheirCodes) {
    ConfigImage image = defaultImage();
    ASSERT_TRUE(enter(image, {{"T1[2]", "1000"}}).accepted);
    EXPECT_EQ(readWord(image, field::T1(2)), 10069);
    EXPECT_EQ(readWord(image, field::T1Code(2)), 0x908D);

    ASSERT_TRUE(enter(image, {{"T1[1]", "1234.5"}, {"T3[1]", "330.5"}}, ToneMode::User).accepted);
    EXPECT_EQ(readWord(image, field::T1(1)), 12345);
    EXPECT_EQ(readWord(image, field::T1Code(1)), 0x9480);
    EXPECT_EQ(readWord(image, field::T3Code(1)), 0x8558);

    ASSERT_TRUE(enter(image, {{"T2[3]", "802.5"}}).accepted);
    EXPECT_EQ(readWord(image, field::T2(3)), 8025);
    EXPECT_EQ(readWord(image, field::T2Code(3)), 0x4D18);
}

TEST(FieldEntry, FrequencyAndStepRecomputeTheWords) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> values;
        std::string freq;
        std::uint8_t cspace;
        std::uint32_t pllr;
        std::uint32_t plln;
    };
    const std::vector<Case> cases{
        {{{"Freq", "1590000"}}, "1590000", 32, 0x00008011, 0x000AC000},
        {{{"Freq", "1590125"}}, "1590125", 33, 0x00010011, 0x00158080},
        {{{"Freq", "1590025"}}, "1590025", 37, 0x00050011, 0x006B8080},
        {{{"CSpace", "12.5 K"}}, "1590000", 0, 0x00010011, 0x00158000},
        // Order does not matter: the pair is checked once.
        {{{"Freq", "1590100"}, {"CSpace", "10 k"}}, "1590100", 1, 0x00014011, 0x001AE080},
        // The band follows the frequency; Auto has no item there, so "12.5 K".
        {{{"Freq", "4620000"}}, "4620000", 0, 0x00020011, 0x0044D800},
        {{{"Freq", "4620000"}, {"CSpace", "6.25 K"}}, "4620000", 2, 0x00040011, 0x0089B000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values.front().first + "=" + c.values.front().second);
        ConfigImage image = defaultImage();
        const EntryResult result = enter(image, c.values);
        ASSERT_TRUE(result.accepted) << result.message;
        EXPECT_EQ(shownText(image, "Freq"), c.freq);
        EXPECT_EQ(image[field::CSpace], c.cspace);
        EXPECT_EQ(readDword(image, field::PLLR), c.pllr);
        EXPECT_EQ(readDword(image, field::PLLN), c.plln);
    }
}

TEST(FieldEntry, PrivacyAndPushToListenFollowTheWindowsRules) {
    ConfigImage image = defaultImage();
    image[field::ResetCon] = 2; // Revert SQ
    ASSERT_TRUE(enter(image, {{"PTL", "Vibration Mode Only"}}).accepted);
    EXPECT_EQ(readBits(image, field::SystemFlag(field::SYSPTL)), 1);
    EXPECT_EQ(readBits(image, field::PTL), 1);
    EXPECT_EQ(image[field::ResetCon], 0); // the revert methods are gone

    ASSERT_TRUE(enter(image, {{"SYSPrivacy", "on"}}).accepted);
    EXPECT_EQ(readBits(image, field::SystemFlag(field::SYSPTL)), 0);
    EXPECT_EQ(readBits(image, field::PTL), 1);

    image[field::ResetCon] = 5;
    ASSERT_TRUE(enter(image, {{"SYSPrivacy", "off"}}).accepted);
    EXPECT_EQ(readBits(image, field::SystemFlag(field::SYSPTL)), 1);
    EXPECT_EQ(image[field::ResetCon], 0);

    // Setting a box to the state it has runs no rule.
    const ConfigImage before = image;
    ASSERT_TRUE(enter(image, {{"SYSPrivacy", "off"}}).accepted);
    EXPECT_EQ(image, before);

    ASSERT_TRUE(enter(image, {{"SYSPTL", "off"}, {"ResetCon", "Revert SQ"}}).accepted);
    EXPECT_EQ(image[field::ResetCon], 2);
    EXPECT_EQ(readBits(image, field::PTL), 1);
}

// What show prints for a value, set takes back without a change, whatever
// Push To Listen and privacy hold.
TEST(FieldEntry, ShownValuesEnterBackUnchanged) {
    ConfigImage base = defaultImage();
    applyDisplayPass(base);
    std::vector<ConfigImage> images;
    for (const int flags : {0, 1, 2, 3}) {
        ConfigImage image = base;
        writeBits(image, field::SystemFlag(field::SYSPTL), (flags & 1) != 0 ? 1 : 0);
        writeBits(image, field::PTL, (flags & 2) != 0 ? 1 : 0);
        images.push_back(image);
    }
    ConfigImage privacy = base;
    writeBits(privacy, field::SystemFlag(field::SYSPrivacy), 1);
    writeBits(privacy, field::PTL, 1);
    images.push_back(privacy);

    for (const ConfigImage& image : images) {
        for (const FieldRef& ref : allFieldRefs()) {
            switch (ref.def->kind) {
            case FieldKind::Version:
            case FieldKind::ToneCode:
            case FieldKind::PllWord:
            case FieldKind::VersionTag:
            case FieldKind::Checksum:
            case FieldKind::Uninterpreted:
                continue; // computed or carried, never entered
            case FieldKind::Volts:
                continue; // two decimals of byte x 3 / 255 do not always name one byte
            default:
                break;
            }
            if (!ref.def->settable) {
                continue;
            }
            std::ostringstream text;
            std::visit(
                [&text](const auto& v) {
                    using T = std::decay_t<decltype(v)>;
                    if constexpr (std::is_same_v<T, bool>) {
                        text << (v ? "on" : "off");
                    } else if constexpr (!std::is_same_v<T, std::monostate>) {
                        text << v;
                    }
                },
                showField(image, ref).value);
            SCOPED_TRACE(fieldRefName(ref) + "=" + text.str() + " with flags " +
                         std::to_string(image[field::SystemFlags]) + "/" +
                         std::to_string(image[field::Flags]));
            ConfigImage entered = image;
            const FieldAssignment assignment{ref, text.str()};
            const EntryResult result =
                enterFields(entered, std::span(&assignment, 1), ToneMode::Standard);
            EXPECT_TRUE(result.accepted) << result.message;
            EXPECT_TRUE(entered == image);
        }
    }
}

} // namespace
