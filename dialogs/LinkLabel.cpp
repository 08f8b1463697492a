#include "dialogs/LinkLabel.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

LinkLabel::LinkLabel(QLabel& label) : QObject(&label), label(label) {
    label.setCursor(Qt::PointingHandCursor);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label.setPalette(palette);
    QFont font = label.font();
    font.setUnderline(true);
    label.setFont(font);
    label.installEventFilter(this);
}

LinkLabel* LinkLabel::attach(QLabel& label) {
    return new LinkLabel(label);
}

void LinkLabel::showHover(QLabel& label, bool hovered) {
    QFont font = label.font();
    font.setUnderline(true);
    font.setBold(hovered);
    label.setFont(font);
}

bool LinkLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &label) {
        switch (event->type()) {
        case QEvent::Enter:
            showHover(label, true);
            break;
        case QEvent::Leave:
            showHover(label, false);
            break;
        case QEvent::MouseButtonPress:
            // Taking the press makes the label receive the release.
            return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                label.rect().contains(mouse->position().toPoint())) {
                emit clicked();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
