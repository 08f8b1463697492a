#include "fleet/FleetWindow.h"

#include "dialogs/Messages.h"
#include "fleet/FleetDelegate.h"
#include "fleet/FleetDocument.h"
#include "fleet/FleetFiles.h"
#include "fleet/FleetModel.h"
#include "fleet/FleetProgramDialog.h"
#include "fleet/TonePlanChart.h"
#include "model/FleetRecord.h"
#include "rules/FieldEntry.h"
#include "rules/TonePlanText.h"
#include "window/DocumentPrint.h"
#include "window/FileDialogs.h"
#include "window/QtText.h"
#include "window/RecentFiles.h"
#include "window/Unit1.h"
#include "ui_FleetWindow.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

// Room above and below the window for a window manager's title bar.
constexpr int kTitleBarAllowance = 64;

// The fields a new fleet sets: each pager's first call.
const char* const kNewFleetColumns[] = {"T1[1]", "T2[1]"};

// The finding behind a list item: its two rows.
constexpr int kRowARole = Qt::UserRole;
constexpr int kRowBRole = Qt::UserRole + 1;

FileDialogSetup sheetDialog(const QString& fileName) {
    return {QFileInfo(fileName).path(), QStringLiteral("Fleet sheets (*.csv)"),
            QStringLiteral("csv"), fileName};
}

FileDialogSetup tableDialog() {
    return {QString(), QStringLiteral("Table files (*.tbl)"), QStringLiteral("tbl"), QString()};
}

QString captionOf(const FieldRef& ref) {
    const std::string caption = fieldCaption(ref);
    return qText(caption.empty() ? fieldRefName(ref) : caption);
}

std::optional<FieldRef> askForColumn(QWidget& parent, std::span<const FieldRef> offered) {
    QStringList captions;
    for (const FieldRef& ref : offered) {
        captions << captionOf(ref) + QStringLiteral(" (") + qText(fieldRefName(ref)) +
                        QLatin1Char(')');
    }
    bool chosen = false;
    const QString caption = QInputDialog::getItem(&parent, QStringLiteral("Add Column"),
                                                  QStringLiteral("&Field:"), captions, 0, false,
                                                  &chosen);
    const auto at = captions.indexOf(caption);
    if (!chosen || at < 0) {
        return std::nullopt;
    }
    return offered[static_cast<std::size_t>(at)];
}

} // namespace

TFleetWindow::TFleetWindow(TForm1& main, Messages& messageSink, FileDialogs& dialogs,
                           QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TFleetWindow>()), mainWindow(main),
      messages(messageSink), fileDialogs(dialogs), chooseColumn(askForColumn) {
    ui->setupUi(this);
    fleet = new FleetDocument(this);
    ui->tblFleet->setModel(&fleet->model());
    ui->tblFleet->setItemDelegate(new FleetDelegate(
        fleet->model(), messages,
        [this](const QModelIndex& cell, const std::string& text) { enterCell(cell, text); },
        ui->tblFleet));
    QHeaderView& head = *ui->tblFleet->horizontalHeader();
    head.setSectionsClickable(true);
    head.setSortIndicatorShown(true);
    head.setSortIndicator(-1, Qt::AscendingOrder);
    connect(&head, &QHeaderView::sortIndicatorChanged, this, &TFleetWindow::sortBy);
    // The plan drawn beside its list; a tone chosen there chooses its row.
    chart = new TonePlanChart(ui->splPlan);
    chart->setObjectName(QStringLiteral("chtPlan"));
    ui->splPlan->addWidget(chart);
    ui->splPlan->setStretchFactor(0, 1);
    ui->splPlan->setStretchFactor(1, 1);
    connect(chart, &TonePlanChart::rowChosen, this, &TFleetWindow::selectRow);
    ui->splFleet->setStretchFactor(0, 3);
    ui->splFleet->setStretchFactor(1, 1);
    setTabOrder(ui->btnChangeBase, ui->tblFleet);
    setTabOrder(ui->tblFleet, ui->lstFindings);
    setTabOrder(ui->lstFindings, chart);

    wireMenus();
    buildEditMenu();
    connect(fleet, &FleetDocument::changedStateChanged, this, &TFleetWindow::showTitle);
    connect(fleet, &FleetDocument::filesChanged, this, [this] {
        showTitle();
        showBase();
    });
    connect(&fleet->model(), &FleetModel::planChanged, this, &TFleetWindow::showPlan);
    // Each column as wide as its head and the first rows' values.
    connect(&fleet->model(), &FleetModel::modelReset, ui->tblFleet,
            &QTableView::resizeColumnsToContents);
    connect(&fleet->model(), &FleetModel::columnsInserted, this,
            [this](const QModelIndex&, int first) { ui->tblFleet->resizeColumnToContents(first); });
    connect(ui->lstFindings, &QListWidget::currentRowChanged, this, &TFleetWindow::selectFinding);
    connect(ui->tblFleet->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && chart->selectedRow() != current.row()) {
                    chart->selectRow(current.row());
                }
            });
    connect(ui->lstFindings, &QListWidget::itemActivated, this,
            [this](const QListWidgetItem* item) { selectFinding(ui->lstFindings->row(item)); });
    showTitle();
    showBase();
    showPlan();

    const QRect area = main.screen()->availableGeometry();
    resize(size().boundedTo(QSize(area.width(), area.height() - kTitleBarAllowance)));
    move(area.center() - rect().center());

    QPointer<TFleetWindow> self(this);
    main.addFleetMenu({[self] {
                           if (self) {
                               self->newFleet();
                           }
                       },
                       [self] {
                           if (self) {
                               self->openFleet();
                           }
                       },
                       [self](const QString& path) {
                           if (self) {
                               self->openFleetFile(path);
                           }
                       }});
}

