#include "window/QtText.h"
#include "window/Unit1.h"

#include "dialogs/Fmboardtest.h"
#include "link/OperationMessages.h"
#include "link/Operations.h"
#include "dialogs/Messages.h"
#include "ui_Unit1.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

void TForm1::Read1Click() {
    runBoardCommand([this] {
        if (endEntryForTransfer()) {
            operations->readPager();
        }
    });
}

void TForm1::Write1Click() {
    runBoardCommand([this] {
        if (endEntryForTransfer()) {
            operations->writePager();
        }
    });
}

void TForm1::Verify1Click() {
    runBoardCommand([this] {
        if (endEntryForTransfer()) {
            operations->verifyPager();
        }
    });
}

void TForm1::Button1Click() {
    runBoardCommand([this] { operations->boardVersion(); });
}

void TForm1::searchBoard() {
    std::optional<std::size_t> answered;
    const bool stillOpen = runBoardCommand([this, &answered] {
        splash->setAttribute(Qt::WA_ShowWithoutActivating);
        splash->show();
        // On screen before the first port is opened.
        QApplication::processEvents();
        answered = operations->findBoard(portNames);
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
    if (answered) {
        ui->cboPort->setCurrentIndex(static_cast<int>(*answered));
        return;
    }
    const auto& refusal = operations->searchPermissionRefusal();
    messages.exclamation(
        qText(refusal ? withReason(kNotResponding, *refusal) : std::string(kNotResponding)));
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
        setWindowEnabled(true);
        setProgressPosition(0);
        setPagerMenu(true, !modifyModeSelected(), true);
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

bool TForm1::endEntryForTransfer() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == ui->edtNull || !isAncestorOf(focus)) {
        return true;
    }
    focusToNull();
    // The field's exit rule runs just after the focus has moved.
    QApplication::processEvents();
    return QApplication::focusWidget() == ui->edtNull;
}

void TForm1::setStatusText(int panel, std::string_view text) {
    if (panel == 1) {
        statusText->setText(qText(text));
    } else if (panel == 2) {
        statusFileName->setText(qText(text));
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

void TForm1::setWindowEnabled(bool enabled) {
    setEnabled(enabled);
}

void TForm1::setPagerMenu(bool read, bool write, bool verify) {
    ui->Read1->setEnabled(read);
    ui->Write1->setEnabled(write);
    ui->Verify1->setEnabled(verify);
}

void TForm1::showFirmwareVersion(std::string_view text) {
    ui->edtVersion->setText(qText(text));
    showVersionField();
}

void TForm1::showVersionField() {
    ui->lblVersion->show();
    ui->edtVersion->show();
}

void TForm1::setBoardVersionText(std::string_view text) {
    ui->edtKB270Ver->setText(qText(text));
}

void TForm1::message(ViewMessage kind, std::string_view text) {
    const QString shown = qText(text);
    switch (kind) {
    case ViewMessage::Stop:
        messages.stop(shown);
        break;
    case ViewMessage::Exclamation:
        messages.exclamation(shown);
        break;
    case ViewMessage::Information:
        messages.information(shown);
        break;
    case ViewMessage::Plain:
        messages.plain(shown);
        break;
    }
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
