#pragma once

#include "link/OperationView.h"

#include <string>
#include <string_view>

// The board operations on a terminal: status and progress on stderr (a bar
// when stderr is a terminal, plain lines otherwise), every message box as
// its text on stderr, and the outcome kept for the exit code and the log.
class TerminalView : public OperationView {
public:
    TerminalView(std::string portName, bool drawBar);

    void setStatusText(int panel, std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return position_; }
    void repaintProgress() override;
    void setWindowEnabled(bool) override {}
    void setPagerMenu(bool, bool, bool) override {}
    void showFirmwareVersion(std::string_view text) override;
    void showVersionField() override {}
    void showImage() override {}
    void setBoardVersionText(std::string_view) override {}
    void message(ViewMessage kind, std::string_view text) override;
    bool modifyModeSelected() const override { return false; }
    std::string selectedPortName() const override { return portName_; }

    // Forgets the last operation's outcome, for the next pager.
    void startOperation();
    // Takes the bar off the terminal.
    void endLine();

    // A success message came and no failure message.
    bool succeeded() const { return success_ && failure_.empty(); }
    // The exit code the outcome stands for.
    int exitCode() const;
    // The firmware version the pager reported, empty when it was not asked.
    const std::string& firmware() const { return firmware_; }
    // The first failure message.
    const std::string& failure() const { return failure_; }

private:
    void draw();
    void printLine(std::string_view text);

    std::string portName_;
    bool drawBar_;
    std::string status_;
    int maximum_ = 0;
    int position_ = 0;
    int shownQuarter_ = 0;
    bool barShown_ = false;
    bool success_ = false;
    std::string failure_;
    ViewMessage failureKind_ = ViewMessage::Stop;
    std::string firmware_;
};
