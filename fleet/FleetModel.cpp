#include "fleet/FleetModel.h"

#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "rules/TonePlanText.h"
#include "window/QtText.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <numeric>

namespace {

const QString kOverlapWords = QStringLiteral("overlap");
const QString kSharedWords = QStringLiteral("shared call");
const QString kFromBase = QStringLiteral("from the base");

QIcon markIcon(bool overlap) {
    return QApplication::style()->standardIcon(overlap ? QStyle::SP_MessageBoxWarning
                                                       : QStyle::SP_MessageBoxInformation);
}

// A cell's text as a number, when all of it is one.
std::optional<double> numberIn(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// Whether a field belongs to a call: its tones, its switch, its alert.
bool fieldOfCall(const FieldRef& ref, const PlanCall& call) {
    const FieldDef& def = *ref.def;
    return def.calls > 0 && ref.call == call.call &&
           isGroupCallField(def) == (call.kind == CallKind::Group);
}

} // namespace

std::string cellTextOf(const ConfigImage& image, const FieldRef& ref) {
    const ShownValue shown = showField(image, ref);
    if (const auto* on = std::get_if<bool>(&shown.value)) {
        return *on ? "on" : "off";
    }
    if (const auto* caption = std::get_if<std::string>(&shown.value)) {
        return *caption;
    }
    return fieldEditText(image, ref);
}

FleetModel::FleetModel(QObject* parent) : QAbstractTableModel(parent) {}

void FleetModel::setFleet(PagerSheet sheet, const ConfigImage& base) {
    beginResetModel();
    fleet = std::move(sheet);
    baseImage = base;
    baseTexts.clear();
    for (const FieldRef& ref : fleet.columns) {
        baseTexts.push_back(cellTextOf(baseImage, ref));
    }
    marks.assign(fleet.rows.size(), {});
    replanAll();
    endResetModel();
    checkPlan();
}

std::optional<FieldRef> FleetModel::fieldOf(int column) const {
    if (column < 1 || column > static_cast<int>(fleet.columns.size())) {
        return std::nullopt;
    }
    return fleet.columns[static_cast<std::size_t>(column - 1)];
}

int FleetModel::columnOf(const FieldRef& ref) const {
    const auto found = std::ranges::find_if(fleet.columns, [&](const FieldRef& c) {
        return c.def == ref.def && c.call == ref.call;
    });
    return found == fleet.columns.end()
               ? -1
               : static_cast<int>(std::distance(fleet.columns.begin(), found)) + 1;
}

std::optional<SheetError> FleetModel::rowConfiguration(int row, ConfigImage& image) const {
    image = baseImage;
    return applyRow(image, fleet, static_cast<std::size_t>(row), kToneMode);
}

const std::string& FleetModel::cellText(int row, int column) const {
    const PagerRow& cells = fleet.rows[static_cast<std::size_t>(row)];
    return column == 0 ? cells.label : cells.cells[static_cast<std::size_t>(column - 1)];
}

std::string FleetModel::shownText(int row, int column) const {
    const std::string& text = cellText(row, column);
    return text.empty() && column > 0 ? baseTexts[static_cast<std::size_t>(column - 1)] : text;
}

std::vector<FieldAssignment> FleetModel::assignments(int row, int column,
                                                     const std::string& text) const {
    std::vector<FieldAssignment> values;
    const PagerRow& cells = fleet.rows[static_cast<std::size_t>(row)];
    for (std::size_t c = 0; c < fleet.columns.size(); ++c) {
        const std::string& cell = static_cast<int>(c) + 1 == column ? text : cells.cells[c];
        if (!cell.empty()) {
            values.push_back({fleet.columns[c], cell});
        }
    }
    return values;
}

void FleetModel::setCell(int row, int column, const std::string& text) {
    PagerRow& cells = fleet.rows[static_cast<std::size_t>(row)];
    (column == 0 ? cells.label : cells.cells[static_cast<std::size_t>(column - 1)]) = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell);
    if (column == 0) {
        // Findings name rows by their labels.
        emit headerDataChanged(Qt::Vertical, row, row);
        emit planChanged();
        return;
    }
    plans[static_cast<std::size_t>(row)] = planOf(row);
    checkPlan();
}

void FleetModel::insertPagerRow(int at, PagerRow row) {
    beginInsertRows({}, at, at);
    fleet.rows.insert(fleet.rows.begin() + at, std::move(row));
    plans.insert(plans.begin() + at, planOf(at));
    marks.insert(marks.begin() + at, RowMark{});
    endInsertRows();
    checkPlan();
}

