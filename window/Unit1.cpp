#include "window/Unit1.h"

#include "dialogs/Fmfreq.h"
#include "dialogs/About.h"
#include "dialogs/Decoderpwd.h"
#include "dialogs/Fmboardtest.h"
#include "dialogs/Fmhelp.h"
#include "dialogs/LinkLabel.h"
#include "link/Operations.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "window/AccessibleControls.h"
#include "window/ElidedLabel.h"
#include "window/WindowLayout.h"
#include "window/FieldEditor.h"
#include "window/ImageDocument.h"
#include "window/FieldFocus.h"
#include "window/FileDialogs.h"
#include "window/QtText.h"
#include "window/RecentFiles.h"
#include "dialogs/Messages.h"
#include "window/TEdit.h"
#include "ui_Unit1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace {

inline constexpr int kHintShowMs = 7000;

// The column heads and the group calls' boxes line up with the fields of
// the call rows, whose widths follow the font. A row's spacing does not
// follow a spacer.
void alignCallColumns(Ui::TForm1& ui) {
    const QLayout& row = *ui.panCall1->layout();
    const int spacing = row.spacing();
    const int indent = ui.panCall1->frameWidth() + row.contentsMargins().left() +
                       ui.lblCall1->sizeHint().width() + spacing;
    ui.headIndent->changeSize(indent, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    ui.Label4->setMinimumWidth(ui.edtT11->sizeHint().width());
    ui.Label11->setMinimumWidth(ui.edtT21->sizeHint().width());
    for (QSpacerItem* gap : {ui.tone2Gap1, ui.tone2Gap2}) {
        gap->changeSize(ui.edtT21->sizeHint().width() + spacing, 0, QSizePolicy::Fixed,
                        QSizePolicy::Minimum);
    }
    ui.layToneHeads->invalidate();
    ui.panGCall1->layout()->invalidate();
    ui.panGCall2->layout()->invalidate();
}

} // namespace

TForm1::TForm1(Messages& messageSink, FileDialogs& dialogs, PortLister ports, LinkTiming timing,
               QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), messages(messageSink),
      fileDialogs(dialogs), listPorts(std::move(ports)), boardTiming(timing) {
    accessibleControls::install();
    ui->setupUi(this);
    setWindowTitle(qText(kWindowCaption));
    scrollControls(*this);
    fieldFocus = new FieldFocus(*this, *ui->edtNull, messages);
    document = new ImageDocument(defaultImage(), QString::fromLatin1(kDefaultTableName),
                                 [this] { showImage(); }, this);
    editor = std::make_unique<FieldEditor>(
        *this, *document, *fieldFocus, messages, [this] { return standardMode(); },
        [this] { openToneTable(); });

    // The separator of the File menu carries its name too.
    for (QAction* action : ui->FileF1->actions()) {
        if (action->isSeparator()) {
            action->setObjectName(QStringLiteral("N1"));
        }
    }
    const QStyle* look = style();
    ui->OpenO1->setIcon(look->standardIcon(QStyle::SP_DialogOpenButton));
    ui->SaveS1->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
    ui->SaveAs1->setIcon(look->standardIcon(QStyle::SP_DriveFDIcon));
    ui->ExitE1->setIcon(look->standardIcon(QStyle::SP_DialogCloseButton));
    ui->Write1->setIcon(look->standardIcon(QStyle::SP_ArrowUp));
    ui->Read1->setIcon(look->standardIcon(QStyle::SP_ArrowDown));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const BoundControl& control : editor->boundControls().all()) {
        if (control.ref.def->kind == FieldKind::Tone) {
            control.widget->setFont(fixed);
        }
    }
    alignCallColumns(*ui);
    layOutPages(*ui->PageControl1);

    const StatusPanels panels = buildStatusBar(*ui->StatusBar1);
    PB1 = panels.progress;
    statusText = panels.status;
    statusFileName = panels.fileName;
    statusOrigin = panels.origin;

    ui->Read1->setEnabled(true);
    ui->Verify1->setEnabled(true);
    ui->Advance2->setEnabled(true);
    ui->About2->setEnabled(true);

    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->TabSheet4), false);

    for (QWidget* area : pointerAreas()) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
    auto* f9 = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(f9, &QShortcut::activated, this, [this] { FormShortCut(Qt::Key_F9); });

    // Its width stays the strip's however long the paths it lists.
    ui->cboPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    wireMenus();
    buildEditMenu();
    buildRecentMenu();

    // A line edit takes Ctrl+E as "end of line"; the menu's keys stay the
    // window's whichever control has the focus (the sink takes it from code).
    for (QWidget* control : ui->centralWidget->findChildren<QWidget*>()) {
        if (control->focusPolicy() != Qt::NoFocus || control == ui->edtNull) {
            control->installEventFilter(this);
        }
    }

    placeOnScreen(*this);

    FormCreate();
    document->markUnchanged();
    showFileOrigin();
    operations = std::make_unique<PagerOperations>(commPort, *this, document->image(),
                                                   document->versionTag(), timing,
                                                   [] { QCoreApplication::processEvents(); });

    // The other windows of the run, in their fixed order.
    aboutBox = new TAboutBox(this);
    toneTable = new TForm2(editor->toneColumns(), this);
    resetHelp = new TfrmHelp(this);
    splash = new TForm3(this);
    advanceLock = new TForm4(*this, messages, this);
    for (QWidget* window : std::initializer_list<QWidget*>{this, aboutBox, toneTable, resetHelp,
                                                           splash, advanceLock}) {
        accessibleControls::describe(*window);
    }
}

