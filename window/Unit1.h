#pragma once

#include "dialogs/AdvanceLockHost.h"
#include "link/OperationMessages.h"
#include "link/OperationView.h"
#include "link/PagerMenu.h"
#include "link/PortList.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"
#include "model/ConfigImage.h"
#include "model/VersionTag.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialog;
class QKeyEvent;
class QLabel;
class QProgressBar;
class ElidedLabel;
class FieldEditor;
class ImageDocument;
class QMenu;
class FieldFocus;
class FileDialogs;
class Messages;
class PagerOperations;
class TAboutBox;
class TEdit;
class TForm2;
class TForm3;
class TForm4;
class TfrmHelp;

namespace Ui {
class TForm1;
}

// The per-call controls, indexed by their Tag; slot 0 stays empty.
struct ControlTables {
    std::array<TEdit*, 5> edtT1{};
    std::array<TEdit*, 5> edtT2{};
    std::array<QCheckBox*, 5> chkDuty{};
    std::array<QCheckBox*, 5> chkPriority{};
    std::array<QCheckBox*, 9> chkSYS{};
    std::array<TEdit*, 5> edtAlertTime{};
    std::array<QComboBox*, 5> cboAlertType{};
    std::array<TEdit*, 3> edtT3{};
    std::array<QCheckBox*, 3> chkGDuty{};
    std::array<QCheckBox*, 3> chkGPriority{};
    std::array<TEdit*, 3> edtGAlertTime{};
    std::array<QComboBox*, 3> cboGAlertType{};
};

// The machine's serial ports as they are now; read again whenever cboPort's
// list drops down.
using PortLister = std::function<std::vector<SerialPortInfo>()>;

