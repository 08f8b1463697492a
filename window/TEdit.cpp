#include "window/TEdit.h"

#include "rules/KeyFilters.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// Qt's line edit keeps this much room either side of its text.
constexpr int kTextSideRoom = 2;

} // namespace

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TEdit::sizeHint() const {
    ensurePolished();
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins();
    const int text = fontMetrics().horizontalAdvance(QStringLiteral("00000000")) +
                     2 * kTextSideRoom + margins.left() + margins.right();
    const QSize hint = QLineEdit::sizeHint();
    const QSize framed =
        style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, hint.height()), this);
    return {framed.width(), hint.height()};
}

void TEdit::setHandlers(KeyHandler keyPress, Handler doubleClick) {
    onKeyPress = std::move(keyPress);
    onDoubleClick = std::move(doubleClick);
}

bool TEdit::event(QEvent* e) {
    // With nothing typed to undo, undo and redo are the window's: they undo
    // the stored changes.
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if ((key->matches(QKeySequence::Undo) && !isUndoAvailable()) ||
            (key->matches(QKeySequence::Redo) && !isRedoAvailable())) {
            e->ignore();
            return true;
        }
    }
    return QLineEdit::event(e);
}

// Copy, cut, paste, select all, undo and redo of the text are editing
// commands, not typed characters: no key filter judges them.
bool TEdit::isEditingCommand(const QKeyEvent& key) {
    for (const auto command : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Copy,
                               QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll}) {
        if (key.matches(command)) {
            return true;
        }
    }
    return false;
}

void TEdit::keyPressEvent(QKeyEvent* e) {
    if (!onKeyPress || isEditingCommand(*e)) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    char32_t key = 0;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        key = kEnter;
    } else if (e->key() == Qt::Key_Backspace) {
        key = kBackspace;
    } else {
        const auto typed = e->text().toUcs4();
        if (typed.isEmpty()) {
            // Caret movement and other keys that type nothing.
            QLineEdit::keyPressEvent(e);
            return;
        }
        key = typed.front();
    }
    const char32_t typed = key;
    onKeyPress(this, key);
    if (key == 0) {
        e->accept();
    } else if (key == typed && key != kEnter) {
        QLineEdit::keyPressEvent(e);
    } else if (key != kEnter) {
        insert(QString::fromUcs4(&key, 1));
    }
}

void TEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    QLineEdit::mouseDoubleClickEvent(e);
    if (onDoubleClick) {
        onDoubleClick(this);
    }
}