TForm1::~TForm1() {
    fieldFocus->shutDown();
}

void TForm1::FormCreate() {
    PB1->setMaximum(0);
    PB1->setValue(0);
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (!widget->toolTip().isEmpty()) {
            widget->setToolTipDuration(kHintShowMs);
        }
    }
    portNames.clear();
    startDirectory = QDir::currentPath();
    document->versionTag() = makeVersionTag(kWindowCaption);
    storeVersionTag(document->image(), document->versionTag());
    showImage();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        // After the window is on screen, so that its messages have a parent to sit on.
        QTimer::singleShot(0, this, &TForm1::FormShow);
    }
}

void TForm1::wireMenus() {
    connect(ui->cboPort, &QComboBox::currentIndexChanged, this,
            [this] { ui->cboPort->setToolTip(ui->cboPort->currentText()); });
    connect(ui->RBtModify, &QRadioButton::clicked, this, &TForm1::RBtModifyClick);
    connect(ui->RBtWrite, &QRadioButton::clicked, this, &TForm1::RBtWriteClick);
    connect(ui->OpenO1, &QAction::triggered, this, &TForm1::OpenO1Click);
    connect(ui->SaveS1, &QAction::triggered, this, &TForm1::SaveS1Click);
    connect(ui->SaveAs1, &QAction::triggered, this, &TForm1::SaveAs1Click);
    connect(ui->Print1, &QAction::triggered, this, &TForm1::Print1Click);
    connect(ui->ExportPdf1, &QAction::triggered, this, &TForm1::ExportPdf1Click);
    connect(ui->ExitE1, &QAction::triggered, this, &TForm1::ExitE1Click);
    connect(ui->Read1, &QAction::triggered, this, &TForm1::Read1Click);
    connect(ui->Write1, &QAction::triggered, this, &TForm1::Write1Click);
    connect(ui->Verify1, &QAction::triggered, this, &TForm1::Verify1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui->cboPort, &TComboBox::dropDown, this, &TForm1::cboPortDropDown);
    connect(ui->Advance2, &QAction::triggered, this, &TForm1::Advance2Click);
    connect(ui->About2, &QAction::triggered, this, &TForm1::About2Click);
    connect(LinkLabel::attach(*ui->lblHelp), &LinkLabel::clicked, this, &TForm1::lblHelpClick);
}

bool TForm1::standardMode() const {
    return ui->radStandard->isChecked();
}

ConfigImage& TForm1::configImage() {
    return document->image();
}

const QString& TForm1::currentSaveFileName() const {
    return document->saveFileName();
}

const std::array<int, 3>& TForm1::toneTargets() const {
    return editor->toneColumns().targets();
}

void TForm1::showImage() {
    editor->displayImage();
}

void TForm1::focusToNull() {
    fieldFocus->focusToSink();
}

void TForm1::setAdvanceUnlocked(bool unlocked) {
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->TabSheet4), unlocked);
    ui->Advance2->setEnabled(!unlocked);
}

void TForm1::runModal(QDialog& dialog) {
    dialog.exec();
    // Some platforms leave the main window inactive when a modal window closes.
    activateWindow();
}

void TForm1::openToneTable() {
    runModal(*toneTable);
}

void TForm1::Advance2Click() {
    runModal(*advanceLock);
}

void TForm1::About2Click() {
    runModal(*aboutBox);
}

void TForm1::lblHelpClick() {
    runModal(*resetHelp);
}

void TForm1::FormShortCut(int key) {
    // F2 to F4 belong to the menu; only F9 is acted on here.
    if (key != Qt::Key_F9 || !standardMode()) {
        return;
    }
    if (editor->toneColumns().targetSet()) {
        openToneTable();
    }
}

