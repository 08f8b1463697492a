#include "rules/Synthesizer.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "rules/ChannelStep.h"
#include "rules/FrequencyDigits.h"
#include "rules/FrequencyExit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int k12_5 = 0;
constexpr int k10 = 1;
constexpr int kThird = 2; // "Auto" in the low band, "6.25 K" in the high band
constexpr int k5 = 3;

struct WorkedRow {
    Band band;
    std::int32_t frequency;
    int item;
    std::int32_t step;
    const char* reference;
    const char* divider;
};

const std::vector<WorkedRow> kWorkedRows{
    {Band::Low, 1590000, kThird, 25000, "00008011", "000AC000"},
    {Band::Low, 1590000, k12_5, 12500, "00010011", "00158000"},
    {Band::Low, 1500125, k12_5, 12500, "00010011", "00141880"},
    {Band::Low, 1590025, kThird, 2500, "00050011", "006B8080"},
    {Band::High, 4620000, k12_5, 12500, "00020011", "0044D800"},
    {Band::High, 4620000, kThird, 6250, "00040011", "0089B000"},
};

TEST(Synthesizer, WorkedRows) {
    for (const auto& row : kWorkedRows) {
        SCOPED_TRACE(row.frequency);
        SCOPED_TRACE(row.step);
        const auto words = computePll(row.frequency, row.step, bandMultiplier(row.band));
        ASSERT_TRUE(words);
        EXPECT_EQ(pllWordText(words->reference), row.reference);
        EXPECT_EQ(pllWordText(words->divider), row.divider);

        const FreqExit exit =
            exitFrequency(frequencyText(row.frequency), row.band, row.item, kAutoCodeBase);
        ASSERT_EQ(exit.kind, FreqExitKind::Accepted);
        ASSERT_TRUE(exit.step);
        EXPECT_EQ(exit.step->step, row.step);
        EXPECT_EQ(exit.pll, *words);
    }
}

TEST(Synthesizer, StoresWordsHighByteFirst) {
    ConfigImage image{};
    storePll(image, PllWords{0x00050011, 0x006B8080});
    const std::vector<std::uint8_t> bytes(image.begin() + field::PLLR,
                                          image.begin() + field::PLLN + 4);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x00, 0x05, 0x00, 0x11, 0x00, 0x6B, 0x80, 0x80}));
}

TEST(Synthesizer, RefusesWhatHasNoWords) {
    EXPECT_FALSE(computePll(1590001, 2500, 1)); // step does not divide
    EXPECT_FALSE(computePll(1590125, 10000, 1));
    EXPECT_FALSE(computePll(200000, 12500, 1)); // below the 21.4 MHz offset
    EXPECT_FALSE(computePll(0, 12500, 1));
    EXPECT_FALSE(computePll(1590000, 0, 1));
    EXPECT_FALSE(computePll(1590000, -12500, 1));
    EXPECT_FALSE(computePll(1590000, 12500, 0));
    EXPECT_FALSE(computePll(1590000, 1, 2));      // no comparison frequency
    EXPECT_FALSE(computePll(2147483647, 100, 1)); // divider wider than 32 bits
    EXPECT_TRUE(computePll(214000, 12500, 1));    // exactly the offset
    EXPECT_TRUE(computePll(283333300, 2500, 1));  // near the largest value digit bytes can give
    EXPECT_EQ(computePll(214000, 12500, 1)->divider, 0u);
}

TEST(Synthesizer, WordText) {
    EXPECT_EQ(pllWordText(0), "00000000");
    EXPECT_EQ(pllWordText(0xABCDEF12), "ABCDEF12");
}

TEST(FrequencyDigits, ImageRoundTripAndBand) {
    ConfigImage image = defaultImage();
    EXPECT_EQ(frequencyFromImage(image), 1590000);
    EXPECT_EQ(bandOfImage(image), Band::Low);

    storeFrequency(image, frequencyDigits(4620125));
    EXPECT_EQ(image[field::Freq], 4);
    EXPECT_EQ(image[field::Freq + 6], 5);
    EXPECT_EQ(frequencyFromImage(image), 4620125);
    EXPECT_EQ(frequencyText(frequencyFromImage(image)), "4620125");
    EXPECT_EQ(bandOfImage(image), Band::High);

    image[field::Freq] = 0;
    EXPECT_EQ(bandOfImage(image), Band::High);
    EXPECT_EQ(frequencyDigits(1350000), (FreqDigits{1, 3, 5, 0, 0, 0, 0}));
}

TEST(FrequencyDigits, BandLimitsMultiplierAndMessage) {
    EXPECT_EQ(bandLimits(Band::Low).lo, 1350000);
    EXPECT_EQ(bandLimits(Band::Low).hi, 1740000);
    EXPECT_EQ(bandLimits(Band::High).lo, 4000000);
    EXPECT_EQ(bandLimits(Band::High).hi, 4990000);
    EXPECT_EQ(bandMultiplier(Band::Low), 1);
    EXPECT_EQ(bandMultiplier(Band::High), 2);
    EXPECT_EQ(frequencyRangeMessage(Band::Low),
              "Frequency setting error(1350000 < = Frequency < =1740000 )");
    EXPECT_EQ(frequencyRangeMessage(Band::High),
              "Frequency setting error(4000000 < = Frequency < =4990000 )");
}