TFleetWindow::~TFleetWindow() = default;

void TFleetWindow::wireMenus() {
    connect(ui->actNewFleet, &QAction::triggered, this, &TFleetWindow::newFleet);
    connect(ui->actOpenFleet, &QAction::triggered, this, &TFleetWindow::openFleet);
    connect(ui->actSave, &QAction::triggered, this, &TFleetWindow::save);
    connect(ui->actSaveAs, &QAction::triggered, this, &TFleetWindow::saveAs);
    connect(ui->actClose, &QAction::triggered, this, &TFleetWindow::close);
    connect(ui->actPrint, &QAction::triggered, this,
            [this] { printDocument(printedFleet(), this); });
    connect(ui->actExportPdf, &QAction::triggered, this, [this] {
        const QString& file = fleet->sheetFile();
        exportDocumentPdf(printedFleet(), fileDialogs, messages, QFileInfo(file).path(), file);
    });
    connect(ui->actAddRow, &QAction::triggered, this, [this] { addRow(false); });
    connect(ui->actDuplicateRow, &QAction::triggered, this, [this] { addRow(true); });
    connect(ui->actDeleteRow, &QAction::triggered, this, &TFleetWindow::deleteRow);
    connect(ui->actAddColumn, &QAction::triggered, this, &TFleetWindow::addColumn);
    connect(ui->actRemoveColumn, &QAction::triggered, this, &TFleetWindow::removeColumn);
    connect(ui->actBaseValue, &QAction::triggered, this, &TFleetWindow::useBaseValue);
    connect(ui->btnChangeBase, &QPushButton::clicked, this, &TFleetWindow::changeBase);
    connect(ui->actOpenRow, &QAction::triggered, this, &TFleetWindow::openRowInMainWindow);
    connect(ui->actTakeRow, &QAction::triggered, this, &TFleetWindow::takeRowFromMainWindow);
    connect(ui->actTakeBase, &QAction::triggered, this, &TFleetWindow::takeBaseFromMainWindow);
    connect(ui->actProgramFleet, &QAction::triggered, this, &TFleetWindow::programFleet);
}

void TFleetWindow::buildEditMenu() {
    QAction* first = ui->mnuEdit->actions().constFirst();
    QAction* undo = fleet->undoStack().createUndoAction(ui->mnuEdit, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("actUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = fleet->undoStack().createRedoAction(ui->mnuEdit, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("actRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        QKeySequence(Qt::CTRL | Qt::Key_Y)});
    ui->mnuEdit->insertActions(first, {undo, redo});
    ui->mnuEdit->insertSeparator(first);
}

// "PX520 Fleet - job.csv*": the star while the fleet has unsaved changes.
void TFleetWindow::showTitle() {
    const QString& file = fleet->sheetFile();
    const QString name = file.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(file).fileName();
    setWindowTitle(QStringLiteral("PX520 Fleet - ") + name +
                   (fleet->isChanged() ? QStringLiteral("*") : QString()));
}

void TFleetWindow::showBase() {
    const QString& base = fleet->baseFile();
    ui->lblBase->setText(QStringLiteral("Base: ") +
                         (base.isEmpty() ? QStringLiteral("(none)") : QFileInfo(base).fileName()));
    ui->lblBase->setToolTip(base);
    ui->btnChangeBase->setEnabled(!base.isEmpty());
}

