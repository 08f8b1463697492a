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

// The machine's serial ports as they are now; read again whenever cboPort's
// list drops down.
using PortLister = std::function<std::vector<SerialPortInfo>()>;

// What the File menu offers for fleets, given by whoever keeps the fleet
// window: New Fleet..., Open Fleet... and the fleets of Open Recent.
struct FleetMenuHooks {
    std::function<void()> newFleet;
    std::function<void()> openFleet;
    std::function<void(const QString&)> openFleetFile;
};

// The main window: its menus, the port list, the edit modes, the status bar
// and the view of the board operations. The working image is its document's;
// its fields are edited by the FieldEditor; it hosts the Advance settings lock.
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

    ConfigImage& configImage();
    const std::array<int, 3>& toneTargets() const;
    const QString& currentSaveFileName() const;

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

    // The fleet window's links (FleetLinks.cpp). The File menu offers fleets.
    void addFleetMenu(FleetMenuHooks hooks);
    // A board command is running: the image is the command's until it ends.
    bool boardCommandRunning() const { return boardBusy; }
    // Stores or refuses the value being typed; false when it was refused.
    bool endEntry() { return endEntryForTransfer(); }
    // Asks about unsaved changes as Open does, then the configuration
    // becomes the working image, one undo step named what; false when the
    // image stays.
    bool takeConfiguration(const ConfigImage& configuration, const QString& what);
    // The table file that holds the working image as it is now (opened or
    // saved, and not changed since); empty when no file does.
    QString tableFileHoldingImage() const;
    // The port chosen in cboPort, let go by this window so that another may
    // hold it; empty when none is chosen.
    std::string handOverPort();
    // How long the board may stay silent.
    const LinkTiming& linkTiming() const { return boardTiming; }

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
    void wireMenus();
    bool standardMode() const;
    // The controls that the edit modes enable and disable.
    std::vector<QWidget*> editingControls() const;
    // Ends the entry of whatever field has the focus.
    void focusToNull();
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
    void setPagerMenu(const PagerMenu& menu);
    // edtVersion and lblVersion become visible with their current text.
    void showVersionField();
    // RBtModify is selected: Write1 stays disabled after Read and Verify.
    bool modifyModeSelected() const;
    // The port chosen in cboPort.
    std::string selectedPortName() const;
    // Lists the machine's ports into cboPort; the chosen port stays chosen
    // while it is listed.
    void fillPortList();
    void cboPortDropDown();

    // Menus of the document, the status of its file, the entry ended before
    // the image leaves the window (Unit1.cpp).
    void buildEditMenu();
    void buildRecentMenu();
    // "Save writes ... · opened ..." in the status bar.
    void showFileOrigin();
    // Stores or refuses the value being typed before the board or a file sees
    // the image; false when it was refused.
    bool endEntryForTransfer();

    // The changed marker in the title; Exit and closing (DocumentCommands.cpp).
    void showChangedState(bool changed);

    // Table files: the question before changes are set aside, Open, Save,
    // Save As, the recent files and dropped files (TableFileCommands.cpp).
    // True when the image may be replaced or closed: nothing is changed, or
    // the user saved or discarded the changes.
    bool maySetChangesAside();
    // Save to the document's save file; false after "Save Error!" or when a
    // read-only file was left alone and no Save As followed.
    bool saveToSaveFileName();
    void fillRecentFiles();
    void openFromMenu(const QString& path);
    void OpenO1Click();
    void SaveS1Click();
    // True when the image was saved under the chosen name.
    bool SaveAs1Click();
    void loadDefaultTable();
    // Open's rules and message for one file; true when it was taken.
    bool openTableFile(const QString& path);
    void openStartFile();
    // The file now holds the working image (FleetLinks.cpp).
    void noteFileHoldsImage(const QString& path);
    // Open Recent is enabled while it has files to list.
    void enableRecentMenu();

    // Print... and Export PDF... of the configuration (PrintCommands.cpp).
    void Print1Click();
    void ExportPdf1Click();

    std::unique_ptr<Ui::TForm1> ui;
    Messages& messages;
    FileDialogs& fileDialogs;
    FieldFocus* fieldFocus = nullptr;
    std::unique_ptr<FieldEditor> editor;
    QProgressBar* PB1 = nullptr;
    QLabel* statusText = nullptr;
    QLabel* statusFileName = nullptr;
    bool shownOnce = false;
    ImageDocument* document = nullptr;
    ElidedLabel* statusOrigin = nullptr;
    QMenu* recentMenu = nullptr;
    // The user already answered for the changes when closing started.
    bool closeApproved = false;
    PortLister listPorts;
    // The port names behind the items of cboPort.
    std::vector<std::string> portNames;
    // The one serial port of the run.
    TCommPort commPort;

    QString startDirectory;
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
    QString startFile;
    FleetMenuHooks fleetMenu;
    LinkTiming boardTiming;
    // The table file last opened or saved and the image it holds.
    QString heldFile;
    ConfigImage heldImage{};
};
