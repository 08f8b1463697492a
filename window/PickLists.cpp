#include "window/PickLists.h"

#include "window/QtText.h"

#include <QComboBox>

void fillItems(QComboBox& box, std::span<const std::string_view> items) {
    box.clear();
    for (std::string_view item : items) {
        box.addItem(qText(item));
    }
}
