#include "model/TableFile.h"
#include "model/TableSave.h"
#include "window/FileDialogs.h"
#include "window/FieldEditor.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"
#include "window/RecentFiles.h"
#include "dialogs/Messages.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

// Open, Save and Save As of the File menu, the question before changes are
// set aside (whose answer may save), the recent files, files dropped on the
// window, and the start-up table or the file named on the command line.

namespace {

// The .tbl file among dropped ones; empty when there is none.
QString droppedTable(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QLatin1String(".tbl"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}


FileDialogSetup tableDialog(const QString& directory, const QString& fileName) {
    return {directory, QStringLiteral("Table files (*.tbl)"), QStringLiteral("tbl"), fileName};
}

std::filesystem::path pathOf(const QString& name) {
    return std::filesystem::path(name.toStdString());
}

} // namespace

void TForm1::OpenO1Click() {
    if (!endEntryForTransfer() || !maySetChangesAside()) {
        return;
    }
    const auto chosen = fileDialogs.openFileName(tableDialog(startDirectory, QString()));
    if (chosen) {
        openTableFile(*chosen);
    }
}

// Only a regular file is opened: a FIFO would hold the window until some
// program wrote to it.
bool TForm1::openTableFile(const QString& path) {
    bool opened = false;
    document->edit(QStringLiteral("Open"), [&] {
        const TableLoad load = loadTable(pathOf(path), document->image(), TableSource::RegularFile);
        if (load.status == TableStatus::NotAFile) {
            messages.exclamation(qText(notATableFileText(path.toStdString(), load.node)));
            return;
        }
        if (load.status != TableStatus::Loaded) {
            messages.exclamation(QStringLiteral("Open Error!"));
            return;
        }
        editor->displayImage();
        opened = true;
    });
    if (opened) {
        document->markUnchanged();
        document->setOriginFile(path);
        noteFileHoldsImage(path);
        RecentFiles::add(path);
    }
    return opened;
}

void TForm1::openStartFile() {
    if (openTableFile(startFile)) {
        document->setSaveFileName(startFile);
    }
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

// Saved beside and renamed into place: a failed save leaves the old file
// whole. A file its owner made read-only is left alone, and Save As offered.
bool TForm1::saveToSaveFileName() {
    const QString& saveFileName = document->saveFileName();
    const int error =
        saveTableFile(pathOf(saveFileName), document->image(), TableSource::RegularFile);
    if (error == kTableReadOnly) {
        return messages.askToSaveAs(
                   qText(readOnlyText(saveFileName.toStdString())) +
                   QStringLiteral(".\nSave the configuration under another name?")) &&
               SaveAs1Click();
    }
    if (error != 0) {
        messages.exclamation(QStringLiteral("Save Error!"));
        return false;
    }
    document->markUnchanged();
    noteFileHoldsImage(saveFileName);
    RecentFiles::add(saveFileName);
    showFileOrigin();
    return true;
}

void TForm1::SaveS1Click() {
    saveToSaveFileName();
}

bool TForm1::SaveAs1Click() {
    const auto chosen =
        fileDialogs.saveFileName(tableDialog(startDirectory, document->saveFileName()));
    if (!chosen) {
        return false;
    }
    document->setSaveFileName(*chosen);
    if (!saveToSaveFileName()) {
        return false;
    }
    // Relative to the start folder when the file lies inside it; a file
    // elsewhere is named in full rather than cut at an arbitrary place.
    const QString inside = QDir::fromNativeSeparators(startDirectory) + QLatin1Char('/');
    const QString& saveFileName = document->saveFileName();
    const QString chosenPath = QDir::fromNativeSeparators(saveFileName);
    const QString shown =
        chosenPath.startsWith(inside) ? saveFileName.mid(inside.size()) : saveFileName;
    statusFileName->setText(QStringLiteral("File Name:") + shown);
    return true;
}

void TForm1::loadDefaultTable() {
    switch (::loadDefaultTable(kDefaultTableName, document->image()).status) {
    case TableStatus::Loaded:
        editor->displayImage();
        document->markUnchanged();
        document->setOriginFile(QString::fromLatin1(kDefaultTableName));
        noteFileHoldsImage(QString::fromLatin1(kDefaultTableName));
        break;
    case TableStatus::Missing:
        break;
    case TableStatus::CannotOpen:
    case TableStatus::NotAFile:
        messages.exclamation(QStringLiteral("Open default.tbl error!"));
        break;
    case TableStatus::WrongModel:
        messages.plain(QStringLiteral("This default table is not PX520."));
        break;
    }
}

// The table files, then the fleets when the File menu offers them.
void TForm1::fillRecentFiles() {
    recentMenu->clear();
    for (const QString& path : RecentFiles::list()) {
        QAction* item = recentMenu->addAction(path);
        connect(item, &QAction::triggered, this, [this, path] { openFromMenu(path); });
    }
    if (fleetMenu.openFleetFile) {
        const QStringList fleets = RecentFiles::list(RecentFiles::Kind::Fleet);
        if (!fleets.isEmpty()) {
            recentMenu->addSection(QStringLiteral("Fleets"));
        }
        for (const QString& path : fleets) {
            QAction* item = recentMenu->addAction(path);
            connect(item, &QAction::triggered, this,
                    [this, path] { fleetMenu.openFleetFile(path); });
        }
    }
    enableRecentMenu();
}

void TForm1::openFromMenu(const QString& path) {
    if (endEntryForTransfer() && maySetChangesAside()) {
        openTableFile(path);
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!boardBusy && !droppedTable(*event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = droppedTable(*event->mimeData());
    if (path.isEmpty() || boardBusy) {
        return;
    }
    event->acceptProposedAction();
    openFromMenu(path);
}
