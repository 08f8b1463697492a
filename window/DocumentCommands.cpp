#include "dialogs/Messages.h"
#include "window/FieldFocus.h"
#include "window/QtText.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <QCloseEvent>

// Closing the window: the marker of changes in the title, and the question
// before changes are closed.

void TForm1::showChangedState(bool changed) {
    // The caption stays exactly itself while nothing has changed.
    const QString caption = qText(kWindowCaption);
    setWindowTitle(changed ? caption + QLatin1Char('*') : caption);
}

void TForm1::ExitE1Click() {
    if (!boardBusy) {
        if (!maySetChangesAside()) {
            return;
        }
        closeApproved = true;
        if (commPort.isOpen()) {
            commPort.closeDevice();
        }
    }
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The board command in progress owns the port; the window closes when it ends.
    if (boardBusy) {
        closeWhenIdle = true;
        event->ignore();
        return;
    }
    // The entry in progress is not ended: no field rule runs on the way out.
    if (!closeApproved && !maySetChangesAside()) {
        event->ignore();
        return;
    }
    closeApproved = false;
    // No field rule may run while the window goes away.
    fieldFocus->shutDown();
    if (commPort.isOpen()) {
        commPort.closeDevice();
    }
    QMainWindow::closeEvent(event);
}
