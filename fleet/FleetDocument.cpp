#include "fleet/FleetDocument.h"

#include "rules/FieldEntry.h"
#include "window/QtText.h"

#include <QUndoCommand>

#include <numeric>

namespace {

QString captionOf(const FieldRef& ref) {
    const std::string caption = fieldCaption(ref);
    return qText(caption.empty() ? fieldRefName(ref) : caption);
}

} // namespace

// One cell's text before and after.
class FleetDocument::CellStep : public QUndoCommand {
public:
    CellStep(FleetModel& model, int row, int column, std::string after)
        : QUndoCommand(column == 0 ? QStringLiteral("Label")
                                   : captionOf(*model.fieldOf(column))),
          model(model), row(row), column(column), before(model.cellText(row, column)),
          after(std::move(after)) {}

    void redo() override { model.setCell(row, column, after); }
    void undo() override { model.setCell(row, column, before); }

private:
    FleetModel& model;
    int row;
    int column;
    std::string before;
    std::string after;
};

// A row added (kept while it is in the fleet) or deleted (kept while it is
// out of it).
class FleetDocument::RowStep : public QUndoCommand {
public:
    RowStep(FleetModel& model, int at, std::optional<PagerRow> added, const QString& what)
        : QUndoCommand(what), model(model), at(at), adds(added.has_value()),
          kept(added.value_or(PagerRow{})) {}

    void redo() override { adds ? insert() : take(); }
    void undo() override { adds ? take() : insert(); }

private:
    void insert() { model.insertPagerRow(at, kept); }
    void take() { kept = model.takePagerRow(at); }

    FleetModel& model;
    int at;
    bool adds;
    PagerRow kept;
};

// A field column added (empty) or removed (its cells kept).
class FleetDocument::ColumnStep : public QUndoCommand {
public:
    ColumnStep(FleetModel& model, int at, const FieldRef& ref, bool adds)
        : QUndoCommand((adds ? QStringLiteral("Add Column ") : QStringLiteral("Remove Column ")) +
                       captionOf(ref)),
          model(model), at(at), ref(ref), adds(adds),
          cells(static_cast<std::size_t>(model.rowCount())) {}

    void redo() override { adds ? insert() : take(); }
    void undo() override { adds ? take() : insert(); }

private:
    void insert() { model.insertFieldColumn(at, ref, cells); }
    void take() { cells = model.takeFieldColumn(at); }

    FleetModel& model;
    int at;
    FieldRef ref;
    bool adds;
    std::vector<std::string> cells;
};

class FleetDocument::SortStep : public QUndoCommand {
public:
    SortStep(FleetModel& model, std::vector<int> order, const QString& what)
        : QUndoCommand(what), model(model), order(std::move(order)), inverse(this->order.size()) {
        for (std::size_t i = 0; i < this->order.size(); ++i) {
            inverse[static_cast<std::size_t>(this->order[i])] = static_cast<int>(i);
        }
    }

    void redo() override { model.reorder(order); }
    void undo() override { model.reorder(inverse); }

private:
    FleetModel& model;
    std::vector<int> order;
    std::vector<int> inverse;
};

class FleetDocument::BaseStep : public QUndoCommand {
public:
    BaseStep(FleetDocument& document, const ConfigImage& after, const QString& afterPath)
        : QUndoCommand(QStringLiteral("Change Base")), document(document),
          before(document.model().base()), beforePath(document.baseFile()), after(after),
          afterPath(afterPath) {}

    void redo() override { document.setBase(after, afterPath); }
    void undo() override { document.setBase(before, beforePath); }

private:
    FleetDocument& document;
    ConfigImage before;
    QString beforePath;
    ConfigImage after;
    QString afterPath;
};

FleetDocument::FleetDocument(QObject* parent) : QObject(parent) {
    connect(&steps, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit changedStateChanged(!clean); });
}

// The steps cleared as the document goes tell nobody.
FleetDocument::~FleetDocument() {
    steps.blockSignals(true);
    blockSignals(true);
}