void TFleetWindow::showPlan() {
    const FleetModel& model = fleet->model();
    ui->lstFindings->clear();
    std::vector<std::string> lines;
    for (const PlanFinding& finding : model.planCheck().findings) {
        lines.push_back(model.findingText(finding));
        auto* item = new QListWidgetItem(qText(lines.back()), ui->lstFindings);
        item->setData(kRowARole, static_cast<int>(finding.pagerA));
        item->setData(kRowBRole, static_cast<int>(finding.pagerB));
        if (finding.kind == FindingKind::Overlap) {
            item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
        }
    }
    QStringList summary;
    for (const std::string& line : model.planSummary()) {
        summary << qText(line);
    }
    ui->lblPlanSummary->setText(summary.join(QLatin1Char('\n')));
    chart->setPlan(model.rowNames(), model.rowPlans(), model.planCheck(), lines);
}

void TFleetWindow::selectFinding(int item) {
    const QListWidgetItem* chosen = ui->lstFindings->item(item);
    if (chosen == nullptr) {
        return;
    }
    const int a = chosen->data(kRowARole).toInt();
    const int b = chosen->data(kRowBRole).toInt();
    const FleetModel& model = fleet->model();
    QItemSelection rows;
    for (const int row : {a, b}) {
        rows.select(model.index(row, 0), model.index(row, model.columnCount() - 1));
    }
    ui->tblFleet->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    ui->tblFleet->scrollTo(model.index(a, 0));
}

bool TFleetWindow::maySetChangesAside() {
    if (!fleet->isChanged()) {
        return true;
    }
    const QString& file = fleet->sheetFile();
    const QString question =
        file.isEmpty()
            ? QStringLiteral("The fleet has changes that are not saved.\nSave them?")
            : QStringLiteral("The fleet has changes that are not saved.\nSave them to %1?")
                  .arg(QFileInfo(file).fileName());
    switch (messages.askToSave(question)) {
    case SaveChoice::Save:
        return save();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        return false;
    }
    return false;
}

void TFleetWindow::newFleet() {
    if (!maySetChangesAside()) {
        return;
    }
    const auto base = chooseBase();
    if (!base) {
        return;
    }
    PagerSheet sheet;
    for (const char* name : kNewFleetColumns) {
        sheet.columns.push_back(*parseFieldRef(name));
    }
    sheet.rows.push_back({std::string(), std::vector<std::string>(sheet.columns.size())});
    fleet->open(std::move(sheet), base->first, QString(), base->second);
    show();
    raise();
    activateWindow();
}

void TFleetWindow::openFleet() {
    if (!maySetChangesAside()) {
        return;
    }
    if (const auto chosen = fileDialogs.openFileName(sheetDialog(fleet->sheetFile()))) {
        openFleetFile(*chosen);
    }
}

bool TFleetWindow::openFleetFile(const QString& path) {
    if (!maySetChangesAside()) {
        return false;
    }
    SheetFileRead read = readSheetFile(path);
    if (!read.sheet) {
        messages.exclamation(read.error);
        return false;
    }
    QString basePath = recordedBase(path);
    std::optional<ConfigImage> base;
    if (!basePath.isEmpty()) {
        base = loadBase(basePath);
    } else {
        messages.information(QStringLiteral("%1 names no base table file yet: choose the table "
                                            "file its rows start from.")
                                 .arg(QFileInfo(path).fileName()));
        if (auto chosen = chooseBase()) {
            base = chosen->first;
            basePath = chosen->second;
        }
    }
    if (!base) {
        return false;
    }
    if (const auto error = checkRows(*base, *read.sheet, FleetModel::kToneMode).error) {
        messages.exclamation(QFileInfo(path).fileName() + QStringLiteral(": ") +
                             qText(error->message));
        return false;
    }
    fleet->open(std::move(*read.sheet), *base, path, basePath);
    RecentFiles::add(path, RecentFiles::Kind::Fleet);
    show();
    raise();
    activateWindow();
    return true;
}

bool TFleetWindow::save() {
    if (fleet->sheetFile().isEmpty()) {
        return saveAs();
    }
    return saveTo(fleet->sheetFile());
}

bool TFleetWindow::saveAs() {
    const auto chosen = fileDialogs.saveFileName(sheetDialog(fleet->sheetFile()));
    return chosen && saveTo(*chosen);
}

