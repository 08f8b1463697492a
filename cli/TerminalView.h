#pragma once

#include "link/OperationView.h"

#include <string>
#include <string_view>

// The board operations on a terminal: status and progress on stderr (a bar
// when stderr is a terminal, plain lines otherwise), the firmware version,
// and each outcome's message as its text on stderr.
class TerminalView : public OperationView {
public:
    explicit TerminalView(bool drawBar);

    void setStatusText(StatusPanel panel, std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return position_; }
    void repaintProgress() override;
    void showFirmwareVersion(const FirmwareVersion& version) override;
    void showOutcome(const OperationOutcome& outcome) override;

    // Forgets the last operation's status and progress, for the next pager.
    void startOperation();
    // Takes the bar off the terminal.
    void endLine();

private:
    void draw();
    void printLine(std::string_view text);

    bool drawBar_;
    std::string status_;
    int maximum_ = 0;
    int position_ = 0;
    int shownQuarter_ = 0;
    bool barShown_ = false;
};
