#include "window/TComboBox.h"

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {}

// Before the base class looks at the items: an empty box opens no list.
void TComboBox::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}
