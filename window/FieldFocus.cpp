#include "window/FieldFocus.h"

#include "window/TEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

namespace {

// The user looked at another window or a popup: the entry goes on.
bool notAnEntryChange(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

FieldFocus::FieldFocus(QWidget& mainWindow, QWidget& focusSink, Messages& messageSink)
    : QObject(&mainWindow), window(mainWindow), sink(focusSink), messages(messageSink) {
    sink.installEventFilter(this);
}

void FieldFocus::watch(TEdit* field, Handler enter, Handler exit) {
    fields.insert(field, {std::move(enter), std::move(exit)});
    field->installEventFilter(this);
}

void FieldFocus::runEnter(TEdit* field) {
    if (const auto found = fields.constFind(field); found != fields.cend() && found->onEntry) {
        found->onEntry(field);
    }
}

void FieldFocus::entered(TEdit* field, Qt::FocusReason reason) {
    if (closed || handingBack || notAnEntryChange(reason)) {
        return;
    }
    if (pendingExit) {
        waitingEntry = field;
        return;
    }
    runEnter(field);
}

void FieldFocus::left(TEdit* field, Qt::FocusReason reason) {
    if (closed || handingBack || notAnEntryChange(reason)) {
        return;
    }
    if (run != nullptr && run->field == field) {
        return; // its own exit handling moved the focus
    }
    if (exitedByTab == field) {
        exitedByTab = nullptr;
        return;
    }
    if (pendingExit) {
        // Never really entered: its entry was still waiting.
        if (waitingEntry == field) {
            waitingEntry = nullptr;
        }
        return;
    }
    pendingExit = field;
    QTimer::singleShot(0, this, &FieldFocus::runPendingExit);
}

bool FieldFocus::tabbing(TEdit* field, bool next) {
    if (closed) {
        return false;
    }
    if (runExit(field, true)) {
        return true;
    }
    exitedByTab = field;
    // An exit that ends the entry in the focus sink has moved the focus
    // there; Tab still goes on from this field.
    if (QApplication::focusWidget() != field) {
        if (QWidget* neighbour = tabNeighbour(*field, next)) {
            neighbour->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

bool FieldFocus::exitInPlace(TEdit* field) {
    return !closed && runExit(field, false);
}

void FieldFocus::refuse(TEdit* field, MessageKind kind, const QString& caption,
                        const QString& text) {
    if (run != nullptr && run->field == field) {
        run->refused = true;
    }
    messages.show(kind, caption, text);
    giveFocusBack(field);
}

void FieldFocus::refuse(TEdit* field, const std::string& message) {
    refuse(field, MessageKind::Exclamation, QString::fromLatin1(kMessageCaption),
           QString::fromStdString(message));
}

void FieldFocus::refusePlain(TEdit* field, const std::string& message) {
    refuse(field, MessageKind::Plain, Messages::applicationTitle(),
           QString::fromStdString(message));
}

void FieldFocus::giveFocusBack(TEdit* field) {
    if (closed) {
        return;
    }
    // Handed back by its own exit handling, with or without a message: the
    // entry goes on, so a Tab must not move on either.
    if (run != nullptr && run->field == field) {
        run->refused = true;
    }
    const bool leaving = run != nullptr && run->field == field && run->leaving;
    window.activateWindow();
    if (window.focusWidget() == field) {
        if (leaving) {
            runEnter(field);
        }
        return;
    }
    if (field == reverting) {
        return;
    }
    const QPointer<TEdit> previous = handingBack;
    handingBack = field;
    showPageOf(*field);
    field->setFocus(Qt::OtherFocusReason);
    handingBack = previous;
    if (window.focusWidget() == field) {
        runEnter(field);
        return;
    }
    // A disabled field cannot take the focus: it shows its stored value
    // again, as when it is left empty.
    reverting = field;
    field->clear();
    runExit(field, false);
    reverting = nullptr;
}

void FieldFocus::showPageOf(const TEdit& field) {
    for (QWidget* page = field.parentWidget(); page != nullptr; page = page->parentWidget()) {
        QWidget* stack = page->parentWidget();
        auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs != nullptr && tabs->indexOf(page) >= 0) {
            tabs->setCurrentWidget(page);
        }
    }
}

QWidget* FieldFocus::tabNeighbour(QWidget& from, bool next) {
    QWidget* widget = &from;
    do {
        widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain();
        const bool tabStop = (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (tabStop && widget->focusProxy() == nullptr && widget->isVisible() &&
            widget->isEnabled() && widget->window() == from.window()) {
            return widget;
        }
    } while (widget != &from);
    return nullptr;
}

void FieldFocus::focusToSink() {
    if (QWidget* current = window.focusWidget(); current != &sink) {
        leftForSink = current;
    }
    sink.setFocus(Qt::OtherFocusReason);
}

bool FieldFocus::eventFilter(QObject* watched, QEvent* event) {
    if (auto* field = qobject_cast<TEdit*>(watched); field != nullptr && fields.contains(field)) {
        switch (event->type()) {
        case QEvent::FocusIn:
            entered(field, static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::FocusOut:
            left(field, static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::KeyPress: {
            // Only a real Tab or Backtab ends the entry: Qt also moves the
            // focus on when a focused field is disabled or hidden.
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                const bool backward = key->key() == Qt::Key_Backtab ||
                                      (key->modifiers() & Qt::ShiftModifier);
                return tabbing(field, !backward);
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
    if (watched == &sink && event->type() == QEvent::ShortcutOverride) {
        // The sink holds no text: every shortcut is the window's.
        event->ignore();
        return true;
    }
    if (watched != &sink || event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool backward = key->key() == Qt::Key_Backtab ||
                          (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (!tab || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) || !leftForSink) {
        return QObject::eventFilter(watched, event);
    }
    // The sink has no place in the Tab chain: the next stop is the one after
    // (or before) the control whose entry it ended.
    if (QWidget* next = tabNeighbour(*leftForSink, !backward)) {
        next->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool FieldFocus::runExit(TEdit* field, bool leaving) {
    Run current{field, leaving, false};
    Run* const outer = run;
    run = &current;
    struct Restore {
        Run*& slot;
        Run* value;
        ~Restore() { slot = value; }
    } restore{run, outer};
    if (const auto found = fields.constFind(field); found != fields.cend() && found->onExit) {
        found->onExit(field);
    }
    return current.refused;
}

void FieldFocus::runPendingExit() {
    const QPointer<TEdit> field = pendingExit;
    pendingExit = nullptr;
    if (closed || !field) {
        waitingEntry = nullptr;
        return;
    }
    const bool refused = runExit(field, true);
    const QPointer<TEdit> next = waitingEntry;
    waitingEntry = nullptr;
    if (!refused && next && window.focusWidget() == next) {
        runEnter(next);
    }
}
