#include "dialogs/Messages.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"
#include "window/ElidedLabel.h"
#include "window/FieldFocus.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"
#include "window/RecentFiles.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>

#include <filesystem>

// The working image as a document: the Edit menu's undo and redo, the marker
// of changes in the title, where Save writes and where the image came from,
// the question before changes are closed or replaced, saving, and the end of
// the entry in progress before the image leaves the window.

void TForm1::showChangedState(bool changed) {
    // The caption stays exactly itself while nothing has changed.
    const QString caption = qText(kWindowCaption);
    setWindowTitle(changed ? caption + QLatin1Char('*') : caption);
}

bool TForm1::maySetChangesAside() {
    if (!document->isChanged()) {
        return true;
    }
    const QString question =
        QStringLiteral("The configuration has changes that are neither saved nor written to a "
                       "pager.\nSave them to %1?")
            .arg(QFileInfo(document->saveFileName()).fileName());
    switch (messages.askToSave(question)) {
    case SaveChoice::Save:
        return saveToSaveFileName();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        return false;
    }
    return false;
}

// Saved beside and renamed into place: a failed save leaves the old file whole.
bool TForm1::saveToSaveFileName() {
    const QString& saveFileName = document->saveFileName();
    if (saveTableFile(std::filesystem::path(saveFileName.toStdString()), document->image()) != 0) {
        messages.exclamation(QStringLiteral("Save Error!"));
        return false;
    }
    document->markUnchanged();
    RecentFiles::add(saveFileName);
    showFileOrigin();
    return true;
}

bool TForm1::endEntryForTransfer() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == ui->edtNull || !isAncestorOf(focus)) {
        return true;
    }
    fieldFocus->focusToSink();
    // The field's exit rule runs just after the focus has moved.
    QApplication::processEvents();
    return QApplication::focusWidget() == ui->edtNull;
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
