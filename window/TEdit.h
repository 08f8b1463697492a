#pragma once

#include <QLineEdit>

#include <functional>

// A one-line edit that follows the tool's editing convention: a key filter
// sees every typed character (and swallows it by setting it to 0). When its
// entry starts and ends is FieldFocus's to decide.
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    using Handler = std::function<void(TEdit*)>;
    using KeyHandler = std::function<void(TEdit*, char32_t&)>;

    explicit TEdit(QWidget* parent = nullptr);

    void setHandlers(KeyHandler keyPress, Handler doubleClick = {});

    // As wide as eight digits in its font: a field holds a short number.
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    static bool isEditingCommand(const QKeyEvent& key);

    KeyHandler onKeyPress;
    Handler onDoubleClick;
};
