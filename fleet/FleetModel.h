#pragma once

#include "model/ConfigImage.h"
#include "rules/PagerSheet.h"
#include "rules/TonePlan.h"

#include <QAbstractTableModel>

#include <optional>
#include <string>
#include <vector>

// A fleet as a table: column 0 the label, then one column per field the
// sheet sets, headed by the field's caption. An empty cell shows the base's
// value, greyed. Every change re-checks the tone plan from what each row
// needs of it, so that an edit re-plans its own row only; the rows and cells
// of the findings listed are marked with an icon and words.
class FleetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit FleetModel(QObject* parent = nullptr);

    // A fleet whose every row applies to the base.
    void setFleet(PagerSheet sheet, const ConfigImage& base);
    const PagerSheet& sheet() const { return fleet; }
    const ConfigImage& base() const { return baseImage; }
    // Tones are taken as the main window takes them in Standard Mode.
    static constexpr ToneMode kToneMode = ToneMode::Standard;

    // The field of a view column; nothing for the label's.
    std::optional<FieldRef> fieldOf(int column) const;
    // The view column of a field; -1 when the sheet does not set it.
    int columnOf(const FieldRef& ref) const;
    // The base with the row's values set by set's rules.
    std::optional<SheetError> rowConfiguration(int row, ConfigImage& image) const;
    // The text of a cell as the sheet holds it (empty: the base's value).
    const std::string& cellText(int row, int column) const;
    // What a cell shows: its text, or the base's value.
    std::string shownText(int row, int column) const;
    // The row's cells with one cell replaced, as set's assignments.
    std::vector<FieldAssignment> assignments(int row, int column, const std::string& text) const;

    // The changes the undo steps make; each re-checks the tone plan.
    void setCell(int row, int column, const std::string& text);
    void insertPagerRow(int at, PagerRow row);
    PagerRow takePagerRow(int at);
    // A field column at view column at (1 or more) with a cell per row.
    void insertFieldColumn(int at, const FieldRef& ref, std::vector<std::string> cells);
    std::vector<std::string> takeFieldColumn(int at);
    // Row i becomes the row that stood at order[i].
    void reorder(const std::vector<int>& order);
    void setBase(const ConfigImage& base);

    // The order of the rows sorted by what a column shows, numbers by value;
    // rows that show the same keep their order.
    std::vector<int> sortedOrder(int column, Qt::SortOrder order) const;

    const TonePlanCheck& planCheck() const { return check; }
    // What the plan took of each row, in row order.
    const std::vector<PlanPager>& rowPlans() const { return plans; }
    // "row 3 (unit C)": each row as findings name it.
    std::vector<std::string> rowNames() const;
    // A finding in the words px520-cli check prints it.
    std::string findingText(const PlanFinding& finding) const;
    std::vector<std::string> planSummary() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The tone plan was checked again.
    void planChanged();

private:
    // What the findings listed say of a row.
    struct RowMark {
        bool overlap = false;
        bool shared = false;
        std::vector<PlanCall> calls;
    };
    PlanPager planOf(int row) const;
    void replanAll();
    void checkPlan();
    bool cellInFinding(int row, int column) const;
    QString markText(int row) const;

    PagerSheet fleet;
    ConfigImage baseImage{};
    // The base's value of each field column, as a cell would hold it.
    std::vector<std::string> baseTexts;
    std::vector<PlanPager> plans;
    TonePlanCheck check;
    std::vector<RowMark> marks;
    // The rows marked now, so that the next check clears only those.
    std::vector<int> markedRows;
};

// The text a cell holds for the value an image keeps, as set takes it back:
// the number a field's edit shows, a pick-list's caption, on or off.
std::string cellTextOf(const ConfigImage& image, const FieldRef& ref);