PagerRow FleetModel::takePagerRow(int at) {
    beginRemoveRows({}, at, at);
    PagerRow row = std::move(fleet.rows[static_cast<std::size_t>(at)]);
    fleet.rows.erase(fleet.rows.begin() + at);
    plans.erase(plans.begin() + at);
    marks.erase(marks.begin() + at);
    endRemoveRows();
    checkPlan();
    return row;
}

void FleetModel::insertFieldColumn(int at, const FieldRef& ref, std::vector<std::string> cells) {
    const auto field = static_cast<std::size_t>(at - 1);
    beginInsertColumns({}, at, at);
    fleet.columns.insert(fleet.columns.begin() + static_cast<std::ptrdiff_t>(field), ref);
    baseTexts.insert(baseTexts.begin() + static_cast<std::ptrdiff_t>(field),
                     cellTextOf(baseImage, ref));
    for (std::size_t r = 0; r < fleet.rows.size(); ++r) {
        auto& rowCells = fleet.rows[r].cells;
        rowCells.insert(rowCells.begin() + static_cast<std::ptrdiff_t>(field), std::move(cells[r]));
    }
    endInsertColumns();
    replanAll();
    checkPlan();
}

std::vector<std::string> FleetModel::takeFieldColumn(int at) {
    const auto field = static_cast<std::ptrdiff_t>(at - 1);
    beginRemoveColumns({}, at, at);
    std::vector<std::string> cells;
    cells.reserve(fleet.rows.size());
    for (PagerRow& row : fleet.rows) {
        cells.push_back(std::move(row.cells[static_cast<std::size_t>(field)]));
        row.cells.erase(row.cells.begin() + field);
    }
    fleet.columns.erase(fleet.columns.begin() + field);
    baseTexts.erase(baseTexts.begin() + field);
    endRemoveColumns();
    replanAll();
    checkPlan();
    return cells;
}

void FleetModel::reorder(const std::vector<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<PagerRow> rows;
    std::vector<PlanPager> rowPlans;
    std::vector<int> newRowOf(order.size());
    rows.reserve(order.size());
    rowPlans.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto from = static_cast<std::size_t>(order[i]);
        rows.push_back(std::move(fleet.rows[from]));
        rowPlans.push_back(std::move(plans[from]));
        newRowOf[from] = static_cast<int>(i);
    }
    fleet.rows = std::move(rows);
    plans = std::move(rowPlans);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& old : before) {
        after << index(newRowOf[static_cast<std::size_t>(old.row())], old.column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    checkPlan();
}

void FleetModel::setBase(const ConfigImage& base) {
    baseImage = base;
    for (std::size_t c = 0; c < fleet.columns.size(); ++c) {
        baseTexts[c] = cellTextOf(baseImage, fleet.columns[c]);
    }
    replanAll();
    if (rowCount() > 0 && columnCount() > 1) {
        emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1));
    }
    checkPlan();
}

