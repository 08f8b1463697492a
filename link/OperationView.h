#pragma once

#include <string>
#include <string_view>

// The kinds of message the board operations show: boxes with a stop,
// exclamation or information icon, and the plain message window.
enum class ViewMessage { Stop, Exclamation, Information, Plain };

// What the Read, Write, Verify and board-test sequences need from whoever runs
// them: the main window, the command line or a test recorder.
class OperationView {
public:
    virtual ~OperationView() = default;

    // Panel 1 is the status text, panel 2 the table file name.
    virtual void setStatusText(int panel, std::string_view text) = 0;

    virtual void setProgressRange(int minimum, int maximum) = 0;
    // The position as the sequence set it, even past the maximum; a bar
    // shows it clamped.
    virtual void setProgressPosition(int position) = 0;
    virtual int progressPosition() const = 0;
    virtual void repaintProgress() = 0;

    virtual void setWindowEnabled(bool enabled) = 0;
    // The Pager menu items Read1, Write1 and Verify1.
    virtual void setPagerMenu(bool read, bool write, bool verify) = 0;

    // edtVersion shows the text; edtVersion and lblVersion become visible.
    virtual void showFirmwareVersion(std::string_view text) = 0;
    // edtVersion and lblVersion become visible with their current text.
    virtual void showVersionField() = 0;
    // The whole working image changed: show it again.
    virtual void showImage() = 0;
    // edtKB270Ver, the board's own version.
    virtual void setBoardVersionText(std::string_view text) = 0;

    virtual void message(ViewMessage kind, std::string_view text) = 0;

    // RBtModify is selected: Write1 stays disabled after Read and Verify.
    virtual bool modifyModeSelected() const = 0;
    // The port chosen in cboPort.
    virtual std::string selectedPortName() const = 0;
};