TEST(ChannelStep, AutoRule) {
    struct Case {
        std::int32_t frequency;
        std::int32_t step;
        std::uint8_t cspace;
    };
    for (const Case c :
         {Case{1590000, 25000, 32}, Case{1590125, 12500, 33}, Case{1590100, 10000, 34},
          Case{1590050, 5000, 36}, Case{1590025, 2500, 37}}) {
        SCOPED_TRACE(c.frequency);
        const FreqExit exit = exitFrequency(frequencyText(c.frequency), Band::Low, kThird, 0);
        ASSERT_EQ(exit.kind, FreqExitKind::Accepted);
        EXPECT_EQ(exit.step->step, c.step);
        EXPECT_EQ(exit.step->cspace, c.cspace);
    }
}

TEST(ChannelStep, AutoRuleWithNoDividingStepKeepsTheStoredCode) {
    const FreqExit exit = exitFrequency("1590001", Band::Low, kThird, 35);
    EXPECT_EQ(exit.kind, FreqExitKind::SpacingError);
    EXPECT_EQ(exit.message, "Channel Spacing Error!");
    EXPECT_EQ(exit.step->step, 6250);
    EXPECT_EQ(exit.step->cspace, 35);
}

TEST(ChannelStep, OddStoredCodesStaySafe) {
    // Codes that name no Auto step read as the first step; none of them may
    // turn a frequency off the 2.5 kHz grid into an accepted one.
    for (const int code : {0, 2, 3, 4, 31, 38, 200, 255}) {
        SCOPED_TRACE(code);
        const auto cspace = static_cast<std::uint8_t>(code);
        EXPECT_EQ(autoCodeStep(cspace), 25000);
        const FreqExit exit = exitFrequency("1590001", Band::Low, kThird, cspace);
        EXPECT_EQ(exit.kind, FreqExitKind::SpacingError);
        EXPECT_EQ(exit.step->cspace, cspace);
    }
    EXPECT_EQ(autoCodeStep(37), 2500);
    EXPECT_EQ(autoCodeStep(32), 25000);
}

TEST(ChannelStep, StepOfEachItem) {
    struct Case {
        Band band;
        std::optional<int> item;
        std::optional<std::int32_t> step;
    };
    for (const Case c : {Case{Band::Low, k12_5, 12500}, Case{Band::Low, k10, 10000},
                         Case{Band::Low, kThird, 25000}, Case{Band::Low, k5, std::nullopt},
                         Case{Band::High, k12_5, 12500}, Case{Band::High, k10, 10000},
                         Case{Band::High, kThird, 6250}, Case{Band::High, k5, 5000},
                         Case{Band::High, 4, std::nullopt}, Case{Band::Low, -1, std::nullopt},
                         Case{Band::High, std::nullopt, std::nullopt}}) {
        const auto chosen = chooseChannelStep(c.band, c.item, 4620000, 1);
        ASSERT_EQ(chosen.has_value(), c.step.has_value());
        if (chosen) {
            EXPECT_EQ(chosen->step, *c.step);
            if (c.band == Band::High || c.item != kThird) {
                EXPECT_EQ(chosen->cspace, 1); // only Auto changes the code
            }
        }
    }
}

TEST(ChannelStep, ItemSelectedByStoredCode) {
    struct Case {
        Band band;
        int cspace;
        std::optional<int> item;
    };
    for (const Case c :
         {Case{Band::Low, 0, 0}, Case{Band::Low, 1, 1}, Case{Band::Low, 2, kThird},
          Case{Band::Low, 3, 0}, Case{Band::Low, 32, kThird}, Case{Band::Low, 37, kThird},
          Case{Band::Low, 200, kThird}, Case{Band::Low, 4, std::nullopt},
          Case{Band::Low, 31, std::nullopt}, Case{Band::High, 0, 0}, Case{Band::High, 2, 2},
          Case{Band::High, 3, 3}, Case{Band::High, 33, 0}, Case{Band::High, 4, std::nullopt}}) {
        SCOPED_TRACE(c.cspace);
        EXPECT_EQ(stepItemForCSpace(c.band, static_cast<std::uint8_t>(c.cspace)), c.item);
    }
}