bool TFleetWindow::saveTo(const QString& path) {
    const SheetSave saved = saveSheetFile(path, fleet->model().sheet());
    if (saved.readOnly) {
        return messages.askToSaveAs(QFileInfo(path).fileName() +
                                    QStringLiteral(" is read-only.\nSave the fleet under another "
                                                   "name?")) &&
               saveAs();
    }
    if (!saved.error.isEmpty()) {
        messages.exclamation(saved.error);
        return false;
    }
    fleet->markSaved(path);
    RecentFiles::add(path, RecentFiles::Kind::Fleet);
    if (const QString recordError = recordBase(path, fleet->baseFile()); !recordError.isEmpty()) {
        messages.exclamation(recordError);
    }
    return true;
}

std::optional<ConfigImage> TFleetWindow::loadBase(const QString& path) {
    QString error;
    auto base = loadBaseTable(path, error);
    if (!base) {
        messages.exclamation(error);
    }
    return base;
}

std::optional<std::pair<ConfigImage, QString>> TFleetWindow::chooseBase() {
    const auto chosen = fileDialogs.openFileName(tableDialog());
    if (!chosen) {
        return std::nullopt;
    }
    const auto base = loadBase(*chosen);
    if (!base) {
        return std::nullopt;
    }
    return std::pair(*base, QFileInfo(*chosen).absoluteFilePath());
}

void TFleetWindow::changeBase() {
    if (const auto base = chooseBase()) {
        if (const auto refused = fleet->changeBase(base->first, base->second)) {
            messages.exclamation(qText(*refused));
        }
    }
}

void TFleetWindow::enterCell(const QModelIndex& cell, const std::string& text) {
    if (const auto refused = fleet->enterCell(cell.row(), cell.column(), text)) {
        showRefusal(*refused);
    }
}

// A message box opened while the editor closes would take the focus from a
// view in the middle of its work: it waits for the view to be done.
void TFleetWindow::showRefusal(const std::string& message) {
    QTimer::singleShot(0, this, [this, text = qText(message)] { messages.exclamation(text); });
}

int TFleetWindow::currentRow() const {
    return ui->tblFleet->currentIndex().row();
}

void TFleetWindow::selectRow(int row) {
    const QModelIndex cell = fleet->model().index(row, std::max(0, ui->tblFleet->currentIndex().column()));
    ui->tblFleet->setCurrentIndex(cell);
    ui->tblFleet->scrollTo(cell);
}

void TFleetWindow::addRow(bool duplicate) {
    const int row = currentRow();
    if (duplicate && row < 0) {
        return;
    }
    const int at = row < 0 ? fleet->model().rowCount() : row + 1;
    fleet->addRow(at, duplicate ? fleet->model().sheet().rows[static_cast<std::size_t>(row)]
                                : PagerRow{});
    selectRow(at);
}

void TFleetWindow::deleteRow() {
    const int row = currentRow();
    if (row < 0) {
        return;
    }
    fleet->deleteRow(row);
    if (fleet->model().rowCount() > 0) {
        selectRow(std::min(row, fleet->model().rowCount() - 1));
    }
}

void TFleetWindow::addColumn() {
    const FleetModel& model = fleet->model();
    std::vector<FieldRef> offered;
    for (const FieldRef& ref : allFieldRefs()) {
        if (fieldCaption(ref).empty() || model.columnOf(ref) >= 0) {
            continue;
        }
        // The fields set takes: the base's own value is taken back.
        ConfigImage image = model.base();
        const FieldAssignment same{ref, cellTextOf(image, ref)};
        if (enterFields(image, std::span(&same, 1), FleetModel::kToneMode).accepted) {
            offered.push_back(ref);
        }
    }
    if (const auto ref = chooseColumn(*this, offered)) {
        fleet->addColumn(*ref);
        ui->tblFleet->scrollTo(model.index(std::max(0, currentRow()), model.columnCount() - 1));
    }
}

void TFleetWindow::removeColumn() {
    const int column = ui->tblFleet->currentIndex().column();
    if (fleet->model().fieldOf(column)) {
        fleet->removeColumn(column);
    }
}

void TFleetWindow::useBaseValue() {
    const QModelIndex cell = ui->tblFleet->currentIndex();
    if (cell.isValid() && cell.column() > 0) {
        enterCell(cell, std::string());
    }
}

void TFleetWindow::sortBy(int column, Qt::SortOrder order) {
    if (column >= 0 && column < fleet->model().columnCount()) {
        fleet->sort(column, order);
    }
}

