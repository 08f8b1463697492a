#pragma once

#include "fleet/FleetModel.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>
#include <string>

// The fleet window's document: the fleet's table, the sheet file it is saved
// to and the base table file it stands on. Every change is one undo step;
// the fleet is changed while the undo history stands elsewhere than where it
// was opened or saved. The edits take values by set's rules over the row's
// configuration and answer a refusal with the rule's message, changing
// nothing.
class FleetDocument : public QObject {
    Q_OBJECT

public:
    explicit FleetDocument(QObject* parent = nullptr);
    ~FleetDocument() override;
    FleetDocument(const FleetDocument&) = delete;
    FleetDocument& operator=(const FleetDocument&) = delete;

    FleetModel& model() { return table; }
    const FleetModel& model() const { return table; }
    QUndoStack& undoStack() { return steps; }
    bool isChanged() const { return !steps.isClean(); }
    // Empty while the fleet was never saved.
    const QString& sheetFile() const { return sheetPath; }
    const QString& baseFile() const { return basePath; }

    // A fleet opened or begun: no history, unchanged.
    void open(PagerSheet sheet, const ConfigImage& base, const QString& sheetFileName,
              const QString& baseFileName);
    // Saved to path.
    void markSaved(const QString& path);

    // A cell's new text; the label's as typed, a value as the field's rules
    // store it (a tone snapped), empty for the base's value.
    std::optional<std::string> enterCell(int row, int column, const std::string& text);
    // A row at `at` with the given cells (a new row's are empty).
    void addRow(int at, PagerRow row);
    // A row at the end whose cells are the values a configuration keeps in
    // the sheet's columns.
    std::optional<std::string> addRowOf(const ConfigImage& configuration);
    void deleteRow(int row);
    // A column of empty cells at the end.
    void addColumn(const FieldRef& ref);
    void removeColumn(int column);
    void sort(int column, Qt::SortOrder order);
    // A new base for every row; refused, naming the row and the column, when
    // a row's values do not apply to it.
    std::optional<std::string> changeBase(const ConfigImage& base, const QString& path);

signals:
    void changedStateChanged(bool changed);
    // The sheet file or the base changed.
    void filesChanged();

private:
    class CellStep;
    class RowStep;
    class ColumnStep;
    class SortStep;
    class BaseStep;
    void setBase(const ConfigImage& base, const QString& path);

    FleetModel table;
    QUndoStack steps;
    QString sheetPath;
    QString basePath;
};
