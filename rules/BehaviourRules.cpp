#include "rules/BehaviourRules.h"

#include "model/ByteMap.h"

namespace behaviour {

namespace {

// Item index -> ResetCon code.
constexpr std::array<std::uint8_t, kResetMethodNames.size()> kResetCodes{0, 1, 3, 4, 2, 5};

constexpr std::uint8_t kRevertSquelch = 2;
constexpr std::uint8_t kDelayAutoWithRevert = 5;

constexpr std::array<std::uint8_t, 4> kReminderBytes{0, 60, 120, 240};

constexpr std::uint8_t kBatteryLowFirst = 94;
constexpr std::uint8_t kBatteryLowLast = 102;

} // namespace

std::optional<std::uint8_t> resetCodeOfItem(int item) {
    if (item < 0 || item >= static_cast<int>(kResetCodes.size())) {
        return std::nullopt;
    }
    return kResetCodes[static_cast<std::size_t>(item)];
}

std::optional<int> resetItemOfCode(std::uint8_t code) {
    for (std::size_t item = 0; item < kResetCodes.size(); ++item) {
        if (kResetCodes[item] == code) {
            return static_cast<int>(item);
        }
    }
    return std::nullopt;
}

std::optional<int> resetItemWithPushToListen(std::uint8_t code) {
    if (code == kRevertSquelch || code == kDelayAutoWithRevert) {
        return 0;
    }
    return resetItemOfCode(code);
}

bool resetCodeUsesDelay(std::uint8_t code) {
    return code == 1 || code == 4 || code == 5;
}

int reminderItemOfByte(std::uint8_t byte) {
    if (byte == 0) {
        return 0;
    }
    if (byte < 90) {
        return 1;
    }
    return byte < 180 ? 2 : 3;
}

std::uint8_t reminderByteOfItem(int item) {
    if (item < 0 || item >= static_cast<int>(kReminderBytes.size())) {
        return 0;
    }
    return kReminderBytes[static_cast<std::size_t>(item)];
}

int pushToListenItem(bool sysPtl, bool ptl) {
    if (!sysPtl) {
        return 0;
    }
    return ptl ? 2 : 1;
}

std::optional<std::uint8_t> ptlBitOfItem(int item) {
    switch (item) {
    case 1:
        return 0;
    case 2:
        return 1;
    default:
        return std::nullopt;
    }
}

std::optional<int> batteryLowItem(std::uint8_t code) {
    if (code < kBatteryLowFirst || code > kBatteryLowLast || code % 2 != 0) {
        return std::nullopt;
    }
    return (code - kBatteryLowFirst) / 2;
}

void applyResetItem(ConfigImage& image, std::optional<int> item) {
    if (const auto code = item ? resetCodeOfItem(*item) : std::nullopt) {
        image[field::ResetCon] = *code;
    }
}

int resetItemsOffered(const ConfigImage& image) {
    return readBits(image, field::SystemFlag(field::SYSPTL)) != 0
               ? kResetMethodsWithPushToListen
               : static_cast<int>(kResetMethodNames.size());
}

void applyPushToListenItem(ConfigImage& image, int item) {
    const std::uint8_t code = image[field::ResetCon];
    if (item == 0) {
        writeBits(image, field::SystemFlag(field::SYSPTL), 0);
        applyResetItem(image, resetItemOfCode(code));
        return;
    }
    writeBits(image, field::SystemFlag(field::SYSPTL), 1);
    applyResetItem(image, resetItemWithPushToListen(code));
    if (const auto ptl = ptlBitOfItem(item)) {
        writeBits(image, field::PTL, *ptl);
    }
}

void applyPrivacy(ConfigImage& image, bool on) {
    const bool ptl = readBits(image, field::PTL) != 0;
    applyPushToListenItem(image, on ? 0 : pushToListenItem(true, ptl));
    writeBits(image, field::SystemFlag(field::SYSPrivacy), on ? 1 : 0);
}

void applyReminderItem(ConfigImage& image, int item) {
    image[field::Reminder] = reminderByteOfItem(item);
}

} // namespace behaviour
