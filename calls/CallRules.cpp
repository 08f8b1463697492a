#include "calls/CallRules.h"

std::optional<int> alertTypeItem(std::uint8_t record) {
    const int item = record & 0x7F;
    if (item >= kAlertTypeItemCount) {
        return std::nullopt;
    }
    return item;
}
