#include "window/TEdit.h"

#include "window/FieldFocus.h"
#include "rules/KeyFilters.h"

#include <QApplication>
#include <QFocusEvent>
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

void TEdit::setHandlers(FieldFocus* fieldFocus, Handler enter, KeyHandler keyPress, Handler exit,
                        Handler doubleClick) {
    focus = fieldFocus;
    onEnter = std::move(enter);
    onKeyPress = std::move(keyPress);
    onExit = std::move(exit);
    onDoubleClick = std::move(doubleClick);
}

void TEdit::runEnter() {
    if (onEnter) {
        onEnter(this);
    }
}

void TEdit::runExit() {
    if (onExit) {
        onExit(this);
    }
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
    // Only a real Tab or Backtab may end the entry in focusNextPrevChild;
    // Qt also calls it when a focused widget is disabled or hidden.
    if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        tabPressed = tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        const bool handled = QLineEdit::event(e);
        tabPressed = false;
        return handled;
    }
    return QLineEdit::event(e);
}

void TEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (focus && onEnter) {
        focus->entered(this, e->reason());
    }
}

void TEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (focus && onExit) {
        focus->left(this, e->reason());
    }
}

bool TEdit::focusNextPrevChild(bool next) {
    if (tabPressed && focus && onExit && focus->tabbing(this)) {
        return true;
    }
    // An exit that ends the entry in the focus sink has moved the focus
    // there; Tab still goes on from this field.
    if (tabPressed && QApplication::focusWidget() != this) {
        if (QWidget* neighbour = FieldFocus::tabNeighbour(*this, next)) {
            neighbour->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QLineEdit::focusNextPrevChild(next);
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
