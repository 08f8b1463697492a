#pragma once

#include "link/FleetProgramming.h"
#include "link/OperationView.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"

#include <QDialog>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Messages;

namespace Ui {
class TFleetProgramDialog;
}

// Programming a fleet in turn: names the pager to seat, writes and verifies
// it on Program, passes it over on Skip, ends the run on Stop; shows the
// transfer as the main window does, the fleet's progress beside it and each
// pager's result as it comes. Every attempt goes into the record, so a run
// that stopped resumes at the first pager not done. The port stays held
// from the first pager to the dialog's end.
class TFleetProgramDialog : public QDialog, public OperationView {
    Q_OBJECT

public:
    // pagers: the sheet's rows in order, each the base with the row's
    // values; record: the record file beside the sheet; base: the base table
    // file, named on the first line of a new record.
    TFleetProgramDialog(std::vector<FleetPager> pagers, const std::filesystem::path& record,
                        std::optional<std::filesystem::path> base, std::string portName,
                        Messages& messages, LinkTiming timing = {}, QWidget* parent = nullptr);
    ~TFleetProgramDialog() override;

    // Operation view of the transfer in progress.
    void setStatusText(StatusPanel panel, std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return progress; }
    void repaintProgress() override;
    void showFirmwareVersion(const FirmwareVersion& version) override;
    void showOutcome(const OperationOutcome& outcome) override;

public slots:
    // A closing asked for while a pager is being written ends the run after
    // it.
    void reject() override;

private:
    void program();
    void skip();
    void stop();
    // The pager to seat, the fleet's progress and what the buttons do now.
    void showState();
    void addResult(const QString& text);

    std::unique_ptr<Ui::TFleetProgramDialog> ui;
    Messages& messages;
    TCommPort port;
    std::unique_ptr<FleetProgramming> run;
    // Why the run could not start: the record could not be read.
    QString blocked;
    bool busy = false;
    int progress = 0;
};
