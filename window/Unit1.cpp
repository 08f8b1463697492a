#include "window/Unit1.h"

#include "window/CallControls.h"
#include "dialogs/Fmfreq.h"
#include "dialogs/About.h"
#include "dialogs/Decoderpwd.h"
#include "dialogs/Fmboardtest.h"
#include "dialogs/Fmhelp.h"
#include "dialogs/LinkLabel.h"
#include "link/Operations.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "window/FieldFocus.h"
#include "window/FileDialogs.h"
#include "window/PickLists.h"
#include "window/QtText.h"
#include "dialogs/Messages.h"
#include "window/TEdit.h"
#include "ui_Unit1.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace {

inline constexpr int kHintShowMs = 7000;
// Height kept free for the title bar a window manager adds; a smaller
// screen gets a shorter window whose controls scroll.
inline constexpr int kTitleBarAllowance = 64;

// Puts control into the table slot of its Tag; slot 0 stays empty.
template <typename Control, std::size_t N>
void putByTag(std::array<Control*, N>& table, QObject* object) {
    const int tag = object->property("Tag").toInt();
    auto* control = qobject_cast<Control*>(object);
    if (control != nullptr && tag > 0 && static_cast<std::size_t>(tag) < N) {
        table[static_cast<std::size_t>(tag)] = control;
    }
}

bool startsWithAny(const QString& name, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes) {
        if (name.startsWith(QLatin1String(prefix))) {
            return true;
        }
    }
    return false;
}

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

// Qt lays out a tab page, and each box on it, when it is first shown; the
// others get their places now, so that every control has its place from
// the start. Outer layouts go first: they size the boxes inside.
void layOutPages(QTabWidget& pages) {
    QSize size;
    for (int i = 0; i < pages.count(); ++i) {
        size = size.expandedTo(pages.widget(i)->sizeHint());
    }
    for (int i = 0; i < pages.count(); ++i) {
        QWidget* page = pages.widget(i);
        page->resize(size);
        QList<QWidget*> boxes{page};
        boxes << page->findChildren<QWidget*>();
        for (QWidget* box : boxes) {
            if (box->layout() != nullptr) {
                box->layout()->activate();
            }
        }
    }
}

} // namespace

