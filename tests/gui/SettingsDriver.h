#pragma once

// Picking list items and clicking check boxes as the user does, for the
// settings tests.

#include "WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>

// The list takes the focus (ending the entry of the field that had it), then
// the user chooses the item.
inline void pick(WindowFixture& w, QComboBox* box, int index) {
    w.showPageOf(box);
    box->setFocus(Qt::MouseFocusReason);
    WindowFixture::settle();
    box->setCurrentIndex(index);
    emit box->activated(index);
    WindowFixture::settle();
}

inline void pick(WindowFixture& w, QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    if (index < 0) {
        qFatal("%s has no item %s", qPrintable(box->objectName()), qPrintable(item));
    }
    pick(w, box, index);
}

// On the box itself: a wide check box has no click area past its caption.
inline void click(WindowFixture& w, QCheckBox* box) {
    w.showPageOf(box);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    WindowFixture::settle();
}

inline QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}