bool TFleetWindow::mainWindowFree() {
    if (mainWindow.boardCommandRunning()) {
        messages.exclamation(QStringLiteral(
            "The main window is busy with the pager: try again when its command has ended."));
        return false;
    }
    return true;
}

void TFleetWindow::openRowInMainWindow() {
    const int row = currentRow();
    if (row < 0 || !mainWindowFree()) {
        return;
    }
    ConfigImage image{};
    fleet->model().rowConfiguration(row, image);
    const QString what = QStringLiteral("Open Row %1").arg(row + 1);
    if (mainWindow.takeConfiguration(image, what)) {
        mainWindow.show();
        mainWindow.raise();
        mainWindow.activateWindow();
    }
}

void TFleetWindow::takeRowFromMainWindow() {
    if (!mainWindowFree() || !mainWindow.endEntry()) {
        return;
    }
    if (const auto refused = fleet->addRowOf(mainWindow.configImage())) {
        messages.exclamation(qText(*refused));
        return;
    }
    selectRow(fleet->model().rowCount() - 1);
}

void TFleetWindow::takeBaseFromMainWindow() {
    if (!mainWindowFree() || !mainWindow.endEntry()) {
        return;
    }
    const QString file = mainWindow.tableFileHoldingImage();
    if (file.isEmpty()) {
        messages.exclamation(QStringLiteral(
            "The main window's configuration is not saved as it is: save it to a table file "
            "first, then take it as the base."));
        return;
    }
    if (const auto base = loadBase(file)) {
        if (const auto refused = fleet->changeBase(*base, QFileInfo(file).absoluteFilePath())) {
            messages.exclamation(qText(*refused));
        }
    }
}

// The record beside the sheet counts the sheet's rows as saved: a changed or
// unsaved fleet is saved first.
void TFleetWindow::programFleet() {
    if (!mainWindowFree()) {
        return;
    }
    if (fleet->isChanged() || fleet->sheetFile().isEmpty()) {
        messages.exclamation(QStringLiteral(
            "Save the fleet first: its record beside the sheet follows the saved rows."));
        return;
    }
    const FleetModel& model = fleet->model();
    const SheetImages images = checkRows(model.base(), model.sheet(), FleetModel::kToneMode);
    if (images.error) {
        messages.exclamation(qText(images.error->message));
        return;
    }
    // As px520-cli writes an overlapping sheet only with --allow-overlap.
    const TonePlanCheck& plan = model.planCheck();
    if (plan.overlaps > 0 &&
        !messages.askYesNo(
            qText(planSummaryLines(plan, images.images.size()).back()) +
            QStringLiteral("\nSome pagers would alert on another pager's call. Program the "
                           "fleet all the same?"))) {
        return;
    }
    std::vector<FleetPager> pagers;
    for (std::size_t row = 0; row < images.images.size(); ++row) {
        pagers.push_back(
            {static_cast<int>(row) + 1, model.sheet().rows[row].label, images.images[row]});
    }
    const std::string port = mainWindow.handOverPort();
    if (port.empty()) {
        messages.exclamation(
            QStringLiteral("Choose the programmer board's port in the main window first."));
        return;
    }
    TFleetProgramDialog dialog(std::move(pagers),
                               recordPathFor(fleet->sheetFile().toStdString()),
                               fleet->baseFile().toStdString(), port, messages,
                               mainWindow.linkTiming(), this);
    dialog.exec();
}

PrintDocument TFleetWindow::printedFleet() const {
    const FleetModel& model = fleet->model();
    const QString& file = fleet->sheetFile();
    std::optional<FleetRecord> record;
    if (!file.isEmpty()) {
        record.emplace(recordPathFor(file.toStdString()));
        if (!record->load()) {
            record.reset();
        }
    }
    std::vector<FleetPrintRow> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        FleetPrintRow printed{row + 1, model.cellText(row, 0),
                              model.rowPlans()[static_cast<std::size_t>(row)], std::nullopt};
        if (record) {
            if (const FleetRecordLine* line = record->last(printed.row, printed.label)) {
                printed.record = *line;
            }
        }
        rows.push_back(std::move(printed));
    }
    const QString title =
        file.isEmpty() ? QStringLiteral("Untitled fleet") : QFileInfo(file).fileName();
    return fleetDocument(title.toStdString(), rows);
}

void TFleetWindow::closeEvent(QCloseEvent* event) {
    if (!maySetChangesAside()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