// Undo and redo are left out: while a field's text is typed they are the field's.
bool TForm1::isMenuKey(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    const auto items = findChildren<QAction*>();
    return std::any_of(items.begin(), items.end(), [&pressed](const QAction* item) {
        const bool editing = item->objectName() == QLatin1String("Undo1") ||
                             item->objectName() == QLatin1String("Redo1");
        return !editing && !item->shortcut().isEmpty() && item->shortcut() == pressed;
    });
}

std::array<QWidget*, 5> TForm1::pointerAreas() const {
    return {ui->centralWidget, ui->GroupBox2, ui->GroupBox7, ui->GroupBox5, ui->GroupBox3};
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && isMenuKey(*static_cast<QKeyEvent*>(event))) {
        // Not accepted: the key goes to the menu, not to the control.
        event->ignore();
        return true;
    }
    const auto areas = pointerAreas();
    if (event->type() == QEvent::MouseMove &&
        std::find(areas.begin(), areas.end(), watched) != areas.end()) {
        auto* area = static_cast<QWidget*>(watched);
        const auto* move = static_cast<QMouseEvent*>(event);
        // Only the bare background counts, not the controls on it.
        if (area->childAt(move->position().toPoint()) == nullptr) {
            FormMouseMove();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormMouseMove() {
    editor->toneColumns().clearTargets();
    focusToNull();
}

std::vector<QWidget*> TForm1::editingControls() const {
    std::vector<QWidget*> controls{ui->cboPort, ui->edtNull, ui->edtKB270Ver};
    for (const BoundControl& control : editor->boundControls().all()) {
        if (qobject_cast<QLabel*>(control.widget) == nullptr) {
            controls.push_back(control.widget);
        }
    }
    return controls;
}

void TForm1::RBtModifyClick() {
    for (QWidget* control : std::initializer_list<QWidget*>{ui->cboPort, ui->edtNull, ui->edtKB270Ver}) {
        control->setEnabled(true);
    }
    editor->enableForModifyMode();
    ui->Write1->setEnabled(false);
}

void TForm1::RBtWriteClick() {
    for (QWidget* control : editingControls()) {
        control->setEnabled(false);
    }
    ui->edtVersion->setEnabled(true);
    ui->edtNull->setEnabled(true);
    ui->Write1->setEnabled(true);
}

void TForm1::buildEditMenu() {
    auto* edit = new QMenu(QStringLiteral("Edit"), ui->MainMenu1);
    edit->setObjectName(QStringLiteral("Edit1"));
    ui->MainMenu1->insertMenu(ui->Pager1->menuAction(), edit);
    QAction* undo = document->undoStack().createUndoAction(edit, QStringLiteral("Undo"));
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = document->undoStack().createRedoAction(edit, QStringLiteral("Redo"));
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(undo);
    edit->addAction(redo);

    connect(document, &ImageDocument::changedStateChanged, this,
            &TForm1::showChangedState);
    connect(document, &ImageDocument::fileOriginChanged, this, &TForm1::showFileOrigin);
}

void TForm1::buildRecentMenu() {
    recentMenu = new QMenu(QStringLiteral("Open Recent"), ui->FileF1);
    recentMenu->setObjectName(QStringLiteral("OpenRecent1"));
    ui->FileF1->insertMenu(ui->SaveS1, recentMenu);
    connect(recentMenu, &QMenu::aboutToShow, this, &TForm1::fillRecentFiles);
    enableRecentMenu();
    setAcceptDrops(true);
}

// "Save: default.tbl · opened b.tbl"; the file the image came from is named
// only where it is not the one Save writes.
void TForm1::showFileOrigin() {
    const QString& saveFileName = document->saveFileName();
    const QString& imageFile = document->originFile();
    QString text = QStringLiteral("Save: ") + QFileInfo(saveFileName).fileName();
    if (!imageFile.isEmpty() && QFileInfo(imageFile) == QFileInfo(saveFileName)) {
        text += QStringLiteral(" (opened)");
    } else if (!imageFile.isEmpty()) {
        text += QStringLiteral(" \u00B7 opened ") + QFileInfo(imageFile).fileName();
    } else if (document->cameFromPager()) {
        text += QStringLiteral(" \u00B7 read from the pager");
    }
    statusOrigin->setFullText(text);
}

bool TForm1::endEntryForTransfer() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == ui->edtNull || !isAncestorOf(focus)) {
        return true;
    }
    fieldFocus->focusToSink();
    // The field's exit rule runs just after the focus has moved.
    QApplication::processEvents();
    return QApplication::focusWidget() == ui->edtNull;
}
