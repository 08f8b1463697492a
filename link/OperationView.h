#pragma once

#include "link/OperationOutcome.h"
#include "model/FirmwareVersion.h"

#include <string_view>

// The status bar's panels: the operation's status, and the table file name
// that a Write empties.
enum class StatusPanel { Status = 1, FileName = 2 };

// Where the board operations tell how they are going: the main window, the
// command line or a test recorder.
class OperationView {
public:
    virtual ~OperationView() = default;

    virtual void setStatusText(StatusPanel panel, std::string_view text) = 0;

    virtual void setProgressRange(int minimum, int maximum) = 0;
    // The position as the sequence set it, even past the maximum; a bar
    // shows it clamped.
    virtual void setProgressPosition(int position) = 0;
    virtual int progressPosition() const = 0;
    virtual void repaintProgress() = 0;

    // As soon as the pager has told it.
    virtual void showFirmwareVersion(const FirmwareVersion& version) = 0;
    // Read, Write and Verify report their outcome before their common end,
    // so that its message shows while the operation still holds the window.
    virtual void showOutcome(const OperationOutcome& outcome) = 0;

    // A window is locked from the board test of Read, Write or Verify to its
    // end, with the Pager menu off from the start of the transfer; a terminal
    // has nothing to lock.
    virtual void operationStarted() {}
    virtual void transferStarted() {}
    virtual void operationEnded(const OperationOutcome& /*outcome*/) {}
};
