#pragma once

#include <QLabel>

// A status-bar text that takes the room left and elides the end of what
// does not fit; the whole text is its tool tip and what a screen reader says.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return whole; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString whole;
};
