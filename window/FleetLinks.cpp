#include "window/FieldEditor.h"
#include "window/ImageDocument.h"
#include "window/RecentFiles.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <QMenu>

// The main window's side of the fleet window: fleets in the File menu, a
// row's configuration taken as the working image, and the table file that
// holds the image for a fleet's base.

void TForm1::addFleetMenu(FleetMenuHooks hooks) {
    fleetMenu = std::move(hooks);
    QAction* before = nullptr;
    for (QAction* action : ui->FileF1->actions()) {
        if (action->isSeparator()) {
            before = action;
        }
    }
    QAction* newFleet = new QAction(QStringLiteral("New Fleet..."), ui->FileF1);
    newFleet->setObjectName(QStringLiteral("NewFleet1"));
    QAction* openFleet = new QAction(QStringLiteral("Open Fleet..."), ui->FileF1);
    openFleet->setObjectName(QStringLiteral("OpenFleet1"));
    ui->FileF1->insertSeparator(before);
    ui->FileF1->insertActions(before, {newFleet, openFleet});
    connect(newFleet, &QAction::triggered, this, [this] { fleetMenu.newFleet(); });
    connect(openFleet, &QAction::triggered, this, [this] { fleetMenu.openFleet(); });
    connect(ui->FileF1, &QMenu::aboutToShow, this, &TForm1::enableRecentMenu);
    enableRecentMenu();
}

void TForm1::enableRecentMenu() {
    const bool fleets =
        fleetMenu.openFleetFile && !RecentFiles::list(RecentFiles::Kind::Fleet).isEmpty();
    recentMenu->setEnabled(fleets || !RecentFiles::list().isEmpty());
}

bool TForm1::takeConfiguration(const ConfigImage& configuration, const QString& what) {
    if (boardBusy || !endEntryForTransfer() || !maySetChangesAside()) {
        return false;
    }
    document->edit(what, [&] {
        document->image() = configuration;
        editor->displayImage();
    });
    // It came from no table file and from no pager.
    document->setOriginFile(QString());
    return true;
}

void TForm1::noteFileHoldsImage(const QString& path) {
    heldFile = path;
    heldImage = document->image();
}

QString TForm1::tableFileHoldingImage() const {
    return !heldFile.isEmpty() && document->image() == heldImage ? heldFile : QString();
}

std::string TForm1::handOverPort() {
    if (commPort.isOpen()) {
        commPort.closeDevice();
    }
    return selectedPortName();
}
