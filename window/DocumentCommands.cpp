#include "dialogs/Messages.h"
#include "model/VersionTag.h"
#include "window/ElidedLabel.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"
#include "window/RecentFiles.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

// The working image as a document: the Edit menu's undo and redo, the marker
// of changes in the title, where Save writes and where the image came from,
// the recent files, files dropped on the window, and the question before
// changes are closed or replaced.

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

} // namespace

void TForm1::buildDocumentMenus() {
    auto* edit = new QMenu(QStringLiteral("Edit"), ui->MainMenu1);
    edit->setObjectName(QStringLiteral("Edit1"));
    ui->MainMenu1->insertMenu(ui->Pager1->menuAction(), edit);
    QAction* undo = document->undoStack().createUndoAction(edit, QStringLiteral("Undo"));
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = document->undoStack().createRedoAction(edit, QStringLiteral("Redo"));
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(undo);
    edit->addAction(redo);

    recentMenu = new QMenu(QStringLiteral("Open Recent"), ui->FileF1);
    recentMenu->setObjectName(QStringLiteral("OpenRecent1"));
    ui->FileF1->insertMenu(ui->SaveS1, recentMenu);
    connect(recentMenu, &QMenu::aboutToShow, this, [this] { fillRecentFiles(); });
    fillRecentFiles();

    connect(document, &ImageDocument::changedStateChanged, this,
            [this](bool changed) { showChangedState(changed); });
    connect(document, &ImageDocument::fileOriginChanged, this, [this] { showFileOrigin(); });
    setAcceptDrops(true);
}

void TForm1::fillRecentFiles() {
    recentMenu->clear();
    const QStringList files = RecentFiles::list();
    for (const QString& path : files) {
        QAction* item = recentMenu->addAction(path);
        connect(item, &QAction::triggered, this, [this, path] { openFromMenu(path); });
    }
    recentMenu->setEnabled(!files.isEmpty());
}

void TForm1::openFromMenu(const QString& path) {
    if (endEntryForTransfer() && maySetChangesAside()) {
        openTableFile(path);
    }
}

void TForm1::showChangedState(bool changed) {
    // The caption stays exactly itself while nothing has changed.
    const QString caption = qText(kWindowCaption);
    setWindowTitle(changed ? caption + QLatin1Char('*') : caption);
}

// "Save: default.tbl · opened b.tbl"; the file the image came from is named
// only where it is not the one Save writes.
void TForm1::showFileOrigin() {
    const QString& saveFileName = document->saveFileName();
    const QString& imageFile = document->originFile();
    QString text = QStringLiteral("Save: ") + QFileInfo(saveFileName).fileName();
    if (!imageFile.isEmpty() && QFileInfo(imageFile) == QFileInfo(saveFileName)) {
        text += QStringLiteral(" (opened)");
    } else if (!imageFile.isEmpty()) {
        text += QStringLiteral(" \u00B7 opened ") + QFileInfo(imageFile).fileName();
    } else if (document->cameFromPager()) {
        text += QStringLiteral(" \u00B7 read from the pager");
    }
    statusOrigin->setFullText(text);
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
