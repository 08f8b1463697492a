#pragma once

#include "link/OperationView.h"
#include "model/ConfigImage.h"

#include <string>
#include <string_view>

// The board operations on a terminal: status and progress on stderr (a bar
// when stderr is a terminal, plain lines otherwise), the firmware version,
// and each outcome's message as its text on stderr, every line after the
// program's name. It says more than the window where that helps: where a
// verify found a difference, and which port was silent.
class TerminalView : public OperationView {
public:
    // portName: the port as the user gave it, named when the board is silent.
    TerminalView(bool drawBar, std::string portName);

    void setStatusText(StatusPanel panel, std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return position_; }
    void repaintProgress() override;
    void showFirmwareVersion(const FirmwareVersion& version) override;
    void showOutcome(const OperationOutcome& outcome) override;

    // Forgets the last operation's status and progress, for the next pager.
    // A verify compares the pager with image, which must outlive the
    // operation, so that a difference can be shown in its place.
    void startOperation(const ConfigImage& image);
    // Takes the bar off the terminal.
    void endLine();

private:
    void draw();
    void printLine(std::string_view text);

    bool drawBar_;
    std::string portName_;
    const ConfigImage* image_ = nullptr;
    std::string status_;
    int maximum_ = 0;
    int position_ = 0;
    int shownQuarter_ = 0;
    bool barShown_ = false;
};
