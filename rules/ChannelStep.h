#pragma once

#include "rules/FrequencyDigits.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// Channel steps in Hz; the Auto code 32 + k names stepTable[k].
inline constexpr std::array<std::int32_t, 6> stepTable{25000, 12500, 10000, 6250, 5000, 2500};
inline constexpr std::uint8_t kAutoCodeBase = 32;

// The items of cboCSpace in each band.
inline constexpr std::array<std::string_view, 3> kLowBandStepItems{"12.5 K", "10 K", "Auto"};
inline constexpr std::array<std::string_view, 4> kHighBandStepItems{"12.5 K", "10 K", "6.25 K",
                                                                    "5 K"};
std::span<const std::string_view> stepItems(Band band);

// The item "Auto" of the low band.
inline constexpr int kAutoItem = 2;

// A step and the CSpace code that goes with it.
struct ChannelStep {
    std::int32_t step;
    std::uint8_t cspace;
};

// The step of a stored Auto code. Codes outside 32..37 name no step and are
// read as 32, the first step, so no table lookup goes past its end.
std::int32_t autoCodeStep(std::uint8_t cspace);

// The step a stored code stands for: an Auto code's step, or the fixed step
// of codes 0 to 3; 12500 for any other code.
std::int32_t codeStep(std::uint8_t cspace);

// The first step that divides the frequency (in 100 Hz), with its Auto code.
// When none does, the stored code's step and the stored code unchanged; that
// step does not divide the frequency either, so the caller refuses it.
ChannelStep autoStep(std::int32_t frequency, std::uint8_t storedCSpace);

// The step for the selected cboCSpace item: 12500, 10000, 6250 (high band) or
// the Auto rule (low band), 5000 (high band). Nothing when no item, or an item
// the band does not list, is selected. Only the Auto rule changes the code.
std::optional<ChannelStep> chooseChannelStep(Band band, std::optional<int> item,
                                             std::int32_t frequency, std::uint8_t storedCSpace);

// The cboCSpace item a stored code selects when the band's list is built.
// Low band: any Auto code selects "Auto", 3 ("5 K") selects "12.5 K", 0..2
// select their own index (2, "6.25 K", lands on "Auto"). High band: Auto codes
// select "12.5 K", 0..3 their own index. Other codes select nothing.
std::optional<int> stepItemForCSpace(Band band, std::uint8_t cspace);

// The code a chosen item gives: the item's index, except "Auto" in the low
// band, which gives the Auto code of channelStep (unchanged when channelStep
// is not in stepTable). With no item selected the code stays as it is.
std::uint8_t cspaceForItem(Band band, std::optional<int> item, std::int32_t channelStep,
                           std::uint8_t current);
