#pragma once

#include <span>
#include <string_view>

class QComboBox;

// The items of a pick-list, in the core's order, replacing any it had.
void fillItems(QComboBox& box, std::span<const std::string_view> items);
