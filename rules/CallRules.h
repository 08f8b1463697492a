#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// Rules of the per-call fields that the CALL tab shows but the user cannot
// reach: the alert type and alert time of every call and group call.

// cboAlertType1..4 and cboGAlertType1..2 (hidden): the item index is stored.
inline constexpr std::array<std::string_view, 9> kAlertTypeItems{"0", "1", "2", "3", "4",
                                                                 "5", "6", "7", "8"};

// The item a call record shows: the record without its priority bit. A value
// beyond the list selects no item.
std::optional<int> alertTypeItem(std::uint8_t record);

// The alert times take 0 to 127.5 seconds in half-second steps.
inline constexpr double kAlertTimeLowerLimit = 0;
inline constexpr std::string_view kAlertTimeRangeMessage =
    "Please insert a number between 0 to 127.5";
