#include "dialogs/Messages.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "ui_Unit1.h"
#include "window/FileDialogs.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"
#include "window/RecentFiles.h"
#include "window/Unit1.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include <filesystem>

// Open, Save and Save As of the File menu and the start-up table or the
// file named on the command line.

namespace {

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
        const TableLoad load = loadTable(pathOf(path), image, TableSource::RegularFile);
        if (load.status == TableStatus::NotAFile) {
            messages.exclamation(qText(notATableFileText(path.toStdString(), load.node)));
            return;
        }
        if (load.status != TableStatus::Loaded) {
            messages.exclamation(QStringLiteral("Open Error!"));
            return;
        }
        showImage();
        opened = true;
    });
    if (opened) {
        document->markUnchanged();
        imageCameFromFile(path);
        RecentFiles::add(path);
    }
    return opened;
}

void TForm1::openStartFile() {
    if (openTableFile(startFile)) {
        setSaveFileName(startFile);
    }
}

void TForm1::SaveS1Click() {
    saveToSaveFileName();
}

// Saved beside and renamed into place: a failed save leaves the old file
// whole. A file its owner made read-only is left alone, and Save As offered.
bool TForm1::saveToSaveFileName() {
    const int error = saveTableFile(pathOf(saveFileName), image, TableSource::RegularFile);
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
    RecentFiles::add(saveFileName);
    showFileOrigin();
    return true;
}

bool TForm1::SaveAs1Click() {
    const auto chosen = fileDialogs.saveFileName(tableDialog(startDirectory, saveFileName));
    if (!chosen) {
        return false;
    }
    setSaveFileName(*chosen);
    if (!saveToSaveFileName()) {
        return false;
    }
    // Relative to the start folder when the file lies inside it; a file
    // elsewhere is named in full rather than cut at an arbitrary place.
    const QString inside = QDir::fromNativeSeparators(startDirectory) + QLatin1Char('/');
    const QString chosenPath = QDir::fromNativeSeparators(saveFileName);
    const QString shown =
        chosenPath.startsWith(inside) ? saveFileName.mid(inside.size()) : saveFileName;
    statusFileName->setText(QStringLiteral("File Name:") + shown);
    return true;
}

void TForm1::loadDefaultTable() {
    switch (::loadDefaultTable(kDefaultTableName, image).status) {
    case TableStatus::Loaded:
        showImage();
        document->markUnchanged();
        imageCameFromFile(QString::fromLatin1(kDefaultTableName));
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