// The main window: owns the working image for the run, its menus, the port
// list, the edit modes, the status bar and the view of the board operations.
// Its fields are edited by the FieldEditor; it hosts the Advance settings lock.
class TForm1 : public QMainWindow, public AdvanceLockHost, public OperationView {
    Q_OBJECT

public:
    // listPorts: the machine's serial ports, listed into cboPort when the
    // window first shows (and searched for the programmer board) and each
    // time cboPort's list drops down; timing: how long the board may stay
    // silent.
    TForm1(Messages& messages, FileDialogs& fileDialogs, PortLister listPorts,
           LinkTiming timing = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // A table file to open in place of "default.tbl" once the start-up
    // search has run; it becomes the save file name.
    void setStartFile(const QString& path) { startFile = path; }

    ConfigImage& configImage() { return image; }
    const std::array<int, 3>& toneTargets() const;
    const QString& currentSaveFileName() const { return saveFileName; }
    const ControlTables& tables() const { return controlTables; }

    // Advance settings lock host (Unit1.cpp).
    void setAdvanceUnlocked(bool unlocked) override;

    // Operation view of the board link (PagerCommands.cpp).
    void setStatusText(StatusPanel panel, std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return progress; }
    void repaintProgress() override;
    void showFirmwareVersion(const FirmwareVersion& version) override;
    void showOutcome(const OperationOutcome& outcome) override;
    void operationStarted() override;
    void transferStarted() override;
    void operationEnded(const OperationOutcome& outcome) override;

    // The display pass: every control shows the image.
    void showImage();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Start-up, modes, pointer and keys (Unit1.cpp).
    void FormCreate();
    void FormShow();
    void FormShortCut(int key);
    void FormMouseMove();
    void RBtModifyClick();
    void RBtWriteClick();
    void ExitE1Click();
    void Advance2Click();
    void About2Click();
    void lblHelpClick();
    // Opens the Tone Table modally for the set target.
    void openToneTable();
    void runModal(QDialog& dialog);
    void buildControlTables();
    void wireMenus();
    bool standardMode() const;
    // The controls that the edit modes enable and disable.
    std::vector<QWidget*> editingControls() const;
    // Ends the entry of whatever field has the focus.
    void focusToNull();
    // Puts the controls into a scroll area, and the window inside the
    // screen's free area, centred.
    void scrollControls();
    void placeOnScreen();
    // The bare window and the group boxes where the pointer ends an entry.
    std::array<QWidget*, 5> pointerAreas() const;
    // The key is one of the menu's accelerators.
    bool isMenuKey(const QKeyEvent& key) const;

    // Pager menu, board search and board version (PagerCommands.cpp).
    void Read1Click();
    void Write1Click();
    void Verify1Click();
    void Button1Click();
    // The start-up search behind the splash; selects the port that answered.
    void searchBoard();
    // Runs a board command unless one is running; a close asked for meanwhile
    // happens when it ends. False when the window closed.
    bool runBoardCommand(const std::function<void()>& command);
    // Stores or refuses the value being typed before the board sees the image;
    // false when it was refused.
    bool endEntryForTransfer();
    void setPagerMenu(const PagerMenu& menu);
    // edtVersion and lblVersion become visible with their current text.
    void showVersionField();
    void showMessage(const OutcomeMessage& message);
    // RBtModify is selected: Write1 stays disabled after Read and Verify.
    bool modifyModeSelected() const;
    // The port chosen in cboPort.
    std::string selectedPortName() const;
    // Lists the machine's ports into cboPort; the chosen port stays chosen
    // while it is listed.
    void fillPortList();
    void cboPortDropDown();

    // The document: Edit menu, changed state, recent files, dropped files,
    // and the question before changes are set aside (DocumentCommands.cpp).
    void buildDocumentMenus();
    // True when the image may be replaced or closed: nothing is changed, or
    // the user saved or discarded the changes.
    bool maySetChangesAside();
    void showChangedState(bool changed);
    // "Save writes ... · opened ..." in the status bar.
    void showFileOrigin();
    // The image now holds what this table file holds.
    void imageCameFromFile(const QString& path);
    void imageCameFromPager();
    // Where Save writes from now on, shown in the status bar.
    void setSaveFileName(const QString& path);
    void fillRecentFiles();
    void openFromMenu(const QString& path);
    // Save to saveFileName; false after "Save Error!".
    bool saveToSaveFileName();

    // Table files (TableFileCommands.cpp).
    void OpenO1Click();
    void SaveS1Click();
    // True when the image was saved under the chosen name.
    bool SaveAs1Click();
    void loadDefaultTable();
    // Open's rules and message for one file; true when it was taken.
    bool openTableFile(const QString& path);
    void openStartFile();

    std::unique_ptr<Ui::TForm1> ui;
    Messages& messages;
    FileDialogs& fileDialogs;
    std::unique_ptr<FieldFocus> fieldFocus;
    std::unique_ptr<FieldEditor> editor;
    QProgressBar* PB1 = nullptr;
    QLabel* statusText = nullptr;
    QLabel* statusFileName = nullptr;
    bool shownOnce = false;
    ImageDocument* document = nullptr;
    ElidedLabel* statusOrigin = nullptr;
    QMenu* recentMenu = nullptr;
    // Where the working image came from: the table file opened last (empty
    // when none), or the pager.
    QString imageFile;
    bool imageFromPager = false;
    // The user already answered for the changes when closing started.
    bool closeApproved = false;
    PortLister listPorts;
    // The port names behind the items of cboPort.
    std::vector<std::string> portNames;
    // The one serial port of the run.
    TCommPort commPort;

    ConfigImage image{};
    QString startDirectory;
    VersionTag versionTag{};
    // Read, Write, Verify and the board search over commPort and image.
    std::unique_ptr<PagerOperations> operations;
    // A board command is running; the window waits for it to end.
    bool boardBusy = false;
    bool closeWhenIdle = false;
    // The position as the operations set it, even past the bar's maximum.
    int progress = 0;

    // The other windows, created once after this one and kept for the run
    // (children of this window).
    TAboutBox* aboutBox = nullptr;
    TForm2* toneTable = nullptr;
    TfrmHelp* resetHelp = nullptr;
    TForm3* splash = nullptr;
    TForm4* advanceLock = nullptr;
    QString saveFileName;
    QString startFile;
    ControlTables controlTables;
};
