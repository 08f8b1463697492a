#include "dialogs/LinkLabel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

bool isClickKey(const QKeyEvent& key) {
    const int code = key.key();
    return !key.isAutoRepeat() && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           (code == Qt::Key_Space || code == Qt::Key_Return || code == Qt::Key_Enter);
}

// The label draws itself first; the focus frame goes round its text.
void paintWithFocusFrame(QLabel& label, QEvent* paint) {
    static_cast<QObject&>(label).event(paint);
    const Qt::LayoutDirection direction = label.layoutDirection();
    const QRect text = QStyle::alignedRect(
        direction, QStyle::visualAlignment(direction, label.alignment()),
        label.fontMetrics().size(Qt::TextSingleLine, label.text()), label.contentsRect());
    QStylePainter painter(&label);
    QStyleOptionFocusRect option;
    option.initFrom(&label);
    option.rect = text.adjusted(-1, -1, 1, 1) & label.rect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

} // namespace

LinkLabel::LinkLabel(QLabel& label) : QObject(&label), label(label) {
    label.setCursor(Qt::PointingHandCursor);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label.setPalette(palette);
    QFont font = label.font();
    font.setUnderline(true);
    label.setFont(font);
    label.setFocusPolicy(Qt::TabFocus);
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
        case QEvent::KeyPress:
            if (isClickKey(*static_cast<QKeyEvent*>(event))) {
                emit clicked();
                return true;
            }
            break;
        case QEvent::Paint:
            if (label.hasFocus()) {
                paintWithFocusFrame(label, event);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
