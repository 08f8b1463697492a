#include "fleet/FleetProgramDialog.h"

#include "dialogs/Messages.h"
#include "link/OperationMessages.h"
#include "rules/PagerSheet.h"
#include "ui_FleetProgramDialog.h"
#include "window/QtText.h"

#include <QCoreApplication>
#include <QListWidgetItem>

#include <algorithm>

namespace {

// "row 3 (unit C)", as px520-cli and the findings name a row.
QString rowText(const FleetPager& pager) {
    return qText(rowName(pager.row, pager.label));
}

QString resultText(const FleetPager& pager, const FleetPagerWrite& written) {
    if (written.verified()) {
        return QStringLiteral("%1: written and verified, firmware %2")
            .arg(rowText(pager), qText(written.line.firmware));
    }
    QString text =
        QStringLiteral("%1: failed: %2").arg(rowText(pager), qText(written.line.message));
    if (written.partlyWritten()) {
        text += QStringLiteral("; ") + qText(kPartlyWritten);
    }
    return text;
}

} // namespace

TFleetProgramDialog::TFleetProgramDialog(std::vector<FleetPager> pagers,
                                         const std::filesystem::path& record,
                                         std::optional<std::filesystem::path> base,
                                         std::string portName, Messages& messages,
                                         LinkTiming timing, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFleetProgramDialog>()), messages(messages) {
    ui->setupUi(this);
    FleetRecord log(record);
    if (!log.load()) {
        blocked = qText(log.error());
    }
    run = std::make_unique<FleetProgramming>(
        std::move(pagers), std::move(log), std::move(base), port, *this,
        FleetLink{std::move(portName), makeVersionTag(kWindowCaption), timing,
                  [] { QCoreApplication::processEvents(); }});
    if (!blocked.isEmpty()) {
        run->stop();
    }
    ui->pbTransfer->hide();
    connect(ui->btnProgram, &QPushButton::clicked, this, &TFleetProgramDialog::program);
    connect(ui->btnSkip, &QPushButton::clicked, this, &TFleetProgramDialog::skip);
    connect(ui->btnStop, &QPushButton::clicked, this, &TFleetProgramDialog::stop);
    showState();
}

TFleetProgramDialog::~TFleetProgramDialog() = default;

void TFleetProgramDialog::program() {
    const auto current = run->current();
    if (busy || !current) {
        return;
    }
    busy = true;
    showState();
    const FleetPager& pager = run->pager(*current);
    const FleetPagerWrite written = run->program();
    busy = false;
    addResult(resultText(pager, written));
    if (!run->recordError().empty()) {
        messages.stop(qText(run->recordError()) +
                      QStringLiteral("\nThe run stopped; the pager's result is not recorded."));
    }
    showState();
}

void TFleetProgramDialog::skip() {
    const auto current = run->current();
    if (busy || !current) {
        return;
    }
    const QString name = rowText(run->pager(*current));
    run->skip();
    addResult(name + QStringLiteral(": skipped"));
    if (!run->recordError().empty()) {
        messages.stop(qText(run->recordError()) + QStringLiteral("\nThe run stopped."));
    }
    showState();
}

// Stop ends the run (after the pager in progress) and shows what was done;
// once it has ended, the button closes the dialog.
void TFleetProgramDialog::stop() {
    const bool ended = !run->current();
    run->stop();
    if (ended && !busy) {
        accept();
        return;
    }
    showState();
}

void TFleetProgramDialog::reject() {
    if (busy) {
        run->stop();
        showState();
        return;
    }
    QDialog::reject();
}

void TFleetProgramDialog::showState() {
    const std::size_t total = run->size();
    const std::size_t done = run->doneCount();
    ui->pbFleet->setRange(0, static_cast<int>(total));
    ui->pbFleet->setValue(static_cast<int>(done));
    const auto current = run->current();
    QString seat;
    if (!blocked.isEmpty()) {
        seat = QStringLiteral("The record cannot be used: %1").arg(blocked);
    } else if (busy && run->stopped()) {
        seat = QStringLiteral("Stopping after the pager in progress.");
    } else if (current) {
        const FleetPager& pager = run->pager(*current);
        seat = QStringLiteral("Seat pager %1 of %2").arg(pager.row).arg(total);
        if (!pager.label.empty()) {
            seat += QStringLiteral(" (%1)").arg(qText(pager.label));
        }
        if (busy) {
            seat.replace(0, 4, QStringLiteral("Programming"));
        }
    } else if (done == total) {
        seat = QStringLiteral("Every pager is written and verified.");
    } else {
        seat = QStringLiteral("Stopped with %1 of %2 pagers done.").arg(done).arg(total);
    }
    ui->lblSeat->setText(seat);
    // Whichever button a screen reader lands on says where the run is.
    ui->btnProgram->setAccessibleDescription(seat);
    ui->btnStop->setAccessibleDescription(seat);
    const bool going = current.has_value();
    ui->btnProgram->setEnabled(going && !busy);
    ui->btnSkip->setEnabled(going && !busy);
    ui->btnStop->setText(going || busy ? QStringLiteral("&Stop") : QStringLiteral("&Close"));
    ui->btnStop->setEnabled(!(busy && run->stopped()));
    if (!going && !busy) {
        ui->btnStop->setDefault(true);
        ui->btnStop->setFocus();
    }
}

void TFleetProgramDialog::addResult(const QString& text) {
    auto* item = new QListWidgetItem(text, ui->lstResults);
    ui->lstResults->scrollToItem(item);
}

void TFleetProgramDialog::setStatusText(StatusPanel panel, std::string_view text) {
    if (panel == StatusPanel::Status) {
        ui->lblStatus->setText(qText(text).trimmed());
    }
}

// As in the main window: an empty range would show a busy bar, so the bar
// waits hidden for a transfer's range.
void TFleetProgramDialog::setProgressRange(int minimum, int maximum) {
    ui->pbTransfer->setRange(minimum, maximum);
    ui->pbTransfer->setVisible(maximum > minimum);
    setProgressPosition(progress);
}

void TFleetProgramDialog::setProgressPosition(int position) {
    progress = position;
    ui->pbTransfer->setValue(
        std::clamp(position, ui->pbTransfer->minimum(),
                   std::max(ui->pbTransfer->minimum(), ui->pbTransfer->maximum())));
}

void TFleetProgramDialog::repaintProgress() {
    ui->pbTransfer->repaint();
}

void TFleetProgramDialog::showFirmwareVersion(const FirmwareVersion& /*version*/) {}

// A pager that failed gets the box the main window's Write shows; one that
// was verified only its line in the results.
void TFleetProgramDialog::showOutcome(const OperationOutcome& outcome) {
    if (outcome.succeeded()) {
        return;
    }
    if (const auto message = outcomeMessage(outcome)) {
        messages.showOutcome(*message);
    }
}
