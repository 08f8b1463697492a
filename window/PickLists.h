#pragma once

#include <span>
#include <string_view>

class QComboBox;
namespace Ui {
class TForm1;
}

// The items of a pick-list, in the core's order, replacing any it had.
void fillItems(QComboBox& box, std::span<const std::string_view> items);

// Every pick-list of the main window whose items the core names. cboCSpace
// follows the band and is filled by the display pass; cboPort by the port list.
void fillPickLists(Ui::TForm1& form);
