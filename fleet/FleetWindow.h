#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"
#include "rules/PrintDocument.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

class FileDialogs;
class FleetDocument;
class FleetModel;
class Messages;
class QModelIndex;
class TForm1;
class TonePlanChart;

namespace Ui {
class TFleetWindow;
}

// The fleet window: a sheet of pagers over a base table file, edited cell by
// cell through the field rules with undo, its tone plan checked on every
// change and listed under the table in px520-cli check's words, and linked
// to the main window (a row opened there, its configuration taken as a row
// or as the base). It offers itself in the main window's File menu.
class TFleetWindow : public QMainWindow {
    Q_OBJECT

public:
    // Which field a new column sets, among those the sheet does not set yet;
    // nothing when the user cancelled.
    using ColumnChooser =
        std::function<std::optional<FieldRef>(QWidget& parent, std::span<const FieldRef> offered)>;

    TFleetWindow(TForm1& mainWindow, Messages& messages, FileDialogs& fileDialogs,
                 QWidget* parent = nullptr);
    ~TFleetWindow() override;

    // The File menu's commands, as the main window's menu calls them too.
    void newFleet();
    void openFleet();
    // True when the sheet at path became the fleet.
    bool openFleetFile(const QString& path);
    bool save();
    bool saveAs();

    FleetDocument& document() { return *fleet; }
    void setColumnChooser(ColumnChooser chooser) { chooseColumn = std::move(chooser); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void wireMenus();
    void buildEditMenu();
    void showTitle();
    void showBase();
    void showPlan();
    void selectFinding(int item);
    // True when the fleet may be replaced or closed: nothing is changed, or
    // the user saved or discarded the changes.
    bool maySetChangesAside();
    bool saveTo(const QString& path);
    // A table file as the base takes it; nothing after a message.
    std::optional<ConfigImage> loadBase(const QString& path);
    // Asks for a table file; nothing when cancelled or not loaded.
    std::optional<std::pair<ConfigImage, QString>> chooseBase();
    void changeBase();
    void enterCell(const QModelIndex& cell, const std::string& text);
    // Shown once the cell's editor has closed.
    void showRefusal(const std::string& message);
    int currentRow() const;
    void selectRow(int row);
    void addRow(bool duplicate);
    void deleteRow();
    void addColumn();
    void removeColumn();
    void useBaseValue();
    void sortBy(int column, Qt::SortOrder order);
    // The links to the main window.
    bool mainWindowFree();
    void openRowInMainWindow();
    void takeRowFromMainWindow();
    void takeBaseFromMainWindow();
    // Programming the saved fleet's pagers in turn, on the main window's port.
    void programFleet();
    // The fleet as printed: each row's calls and what the record says of it.
    PrintDocument printedFleet() const;

    std::unique_ptr<Ui::TFleetWindow> ui;
    TForm1& mainWindow;
    Messages& messages;
    FileDialogs& fileDialogs;
    FleetDocument* fleet = nullptr;
    TonePlanChart* chart = nullptr;
    ColumnChooser chooseColumn;
};
