#pragma once

#include <QLineEdit>
#include <QPointer>

#include <functional>

class FieldFocus;

// A one-line edit that follows the tool's editing convention: an entry
// handler when the user enters it, a key filter that sees every typed
// character (and swallows it by setting it to 0), and an exit handler when
// the entry ends. Which focus changes count is decided by FieldFocus.
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    using Handler = std::function<void(TEdit*)>;
    using KeyHandler = std::function<void(TEdit*, char32_t&)>;

    explicit TEdit(QWidget* parent = nullptr);

    void setHandlers(FieldFocus* focus, Handler enter, KeyHandler keyPress, Handler exit,
                     Handler doubleClick = {});

    // As wide as eight digits in its font: a field holds a short number.
    QSize sizeHint() const override;

    bool hasExitHandler() const { return static_cast<bool>(onExit); }
    void runEnter();
    void runExit();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    static bool isEditingCommand(const QKeyEvent& key);

    QPointer<FieldFocus> focus;
    Handler onEnter;
    KeyHandler onKeyPress;
    Handler onExit;
    Handler onDoubleClick;
    bool tabPressed = false;
};
