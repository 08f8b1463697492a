#include "rules/ChannelStep.h"

namespace {

bool divides(std::int32_t step, std::int32_t frequency) {
    return frequency * kHzPerFrequencyUnit % step == 0;
}

bool isListed(Band band, int item) {
    return item >= 0 && static_cast<std::size_t>(item) < stepItems(band).size();
}

} // namespace

std::span<const std::string_view> stepItems(Band band) {
    if (band == Band::Low) {
        return kLowBandStepItems;
    }
    return kHighBandStepItems;
}

std::int32_t autoCodeStep(std::uint8_t cspace) {
    const int k = cspace - kAutoCodeBase;
    if (k < 0 || static_cast<std::size_t>(k) >= stepTable.size()) {
        return stepTable.front();
    }
    return stepTable[static_cast<std::size_t>(k)];
}

std::int32_t codeStep(std::uint8_t cspace) {
    constexpr std::array<std::int32_t, 4> fixedSteps{12500, 10000, 6250, 5000};
    if (cspace >= kAutoCodeBase) {
        return autoCodeStep(cspace);
    }
    return cspace < fixedSteps.size() ? fixedSteps[cspace] : fixedSteps.front();
}

ChannelStep autoStep(std::int32_t frequency, std::uint8_t storedCSpace) {
    for (std::size_t k = 0; k < stepTable.size(); ++k) {
        if (divides(stepTable[k], frequency)) {
            return {stepTable[k], static_cast<std::uint8_t>(kAutoCodeBase + k)};
        }
    }
    return {autoCodeStep(storedCSpace), storedCSpace};
}

std::optional<ChannelStep> chooseChannelStep(Band band, std::optional<int> item,
                                             std::int32_t frequency, std::uint8_t storedCSpace) {
    if (!item || !isListed(band, *item)) {
        return std::nullopt;
    }
    switch (*item) {
    case 0:
        return ChannelStep{12500, storedCSpace};
    case 1:
        return ChannelStep{10000, storedCSpace};
    case 2:
        if (band == Band::Low) {
            return autoStep(frequency, storedCSpace);
        }
        return ChannelStep{6250, storedCSpace};
    default:
        return ChannelStep{5000, storedCSpace};
    }
}

std::optional<int> stepItemForCSpace(Band band, std::uint8_t cspace) {
    int item = cspace;
    if (cspace >= kAutoCodeBase) {
        item = band == Band::Low ? kAutoItem : 0;
    } else if (band == Band::Low && cspace == 3) {
        item = 0;
    }
    if (!isListed(band, item)) {
        return std::nullopt;
    }
    return item;
}

std::uint8_t cspaceForItem(Band band, std::optional<int> item, std::int32_t channelStep,
                           std::uint8_t current) {
    if (!item || !isListed(band, *item)) {
        return current;
    }
    if (*item != kAutoItem || band == Band::High) {
        return static_cast<std::uint8_t>(*item);
    }
    for (std::size_t k = 0; k < stepTable.size(); ++k) {
        if (stepTable[k] == channelStep) {
            return static_cast<std::uint8_t>(kAutoCodeBase + k);
        }
    }
    return current;
}