void FleetDocument::open(PagerSheet sheet, const ConfigImage& base, const QString& sheetFileName,
                         const QString& baseFileName) {
    table.setFleet(std::move(sheet), base);
    sheetPath = sheetFileName;
    basePath = baseFileName;
    // Clearing the history makes it clean, which is told.
    steps.clear();
    emit filesChanged();
}

void FleetDocument::markSaved(const QString& path) {
    sheetPath = path;
    steps.setClean();
    emit filesChanged();
}

std::optional<std::string> FleetDocument::enterCell(int row, int column, const std::string& text) {
    if (column == 0) {
        if (text.size() > kMostLabelBytes) {
            return "A label takes at most " + std::to_string(kMostLabelBytes) + " bytes; this one has " +
                   std::to_string(text.size()) + ".";
        }
        if (text != table.cellText(row, column)) {
            steps.push(new CellStep(table, row, column, text));
        }
        return std::nullopt;
    }
    const FieldRef ref = *table.fieldOf(column);
    ConfigImage image = table.base();
    const EntryResult entry =
        enterFields(image, table.assignments(row, column, text), FleetModel::kToneMode);
    if (!entry.accepted) {
        // Another cell of the row refuses the change: it is named.
        const bool here = entry.refused.def == ref.def && entry.refused.call == ref.call;
        return here ? entry.message
                    : captionOf(entry.refused).toStdString() + ": " + entry.message;
    }
    const std::string stored = text.empty() ? std::string() : cellTextOf(image, ref);
    if (stored != table.cellText(row, column)) {
        steps.push(new CellStep(table, row, column, stored));
    }
    return std::nullopt;
}

void FleetDocument::addRow(int at, PagerRow row) {
    row.cells.resize(table.sheet().columns.size());
    steps.push(new RowStep(table, at, std::move(row), QStringLiteral("Add Row")));
}

std::optional<std::string> FleetDocument::addRowOf(const ConfigImage& configuration) {
    PagerRow row;
    std::vector<FieldAssignment> values;
    for (const FieldRef& ref : table.sheet().columns) {
        row.cells.push_back(cellTextOf(configuration, ref));
        values.push_back({ref, row.cells.back()});
    }
    ConfigImage image = table.base();
    if (const EntryResult entry = enterFields(image, values, FleetModel::kToneMode);
        !entry.accepted) {
        return captionOf(entry.refused).toStdString() + ": " + entry.message;
    }
    steps.push(new RowStep(table, table.rowCount(), std::move(row),
                           QStringLiteral("Take Configuration as New Row")));
    return std::nullopt;
}

void FleetDocument::deleteRow(int row) {
    steps.push(new RowStep(table, row, std::nullopt, QStringLiteral("Delete Row")));
}

void FleetDocument::addColumn(const FieldRef& ref) {
    steps.push(new ColumnStep(table, table.columnCount(), ref, true));
}

void FleetDocument::removeColumn(int column) {
    steps.push(new ColumnStep(table, column, *table.fieldOf(column), false));
}

void FleetDocument::sort(int column, Qt::SortOrder order) {
    std::vector<int> sorted = table.sortedOrder(column, order);
    if (std::ranges::is_sorted(sorted)) {
        return;
    }
    const QString by = column == 0 ? QStringLiteral("Label") : captionOf(*table.fieldOf(column));
    steps.push(new SortStep(table, std::move(sorted), QStringLiteral("Sort by ") + by));
}

std::optional<std::string> FleetDocument::changeBase(const ConfigImage& base, const QString& path) {
    if (auto error = checkRows(base, table.sheet(), FleetModel::kToneMode).error) {
        return error->message;
    }
    steps.push(new BaseStep(*this, base, path));
    return std::nullopt;
}

void FleetDocument::setBase(const ConfigImage& base, const QString& path) {
    basePath = path;
    table.setBase(base);
    emit filesChanged();
}
