#pragma once

#include <QComboBox>

// A combo box that says when its list is about to drop down, before it
// opens, so that its items can be brought up to date first.
class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* parent = nullptr);

    void showPopup() override;

signals:
    void dropDown();
};