TForm1::TForm1(Messages& messageSink, FileDialogs& dialogs, PortLister ports, LinkTiming timing,
               QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), messages(messageSink),
      fileDialogs(dialogs), listPorts(std::move(ports)), image(defaultImage()),
      saveFileName(QString::fromLatin1(kDefaultTableName)) {
    ui->setupUi(this);
    setWindowTitle(qText(kWindowCaption));
    scrollControls();
    fillPickLists(*ui);
    fieldFocus = std::make_unique<FieldFocus>(*this, *ui->edtNull, messages);

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
    for (QLineEdit* tone : {ui->edtT11, ui->edtT12, ui->edtT13, ui->edtT14, ui->edtT21, ui->edtT22,
                            ui->edtT23, ui->edtT24, ui->edtT31, ui->edtT32}) {
        tone->setFont(fixed);
    }
    alignCallColumns(*ui);
    layOutPages(*ui->PageControl1);

    // Status bar: progress bar, status text, file name.
    auto* progressPanel = new QWidget(ui->StatusBar1);
    progressPanel->setObjectName(QStringLiteral("StatusPanel0"));
    progressPanel->setFixedWidth(320);
    auto* progressLayout = new QHBoxLayout(progressPanel);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    PB1 = new QProgressBar(progressPanel);
    PB1->setObjectName(QStringLiteral("PB1"));
    PB1->setRange(0, 100);
    PB1->setTextVisible(false);
    PB1->hide();
    progressLayout->addWidget(PB1);
    statusText = new QLabel(QStringLiteral("  Ready ......"), ui->StatusBar1);
    statusText->setObjectName(QStringLiteral("StatusPanel1"));
    statusText->setFixedWidth(330);
    statusFileName = new QLabel(ui->StatusBar1);
    statusFileName->setObjectName(QStringLiteral("StatusPanel2"));
    statusFileName->setMinimumWidth(50);
    ui->StatusBar1->addWidget(progressPanel);
    ui->StatusBar1->addWidget(statusText);
    ui->StatusBar1->addWidget(statusFileName, 1);

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

    connect(ui->cboPort, &QComboBox::currentIndexChanged, this,
            [this] { ui->cboPort->setToolTip(ui->cboPort->currentText()); });
    // Its width stays the strip's however long the paths it lists.
    ui->cboPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(ui->RBtModify, &QRadioButton::clicked, this, [this] { RBtModifyClick(); });
    connect(ui->RBtWrite, &QRadioButton::clicked, this, [this] { RBtWriteClick(); });
    connect(ui->OpenO1, &QAction::triggered, this, [this] { OpenO1Click(); });
    connect(ui->SaveS1, &QAction::triggered, this, [this] { SaveS1Click(); });
    connect(ui->SaveAs1, &QAction::triggered, this, [this] { SaveAs1Click(); });
    connect(ui->ExitE1, &QAction::triggered, this, [this] { ExitE1Click(); });
    connect(ui->Read1, &QAction::triggered, this, [this] { Read1Click(); });
    connect(ui->Write1, &QAction::triggered, this, [this] { Write1Click(); });
    connect(ui->Verify1, &QAction::triggered, this, [this] { Verify1Click(); });
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui->cboPort, &TComboBox::dropDown, this, [this] { cboPortDropDown(); });
    connect(ui->Advance2, &QAction::triggered, this, [this] { Advance2Click(); });
    connect(ui->About2, &QAction::triggered, this, [this] { About2Click(); });
    connect(LinkLabel::attach(*ui->lblHelp), &LinkLabel::clicked, this, [this] { lblHelpClick(); });

    wireHandlers();

    // A line edit takes Ctrl+E as "end of line"; the menu's keys stay the
    // window's whichever control has the focus (the sink takes it from code).
    for (QWidget* control : ui->centralWidget->findChildren<QWidget*>()) {
        if (control->focusPolicy() != Qt::NoFocus || control == ui->edtNull) {
            control->installEventFilter(this);
        }
    }

    placeOnScreen();

    FormCreate();
    operations = std::make_unique<PagerOperations>(commPort, *this, image, versionTag, timing,
                                                   [] { QCoreApplication::processEvents(); });

    // The other windows of the run, in their fixed order.
    aboutBox = new TAboutBox(this);
    toneTable = new TForm2(*this, this);
    resetHelp = new TfrmHelp(this);
    splash = new TForm3(this);
    advanceLock = new TForm4(*this, messages, this);
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
    buildControlTables();
    portNames.clear();
    startDirectory = QDir::currentPath();
    versionTag = makeVersionTag(kWindowCaption);
    storeVersionTag(image, versionTag);
    showImage();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        // After the window is on screen, so that its messages have a parent to sit on.
        QTimer::singleShot(0, this, [this] { FormShow(); });
    }
}

void TForm1::FormShow() {
    fillPortList();
    // Until the search finds the board, the first port.
    ui->cboPort->setCurrentIndex(0);
    searchBoard();
    if (!isVisible()) {
        return; // closed while the ports were probed
    }
    if (startFile.isEmpty()) {
        loadDefaultTable();
    } else {
        openStartFile();
    }
}

void TForm1::buildControlTables() {
    ControlTables& t = controlTables;
    for (QObject* child : findChildren<QObject*>()) {
        const QString name = child->objectName();
        // The first matching prefix wins.
        if (name.startsWith(QLatin1String("edtT1"))) {
            putByTag(t.edtT1, child);
        } else if (name.startsWith(QLatin1String("edtT2"))) {
            putByTag(t.edtT2, child);
        } else if (name.startsWith(QLatin1String("chkDuty"))) {
            putByTag(t.chkDuty, child);
        } else if (name.startsWith(QLatin1String("chkPriority"))) {
            putByTag(t.chkPriority, child);
        } else if (name.startsWith(QLatin1String("chkSYS"))) {
            putByTag(t.chkSYS, child);
        } else if (name.startsWith(QLatin1String("edtAlertTime"))) {
            putByTag(t.edtAlertTime, child);
        } else if (name.startsWith(QLatin1String("cboAlertType"))) {
            putByTag(t.cboAlertType, child);
        } else if (name.startsWith(QLatin1String("edtT3"))) {
            putByTag(t.edtT3, child);
        } else if (name.startsWith(QLatin1String("chkGDuty"))) {
            putByTag(t.chkGDuty, child);
        } else if (name.startsWith(QLatin1String("chkGPriority"))) {
            putByTag(t.chkGPriority, child);
        } else if (name.startsWith(QLatin1String("edtGAlertTime"))) {
            putByTag(t.edtGAlertTime, child);
        } else if (name.startsWith(QLatin1String("cboGAlertType"))) {
            putByTag(t.cboGAlertType, child);
        }
    }
}