std::vector<int> FleetModel::sortedOrder(int column, Qt::SortOrder order) const {
    struct Key {
        std::optional<double> number;
        QString text;
    };
    std::vector<Key> keys;
    keys.reserve(fleet.rows.size());
    for (int row = 0; row < rowCount(); ++row) {
        const std::string shown = shownText(row, column);
        keys.push_back({numberIn(shown), qText(shown)});
    }
    // Numbers first, by value; then texts as the user's language sorts them.
    const auto before = [](const Key& a, const Key& b) {
        if (a.number && b.number) {
            return *a.number < *b.number;
        }
        if (a.number || b.number) {
            return a.number.has_value();
        }
        return QString::localeAwareCompare(a.text, b.text) < 0;
    };
    std::vector<int> rows(fleet.rows.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::ranges::stable_sort(rows, [&](int a, int b) {
        const Key& ka = keys[static_cast<std::size_t>(a)];
        const Key& kb = keys[static_cast<std::size_t>(b)];
        return order == Qt::AscendingOrder ? before(ka, kb) : before(kb, ka);
    });
    return rows;
}

std::string FleetModel::findingText(const PlanFinding& finding) const {
    return ::findingText(
        finding,
        [this](std::size_t pager) {
            return rowName(static_cast<int>(pager) + 1, fleet.rows[pager].label);
        },
        plans);
}

std::vector<std::string> FleetModel::rowNames() const {
    std::vector<std::string> names;
    names.reserve(fleet.rows.size());
    for (std::size_t row = 0; row < fleet.rows.size(); ++row) {
        names.push_back(rowName(static_cast<int>(row) + 1, fleet.rows[row].label));
    }
    return names;
}

std::vector<std::string> FleetModel::planSummary() const {
    return planSummaryLines(check, fleet.rows.size());
}

PlanPager FleetModel::planOf(int row) const {
    ConfigImage image{};
    // Every row applies: opening, editing and a new base keep it so.
    if (rowConfiguration(row, image)) {
        return {};
    }
    return planPager(image);
}

void FleetModel::replanAll() {
    plans.clear();
    plans.reserve(fleet.rows.size());
    for (int row = 0; row < rowCount(); ++row) {
        plans.push_back(planOf(row));
    }
}

void FleetModel::checkPlan() {
    check = checkTonePlan(plans);
    std::vector<RowMark> now(fleet.rows.size());
    const auto mark = [&now](std::size_t pager, FindingKind kind, const PlanCall& call) {
        RowMark& row = now[pager];
        (kind == FindingKind::Overlap ? row.overlap : row.shared) = true;
        if (std::ranges::find(row.calls, call) == row.calls.end()) {
            row.calls.push_back(call);
        }
    };
    for (const PlanFinding& f : check.findings) {
        mark(f.pagerA, f.kind, f.callA);
        mark(f.pagerB, f.kind, f.callB);
    }
    for (std::size_t row = 0; row < now.size(); ++row) {
        const RowMark& old = marks[row];
        const RowMark& fresh = now[row];
        if (old.overlap != fresh.overlap || old.shared != fresh.shared || old.calls != fresh.calls) {
            marks[row] = fresh;
            const int r = static_cast<int>(row);
            emit dataChanged(index(r, 0), index(r, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, r, r);
        }
    }
    emit planChanged();
}

bool FleetModel::cellInFinding(int row, int column) const {
    const RowMark& mark = marks[static_cast<std::size_t>(row)];
    const auto ref = fieldOf(column);
    if (!ref) {
        return false;
    }
    // An overlap is also its bandwidth's doing.
    if (mark.overlap && ref->def->name == "BandWidth") {
        return true;
    }
    return std::ranges::any_of(mark.calls,
                               [&](const PlanCall& call) { return fieldOfCall(*ref, call); });
}

QString FleetModel::markText(int row) const {
    const RowMark& mark = marks[static_cast<std::size_t>(row)];
    return mark.overlap ? kOverlapWords : mark.shared ? kSharedWords : QString();
}

int FleetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fleet.rows.size());
}

int FleetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fleet.columns.size()) + 1;
}

QVariant FleetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row();
    const int column = index.column();
    const bool fromBase = column > 0 && cellText(row, column).empty();
    const bool marked = cellInFinding(row, column);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return qText(shownText(row, column));
    case Qt::AccessibleTextRole:
        return qText(shownText(row, column)) +
               (fromBase ? QStringLiteral(", ") + kFromBase : QString());
    case Qt::ForegroundRole:
        if (fromBase) {
            return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
        }
        return {};
    case Qt::FontRole:
        if (fromBase) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    case Qt::DecorationRole:
        if (marked) {
            return markIcon(marks[static_cast<std::size_t>(row)].overlap);
        }
        return {};
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        QStringList words;
        if (fromBase) {
            words << QStringLiteral("The value of the base: the cell is empty.");
        }
        if (marked) {
            words << markText(row);
        }
        return words.isEmpty() ? QVariant() : QVariant(words.join(QLatin1Char(' ')));
    }
    default:
        return {};
    }
}

QVariant FleetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= rowCount()) {
            return {};
        }
        const QString mark = markText(section);
        switch (role) {
        case Qt::DisplayRole:
            return mark.isEmpty() ? QString::number(section + 1)
                                  : QStringLiteral("%1 %2").arg(section + 1).arg(mark);
        case Qt::DecorationRole:
            if (!mark.isEmpty()) {
                return markIcon(marks[static_cast<std::size_t>(section)].overlap);
            }
            return {};
        default:
            return {};
        }
    }
    // A first click on a column head sorts it ascending, whatever the style.
    if (role == Qt::InitialSortOrderRole) {
        return static_cast<int>(Qt::AscendingOrder);
    }
    if (section == 0) {
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("Label")) : QVariant();
    }
    const auto ref = fieldOf(section);
    if (!ref) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole: {
        const std::string caption = fieldCaption(*ref);
        return qText(caption.empty() ? fieldRefName(*ref) : caption);
    }
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        QString name = qText(fieldRefName(*ref));
        if (!ref->def->unit.empty()) {
            name += QStringLiteral(" (%1)").arg(qText(ref->def->unit));
        }
        return name;
    }
    default:
        return {};
    }
}

Qt::ItemFlags FleetModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}
