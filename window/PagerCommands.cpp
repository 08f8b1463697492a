#include "window/QtText.h"
#include "window/Unit1.h"

#include "dialogs/Fmboardtest.h"
#include "link/OperationMessages.h"
#include "link/Operations.h"
#include "dialogs/Messages.h"
#include "window/FieldEditor.h"
#include "window/ImageDocument.h"
#include "ui_Unit1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>

#include <algorithm>

// The operations store the firmware version, and Read the pager's image, in
// the working image: one undo step each.
void TForm1::Read1Click() {
    runBoardCommand([this] {
        if (endEntryForTransfer() && maySetChangesAside()) {
            document->edit(QStringLiteral("Read"),
                           [this] { operations->readPager(selectedPortName()); });
        }
    });
}

void TForm1::Write1Click() {
    runBoardCommand([this] {
        if (endEntryForTransfer()) {
            document->edit(QStringLiteral("Write"),
                           [this] { operations->writePager(selectedPortName()); });
        }
    });
}

void TForm1::Verify1Click() {
    runBoardCommand([this] {
        if (endEntryForTransfer()) {
            document->edit(QStringLiteral("Verify"),
                           [this] { operations->verifyPager(selectedPortName()); });
        }
    });
}

void TForm1::Button1Click() {
    runBoardCommand([this] {
        ui->edtKB270Ver->clear();
        if (const auto version = operations->boardVersion(selectedPortName())) {
            ui->edtKB270Ver->setText(qText(version->text()));
        }
    });
}

void TForm1::FormShow() {
    fillPortList();
    // Until the search finds the board, the first port.
    ui->cboPort->setCurrentIndex(0);
    searchBoard();
    if (!isVisible()) {
        return; // closed while the ports were probed
    }
    if (startFile.isEmpty()) {
        loadDefaultTable();
    } else {
        openStartFile();
    }
}

void TForm1::searchBoard() {
    OperationOutcome search{OperationKind::Search};
    const bool stillOpen = runBoardCommand([this, &search] {
        splash->setAttribute(Qt::WA_ShowWithoutActivating);
        splash->show();
        // On screen before the first port is opened.
        QApplication::processEvents();
        search = operations->findBoard(portNames);
    });
    // Where the platform let the splash take the activation, it goes back.
    const bool splashActive = splash->isActiveWindow();
    splash->close();
    if (!stillOpen) {
        return;
    }
    if (splashActive) {
        activateWindow();
    }
    if (search.portIndex) {
        ui->cboPort->setCurrentIndex(static_cast<int>(*search.portIndex));
        return;
    }
    if (const auto message = outcomeMessage(search)) {
        messages.showOutcome(*message);
    }
}

bool TForm1::runBoardCommand(const std::function<void()>& command) {
    if (boardBusy) {
        return true;
    }
    boardBusy = true;
    try {
        command();
    } catch (...) {
        // Whatever went wrong, the window must not stay locked.
        boardBusy = false;
        try {
            commPort.closeDevice();
        } catch (const ECommError&) {
            // The next open reports a port that will not close.
        }
        setEnabled(true);
        setProgressPosition(0);
        setPagerMenu(pagerMenuAfterFailure(modifyModeSelected()));
        throw;
    }
    boardBusy = false;
    if (closeWhenIdle) {
        closeWhenIdle = false;
        close();
        return false;
    }
    return true;
}

void TForm1::setStatusText(StatusPanel panel, std::string_view text) {
    switch (panel) {
    case StatusPanel::Status:
        statusText->setText(qText(text));
        break;
    case StatusPanel::FileName:
        statusFileName->setText(qText(text));
        break;
    }
}

// Qt shows an empty range as a busy bar; the board tests set one, so the bar
// is hidden until a transfer gives it a range.
void TForm1::setProgressRange(int minimum, int maximum) {
    PB1->setRange(minimum, maximum);
    PB1->setVisible(maximum > minimum);
    setProgressPosition(progress);
}

void TForm1::setProgressPosition(int position) {
    progress = position;
    PB1->setValue(std::clamp(position, PB1->minimum(), std::max(PB1->minimum(), PB1->maximum())));
}

void TForm1::repaintProgress() {
    PB1->repaint();
}

void TForm1::showFirmwareVersion(const FirmwareVersion& version) {
    ui->edtVersion->setText(qText(version.text()));
    showVersionField();
}

// A Read shows the image it took before its message box, and the version
// field after it.
void TForm1::showOutcome(const OperationOutcome& outcome) {
    if (outcome.tookImage()) {
        editor->displayImage();
    }
    if (const auto message = outcomeMessage(outcome)) {
        messages.showOutcome(*message);
    }
    if (outcome.tookImage()) {
        showVersionField();
    }
}

void TForm1::operationStarted() {
    setEnabled(false);
}

void TForm1::transferStarted() {
    setPagerMenu({false, false, false});
}

void TForm1::operationEnded(const OperationOutcome& outcome) {
    setEnabled(true);
    // The pager now holds the working image.
    const bool transfer = outcome.operation == OperationKind::Read ||
                          outcome.operation == OperationKind::Write ||
                          outcome.operation == OperationKind::Verify;
    if (transfer && outcome.succeeded()) {
        document->markUnchanged();
    }
    if (outcome.tookImage()) {
        document->setOriginPager();
    }
    if (const auto menu = pagerMenuAfter(outcome, modifyModeSelected())) {
        setPagerMenu(*menu);
    }
}

void TForm1::setPagerMenu(const PagerMenu& menu) {
    ui->Read1->setEnabled(menu.read);
    ui->Write1->setEnabled(menu.write);
    ui->Verify1->setEnabled(menu.verify);
}

void TForm1::showVersionField() {
    ui->lblVersion->show();
    ui->edtVersion->show();
}

bool TForm1::modifyModeSelected() const {
    return ui->RBtModify->isChecked();
}

std::string TForm1::selectedPortName() const {
    const int index = ui->cboPort->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= portNames.size()) {
        return {};
    }
    return portNames[static_cast<std::size_t>(index)];
}

namespace {

// Room around an item's text in the port list: frame and item margins.
constexpr int kPortListPadding = 24;

} // namespace

void TForm1::fillPortList() {
    const std::string chosen = selectedPortName();
    portNames.clear();
    ui->cboPort->clear();
    for (const SerialPortInfo& port : listPorts()) {
        portNames.push_back(port.name);
        ui->cboPort->addItem(QString::fromStdString(port.name));
        ui->cboPort->setItemData(ui->cboPort->count() - 1, QString::fromStdString(port.description),
                                 Qt::ToolTipRole);
    }
    // A device path can be longer than the box: the list opens wide enough
    // for the longest, and the box's hint names the chosen one in full.
    QAbstractItemView* list = ui->cboPort->view();
    int widest = 0;
    for (int i = 0; i < ui->cboPort->count(); ++i) {
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(ui->cboPort->itemText(i)));
    }
    list->setMinimumWidth(widest + kPortListPadding +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // A port that is gone leaves nothing chosen rather than another device.
    const auto kept = std::ranges::find(portNames, chosen);
    ui->cboPort->setCurrentIndex(
        kept == portNames.end() ? -1 : static_cast<int>(kept - portNames.begin()));
}

void TForm1::cboPortDropDown() {
    // The search and the board commands work on the list as it is.
    if (!boardBusy) {
        fillPortList();
    }
}
