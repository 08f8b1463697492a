#include "window/ElidedLabel.h"

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text) {
    whole = text;
    setToolTip(text);
    setAccessibleName(text);
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    const int room = contentsRect().width();
    setText(fontMetrics().elidedText(whole, Qt::ElideRight, room));
}