void TForm1::wireHandlers() {
    using EditHandler = void (TForm1::*)(TEdit*);
    using KeyHandler = void (TForm1::*)(TEdit*, char32_t&);
    struct Wiring {
        TEdit* edit;
        EditHandler enter;
        KeyHandler key;
        EditHandler exit;
        EditHandler doubleClick = nullptr;
    };
    const std::initializer_list<Wiring> wiring = {
        {ui->edtFreq, &TForm1::edtBS_PeriodEnter, &TForm1::edtFreqKeyPress, &TForm1::edtFreqExit},
        {ui->edtT11, &TForm1::edtT11Enter, &TForm1::edtT11KeyPress, &TForm1::edtT11Exit,
         &TForm1::edtT11DblClick},
        {ui->edtT12, &TForm1::edtT11Enter, &TForm1::edtT11KeyPress, &TForm1::edtT11Exit,
         &TForm1::edtT11DblClick},
        {ui->edtT13, &TForm1::edtT11Enter, &TForm1::edtT11KeyPress, &TForm1::edtT11Exit,
         &TForm1::edtT11DblClick},
        {ui->edtT14, &TForm1::edtT11Enter, &TForm1::edtT11KeyPress, &TForm1::edtT11Exit,
         &TForm1::edtT11DblClick},
        {ui->edtT21, &TForm1::edtT21Enter, &TForm1::edtT21KeyPress, &TForm1::edtT21Exit,
         &TForm1::edtT21DblClick},
        {ui->edtT22, &TForm1::edtT21Enter, &TForm1::edtT21KeyPress, &TForm1::edtT21Exit,
         &TForm1::edtT21DblClick},
        {ui->edtT23, &TForm1::edtT21Enter, &TForm1::edtT21KeyPress, &TForm1::edtT21Exit,
         &TForm1::edtT21DblClick},
        {ui->edtT24, &TForm1::edtT21Enter, &TForm1::edtT21KeyPress, &TForm1::edtT21Exit,
         &TForm1::edtT21DblClick},
        {ui->edtT31, &TForm1::edtT31Enter, &TForm1::edtT31KeyPress, &TForm1::edtT31Exit,
         &TForm1::edtT31DblClick},
        {ui->edtT32, &TForm1::edtT31Enter, &TForm1::edtT31KeyPress, &TForm1::edtT31Exit,
         &TForm1::edtT31DblClick},
        {ui->edtAlertTime1, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtAlertTime1Exit},
        {ui->edtAlertTime2, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtAlertTime1Exit},
        {ui->edtAlertTime3, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtAlertTime1Exit},
        {ui->edtAlertTime4, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtAlertTime1Exit},
        {ui->edtGAlertTime1, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtGAlertTime1Exit},
        {ui->edtGAlertTime2, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtGAlertTime1Exit},
        {ui->edtDelay, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress, &TForm1::edtDelayExit},
        {ui->edtAutoMonitor, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtAutoMonitorExit},
        {ui->edtAudioLock, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtAudioLockExit},
        {ui->edtDelayFullTime, &TForm1::edtBS_PeriodEnter, &TForm1::edtRSSIKeyPress,
         &TForm1::edtDelayFullTimeExit},
        {ui->edtBS_Period, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtBS_PeriodExit},
        {ui->edtBS_Duty, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtBS_DutyExit},
        {ui->edtRFDelay, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtRFDelayExit},
        {ui->edtNoiseLimit, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtNoiseLimitExit},
        {ui->edtRSSI, &TForm1::edtBS_PeriodEnter, &TForm1::edtRSSIKeyPress, &TForm1::edtRSSIExit},
        {ui->edtRSSI2, &TForm1::edtBS_PeriodEnter, &TForm1::edtRSSIKeyPress, &TForm1::edtRSSI2Exit},
        {ui->edtSSI, &TForm1::edtBS_PeriodEnter, &TForm1::edtRSSIKeyPress, &TForm1::edtSSIExit},
        {ui->edtDecorderReset, &TForm1::edtBS_PeriodEnter, &TForm1::edtT11KeyPress,
         &TForm1::edtDecorderResetExit},
        {ui->edtTone1Len, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtTone1LenExit},
        {ui->edtTone2Len, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtTone2LenExit},
        {ui->edtTone1Limit, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtTone1LimitExit},
        {ui->edtTone2Limit, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtTone2LimitExit},
        {ui->edtGapMax, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtGapMaxExit},
        {ui->edtSquelch, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtSquelchExit},
        {ui->edtTone3Len, &TForm1::edtBS_PeriodEnter, &TForm1::edtBS_PeriodKeyPress,
         &TForm1::edtTone3LenExit},
    };
    const auto bind = [this](EditHandler handler) -> TEdit::Handler {
        if (handler == nullptr) {
            return {};
        }
        return [this, handler](TEdit* sender) { (this->*handler)(sender); };
    };
    for (const Wiring& w : wiring) {
        const KeyHandler key = w.key;
        w.edit->setHandlers(
            fieldFocus.get(), bind(w.enter),
            [this, key](TEdit* sender, char32_t& typed) { (this->*key)(sender, typed); },
            bind(w.exit), bind(w.doubleClick));
    }

    // A check box's rule runs whenever its state changes, by the user or by
    // the display pass; a combo box's only when the user picks an item.
    const auto onToggle = [this](QCheckBox* box, void (TForm1::*rule)(QCheckBox*)) {
        connect(box, &QCheckBox::toggled, this, [this, box, rule] { (this->*rule)(box); });
    };
    for (QCheckBox* box : {ui->chkDuty1, ui->chkDuty2, ui->chkDuty3, ui->chkDuty4}) {
        onToggle(box, &TForm1::chkDuty1Click);
    }
    for (QCheckBox* box :
         {ui->chkPriority1, ui->chkPriority2, ui->chkPriority3, ui->chkPriority4}) {
        onToggle(box, &TForm1::chkPriority1Click);
    }
    for (QCheckBox* box : {ui->chkGDuty1, ui->chkGDuty2}) {
        onToggle(box, &TForm1::chkGDuty1Click);
    }
    for (QCheckBox* box : {ui->chkGPriority1, ui->chkGPriority2}) {
        onToggle(box, &TForm1::chkGPriority1Click);
    }
    for (QCheckBox* box : {ui->chkSYSSV, ui->chkSYSPTL, ui->chkSYSAudio, ui->chkSYSFIX,
                           ui->chkSYSPow, ui->chkSYSVib, ui->chkSYSPowSave, ui->chkSYSPrivacy}) {
        onToggle(box, &TForm1::chkSYSSVClick);
    }
    connect(ui->chkVolumeLevel, &QCheckBox::toggled, this, [this] { chkVolumeLevelClick(); });
    connect(ui->chkFullTimeAutoMonitor, &QCheckBox::toggled, this,
            [this] { chkFullTimeAutoMonitorClick(); });

    for (QComboBox* box :
         {ui->cboAlertType1, ui->cboAlertType2, ui->cboAlertType3, ui->cboAlertType4}) {
        connect(box, &QComboBox::activated, this, [this, box] { cboAlertType1Click(box); });
    }
    for (QComboBox* box : {ui->cboGAlertType1, ui->cboGAlertType2}) {
        connect(box, &QComboBox::activated, this, [this, box] { cboGAlertType1Click(box); });
    }
    const auto onPick = [this](QComboBox* box, void (TForm1::*rule)()) {
        connect(box, &QComboBox::activated, this, [this, rule] { (this->*rule)(); });
    };
    onPick(ui->cboRangeFreq, &TForm1::cboRangeFreqClick);
    onPick(ui->cboCSpace, &TForm1::cboCSpaceClick);
    onPick(ui->cboPTL, &TForm1::cboPTLClick);
    onPick(ui->cboResetCon, &TForm1::cboResetConClick);
    onPick(ui->cboReminder, &TForm1::cboReminderClick);
    onPick(ui->cboRecordMax, &TForm1::cboRecordMaxClick);
    onPick(ui->cboBandWidth, &TForm1::cboBandWidthClick);
}

