#include "rules/CallRules.h"

std::optional<int> alertTypeItem(std::uint8_t record) {
    const int item = record & 0x7F;
    if (static_cast<std::size_t>(item) >= kAlertTypeItems.size()) {
        return std::nullopt;
    }
    return item;
}
