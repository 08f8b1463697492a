#pragma once

#include <QObject>

class QLabel;

// Makes a label behave as a link: hand cursor, blue underlined text, bold
// while the pointer is over it and not bold once it leaves, clicked() on a
// left click. The label keeps its designed weight until first hovered.
// Tab reaches it (a click does not take the focus from the field being
// edited); Space or Enter then clicks it.
class LinkLabel : public QObject {
    Q_OBJECT

public:
    // Owned by the label.
    static LinkLabel* attach(QLabel& label);

    // The font rule of a link: underlined always, bold only while hovered.
    static void showHover(QLabel& label, bool hovered);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit LinkLabel(QLabel& label);

    QLabel& label;
};