void TForm1::scrollControls() {
    QWidget* controls = takeCentralWidget();
    // A hidden control keeps its place: one shown later moves nothing, and
    // each has its place beside its label.
    for (QWidget* control : controls->findChildren<QWidget*>()) {
        const bool page = qobject_cast<QStackedWidget*>(control->parentWidget()) != nullptr;
        const bool hidden =
            control->isHidden() && control->testAttribute(Qt::WA_WState_ExplicitShowHide);
        if (hidden && !page) {
            QSizePolicy policy = control->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            control->setSizePolicy(policy);
        }
    }
    // Below the size the layout needs, the area scrolls.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("ScrollBox1"));
    // Tab goes to the controls, not to the area around them.
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(controls);
    setCentralWidget(scroller);
}

void TForm1::placeOnScreen() {
    // The controls keep the height they have in an 833 x 700 window; a
    // shorter window scrolls them.
    QWidget* controls = static_cast<QScrollArea*>(centralWidget())->widget();
    controls->setMinimumHeight(
        std::max(controls->minimumSizeHint().height(),
                 height() - menuBar()->sizeHint().height() - statusBar()->sizeHint().height()));
    const QRect area = screen()->availableGeometry();
    QSize fitted = size().boundedTo(QSize(area.width(), area.height() - kTitleBarAllowance));
    if (fitted.height() < height()) {
        // Room for the vertical scroll bar, so that nothing scrolls sideways.
        fitted.setWidth(
            std::min(area.width(), width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
    }
    resize(fitted);
    move(area.center() - rect().center());
}

bool TForm1::standardMode() const {
    return ui->radStandard->isChecked();
}

QLineEdit* TForm1::toneEdit(int column, int call) {
    const auto slot = static_cast<std::size_t>(call);
    switch (static_cast<ToneColumn>(column)) {
    case ToneColumn::Tone1:
        return call >= 1 && slot < controlTables.edtT1.size() ? controlTables.edtT1[slot] : nullptr;
    case ToneColumn::Tone2:
        return call >= 1 && slot < controlTables.edtT2.size() ? controlTables.edtT2[slot] : nullptr;
    case ToneColumn::Group:
        return call >= 1 && slot < controlTables.edtT3.size() ? controlTables.edtT3[slot] : nullptr;
    }
    return nullptr;
}

void TForm1::commitToneEdit(QLineEdit* edit, int column) {
    commitToneEdit(static_cast<TEdit*>(edit), static_cast<ToneColumn>(column));
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
    const bool targetSet = std::any_of(toneTableTarget.begin(), toneTableTarget.end(),
                                       [](int target) { return target != 0; });
    if (targetSet) {
        openToneTable();
    }
}

bool TForm1::isMenuKey(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    const auto items = findChildren<QAction*>();
    return std::any_of(items.begin(), items.end(), [&pressed](const QAction* item) {
        return !item->shortcut().isEmpty() && item->shortcut() == pressed;
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
    toneTableTarget = {0, 0, 0};
    ui->Label9->hide();
    ui->Label1->hide();
    ui->Label2->hide();
    focusToNull();
}

void TForm1::RBtModifyClick() {
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (startsWithAny(widget->objectName(), {"edt", "cbo", "chk", "btn"})) {
            widget->setEnabled(true);
        }
    }
    for (std::size_t n = 1; n <= 4; ++n) {
        if (!controlTables.chkDuty[n]->isChecked()) {
            enableCall(controlTables, n, false);
        }
    }
    for (std::size_t n = 1; n <= 2; ++n) {
        if (!controlTables.chkGDuty[n]->isChecked()) {
            enableGroupCall(controlTables, n, false);
        }
    }
    if (ui->chkSYSPrivacy->isChecked()) {
        enableAudioControls(false);
    }
    if (!ui->chkSYSAudio->isChecked()) {
        enableAudioLockTime(false);
    }
    if (!ui->chkSYSSV->isChecked()) {
        enableRecordSections(false);
    }
    ui->Write1->setEnabled(false);
}

void TForm1::RBtWriteClick() {
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (startsWithAny(widget->objectName(), {"edt", "cbo", "chk", "btn"})) {
            widget->setEnabled(false);
        }
    }
    ui->edtVersion->setEnabled(true);
    ui->edtNull->setEnabled(true);
    ui->Write1->setEnabled(true);
}

void TForm1::ExitE1Click() {
    if (commPort.isOpen() && !boardBusy) {
        commPort.closeDevice();
    }
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The board command in progress owns the port; the window closes when it ends.
    if (boardBusy) {
        closeWhenIdle = true;
        event->ignore();
        return;
    }
    // No field rule may run while the window goes away.
    fieldFocus->shutDown();
    if (commPort.isOpen()) {
        commPort.closeDevice();
    }
    QMainWindow::closeEvent(event);
}