TEST(ChannelStep, CodeGivenByChosenItem) {
    EXPECT_EQ(cspaceForItem(Band::Low, k10, 12500, 33), 1);
    EXPECT_EQ(cspaceForItem(Band::High, kThird, 12500, 33), 2);
    EXPECT_EQ(cspaceForItem(Band::High, k5, 12500, 0), 3);
    EXPECT_EQ(cspaceForItem(Band::Low, kThird, 10000, 0), 34);
    EXPECT_EQ(cspaceForItem(Band::Low, kThird, 2500, 0), 37);
    EXPECT_EQ(cspaceForItem(Band::Low, kThird, 7000, 5), 5);        // step not in the table
    EXPECT_EQ(cspaceForItem(Band::Low, std::nullopt, 12500, 9), 9); // nothing selected
    EXPECT_EQ(cspaceForItem(Band::Low, k5, 12500, 9), 9);           // not a low band item
}

TEST(ChannelStep, StoredCodesShownInTheLowBand) {
    // "5 K" selects "12.5 K" and becomes 0.
    auto item = stepItemForCSpace(Band::Low, 3);
    EXPECT_EQ(item, k12_5);
    EXPECT_EQ(cspaceForItem(Band::Low, item, 12500, 3), 0);

    // "6.25 K" selects "Auto"; the Auto rule then stores the code of the first
    // step that divides the frequency.
    item = stepItemForCSpace(Band::Low, 2);
    EXPECT_EQ(item, kThird);
    const std::uint8_t cspace = cspaceForItem(Band::Low, item, 12500, 2);
    EXPECT_EQ(cspace, 33);
    const FreqExit exit = exitFrequency("1590100", Band::Low, item, cspace);
    ASSERT_EQ(exit.kind, FreqExitKind::Accepted);
    EXPECT_EQ(exit.step->cspace, 34);
}

TEST(FrequencyExit, BandEnds) {
    struct Case {
        const char* text;
        Band band;
        bool accepted;
    };
    for (const Case c : {Case{"1350000", Band::Low, true}, Case{"1740000", Band::Low, true},
                         Case{"1349999", Band::Low, false}, Case{"1740001", Band::Low, false},
                         Case{"4000000", Band::High, true}, Case{"4990000", Band::High, true},
                         Case{"3999999", Band::High, false}, Case{"4990001", Band::High, false},
                         Case{"4620000", Band::Low, false}, Case{"1590000", Band::High, false}}) {
        SCOPED_TRACE(c.text);
        const FreqExit exit = exitFrequency(c.text, c.band, k12_5, 0);
        if (c.accepted) {
            EXPECT_EQ(exit.kind, FreqExitKind::Accepted);
        } else {
            EXPECT_EQ(exit.kind, FreqExitKind::OutOfBand);
            EXPECT_EQ(exit.message, frequencyRangeMessage(c.band));
            EXPECT_FALSE(exit.step);
        }
    }
}

TEST(FrequencyExit, AcceptedEntryCarriesEverythingToStore) {
    const FreqExit exit = exitFrequency("1500125", Band::Low, k12_5, 0);
    ASSERT_EQ(exit.kind, FreqExitKind::Accepted);
    EXPECT_EQ(exit.frequency, 1500125);
    EXPECT_EQ(exit.digits, (FreqDigits{1, 5, 0, 0, 1, 2, 5}));
    EXPECT_EQ(exit.step->cspace, 0);
    EXPECT_EQ(exit.pll, (PllWords{0x00010011, 0x00141880}));
}

TEST(FrequencyExit, TenKWithAnOffGridFrequency) {
    const FreqExit exit = exitFrequency("1590125", Band::Low, k10, 1);
    EXPECT_EQ(exit.kind, FreqExitKind::SpacingError);
    EXPECT_EQ(exit.message, "Channel Spacing Error!");
    EXPECT_EQ(exit.step->step, 10000);
    EXPECT_EQ(exitFrequency("1590100", Band::Low, k10, 1).kind, FreqExitKind::Accepted);
}

TEST(FrequencyExit, EmptyTextAndNoStep) {
    EXPECT_EQ(exitFrequency("", Band::Low, k12_5, 0).kind, FreqExitKind::ShowStored);
    const FreqExit none = exitFrequency("1590000", Band::Low, std::nullopt, 0);
    EXPECT_EQ(none.kind, FreqExitKind::NoStepChosen);
    EXPECT_FALSE(none.step);
}

TEST(FrequencyExit, TextThatIsNotANumber) {
    for (const char* text : {"159O000", "159.000", " ", "abc", "1e6", "--15900", "99999999999"}) {
        SCOPED_TRACE(text);
        const FreqExit exit = exitFrequency(text, Band::Low, k12_5, 0);
        EXPECT_EQ(exit.kind, FreqExitKind::NotANumber);
        EXPECT_EQ(exit.message, std::string{"'"} + text + "' is not a valid integer value.");
    }
}

TEST(FrequencyExit, LongerTextNeverWritesPastTheSevenDigits) {
    // Eight characters whose value is in band: the digits come from the value.
    const FreqExit exit = exitFrequency("01590000", Band::Low, k12_5, 0);
    ASSERT_EQ(exit.kind, FreqExitKind::Accepted);
    EXPECT_EQ(exit.digits, (FreqDigits{1, 5, 9, 0, 0, 0, 0}));
}

} // namespace
