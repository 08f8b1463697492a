#include "model/TableFile.h"
#include "model/TableSave.h"
#include "window/FileDialogs.h"
#include "window/FieldEditor.h"
#include "window/ImageDocument.h"
#include "window/RecentFiles.h"
#include "dialogs/Messages.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

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

bool TForm1::openTableFile(const QString& path) {
    bool opened = false;
    document->edit(QStringLiteral("Open"), [&] {
        if (loadTable(pathOf(path), document->image()).status != TableStatus::Loaded) {
            messages.exclamation(QStringLiteral("Open Error!"));
            return;
        }
        editor->showImage();
        opened = true;
    });
    if (opened) {
        document->markUnchanged();
        document->setOriginFile(path);
        RecentFiles::add(path);
    }
    return opened;
}

void TForm1::openStartFile() {
    if (openTableFile(startFile)) {
        document->setSaveFileName(startFile);
    }
}

void TForm1::SaveS1Click() {
    saveToSaveFileName();
}

// Saved beside and renamed into place: a failed save leaves the old file whole.
bool TForm1::saveToSaveFileName() {
    const QString& saveFileName = document->saveFileName();
    if (saveTableFile(pathOf(saveFileName), document->image()) != 0) {
        messages.exclamation(QStringLiteral("Save Error!"));
        return false;
    }
    document->markUnchanged();
    RecentFiles::add(saveFileName);
    showFileOrigin();
    return true;
}

void TForm1::SaveAs1Click() {
    const auto chosen =
        fileDialogs.saveFileName(tableDialog(startDirectory, document->saveFileName()));
    if (!chosen) {
        return;
    }
    document->setSaveFileName(*chosen);
    if (!saveToSaveFileName()) {
        return;
    }
    // Relative to the start folder when the file lies inside it; a file
    // elsewhere is named in full rather than cut at an arbitrary place.
    const QString inside = QDir::fromNativeSeparators(startDirectory) + QLatin1Char('/');
    const QString& saveFileName = document->saveFileName();
    const QString chosenPath = QDir::fromNativeSeparators(saveFileName);
    const QString shown =
        chosenPath.startsWith(inside) ? saveFileName.mid(inside.size()) : saveFileName;
    statusFileName->setText(QStringLiteral("File Name:") + shown);
}

void TForm1::loadDefaultTable() {
    switch (::loadDefaultTable(kDefaultTableName, document->image()).status) {
    case TableStatus::Loaded:
        editor->showImage();
        document->markUnchanged();
        document->setOriginFile(QString::fromLatin1(kDefaultTableName));
        break;
    case TableStatus::Missing:
        break;
    case TableStatus::CannotOpen:
        messages.exclamation(QStringLiteral("Open default.tbl error!"));
        break;
    case TableStatus::WrongModel:
        messages.plain(QStringLiteral("This default table is not PX520."));
        break;
    }
}
