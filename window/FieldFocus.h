#pragma once

#include "dialogs/Messages.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QWidget;
class TEdit;

// Decides when a typed field's entry starts and ends, runs the field's entry
// and exit handlers then, and hands the focus back to a field whose value
// was refused. It watches the fields' focus and Tab keys as an event filter.
//
// Qt moves the focus before the old widget hears of it, and a modal box
// opened from a focus-out handler sees bogus focus changes. So: a Tab is
// checked before the focus moves; any other loss of focus is checked just
// after the event, while the entry of the field that took the focus waits;
// switching to another application and back is no entry and no exit.
class FieldFocus : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(TEdit*)>;

    // A child of the window, whose fields it watches.
    FieldFocus(QWidget& window, QWidget& sink, Messages& messages);

    // The field's entry and exit follow the rules here from now on.
    void watch(TEdit* field, Handler enter, Handler exit);

    // Runs the field's exit handling while it keeps the focus (Enter);
    // true when the value was refused.
    bool exitInPlace(TEdit* field);
    // Message, then the focus back to the field.
    void refuse(TEdit* field, MessageKind kind, const QString& caption, const QString& text);
    // The same with an exclamation captioned "PX520", or in a plain message window.
    void refuse(TEdit* field, const std::string& message);
    void refusePlain(TEdit* field, const std::string& message);
    // The field gets the focus again. When its entry was ending, this is a
    // new entry (the field empties); when it still had the focus, nothing changes.
    void giveFocusBack(TEdit* field);
    // Ends the entry of whatever field has the focus. A Tab or Backtab in
    // the sink then goes on from the control that had it.
    void focusToSink();
    // The next (or previous) Tab stop of the window after from.
    static QWidget* tabNeighbour(QWidget& from, bool next);
    // The window is closing: no entry or exit rule runs any more.
    void shutDown() { closed = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Handlers {
        Handler onEntry;
        Handler onExit;
    };
    void entered(TEdit* field, Qt::FocusReason reason);
    void left(TEdit* field, Qt::FocusReason reason);
    // Tab or Backtab in the field: true when the key is done with (the
    // value was refused and the focus stays, or the focus went on).
    bool tabbing(TEdit* field, bool next);
    void runEnter(TEdit* field);

    struct Run {
        TEdit* field;
        bool leaving;
        bool refused;
    };
    bool runExit(TEdit* field, bool leaving);
    void runPendingExit();
    // A field on another tab page is brought into view to take the focus.
    static void showPageOf(const TEdit& field);

    QWidget& window;
    QWidget& sink;
    Messages& messages;
    QHash<const TEdit*, Handlers> fields;
    Run* run = nullptr;
    QPointer<TEdit> pendingExit;  // left by a click or the sink, checked next
    QPointer<TEdit> waitingEntry; // entered meanwhile; its entry runs after the check
    QPointer<TEdit> handingBack;  // the focus is being handed back to this field
    QPointer<TEdit> exitedByTab;  // its exit already ran before the Tab moved on
    QPointer<TEdit> reverting;    // cannot take the focus: shows its stored value
    QPointer<QWidget> leftForSink; // had the focus when the sink took it
    bool closed = false;
};
