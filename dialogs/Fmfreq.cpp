#include "dialogs/Fmfreq.h"

#include "rules/ToneTables.h"
#include "ui_Fmfreq.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int headerRow = 0;
constexpr int digitColumn = 0;
constexpr int minimumColumnWidth = 8;
constexpr int borderGrip = 3;

// Header row and digit column in the button face, the current cell and a
// dragged range highlighted, every text centred on one line.
class ToneCellDelegate : public QStyledItemDelegate {
public:
    explicit ToneCellDelegate(QTableWidget& grid) : QStyledItemDelegate(&grid), grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QPalette& palette = grid.palette();
        const bool header = index.row() == headerRow;
        const bool fixed = header || index.column() == digitColumn;
        const bool focused = !fixed && (index == grid.currentIndex() ||
                                        option.state.testFlag(QStyle::State_Selected));

        QColor background = palette.color(QPalette::HighlightedText);
        QColor text = Qt::black;
        if (fixed) {
            background = palette.color(QPalette::Button);
        } else if (focused) {
            background = palette.color(QPalette::Highlight);
            text = palette.color(QPalette::HighlightedText);
        }

        QFont font = option.font;
        font.setBold(header);
        painter->save();
        painter->fillRect(option.rect, background);
        painter->setFont(font);
        painter->setPen(text);
        painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine,
                          index.data().toString());
        painter->restore();
    }

private:
    QTableWidget& grid;
};

// The column whose right border lies under pos in the header row, or -1.
int borderColumnAt(const QTableWidget& grid, QPoint pos) {
    if (grid.rowAt(pos.y()) != headerRow) {
        return -1;
    }
    for (int column = 0; column < grid.columnCount(); ++column) {
        const int right = grid.columnViewportPosition(column) + grid.columnWidth(column);
        if (std::abs(pos.x() - right) <= borderGrip) {
            return column;
        }
    }
    return -1;
}

} // namespace

TForm2::TForm2(ToneTableHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm2>()), host(host) {
    ui->setupUi(this);
    FormCreate();

    QTableWidget& grid = *ui->StringGrid1;
    grid.setItemDelegate(new ToneCellDelegate(grid));
    // The rows share the height the buttons leave, whatever their font.
    grid.verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid.installEventFilter(this);
    grid.viewport()->installEventFilter(this);
    grid.viewport()->setMouseTracking(true);
    connect(&grid, &QTableWidget::doubleClicked, this, &TForm2::StringGrid1DblClick);
    connect(ui->btnEnter, &QPushButton::clicked, this, &TForm2::btnEnterClick);
    connect(ui->btnExit, &QPushButton::clicked, this, &TForm2::btnExitClick);
}

TForm2::~TForm2() = default;

bool TForm2::StringGrid1SelectCell(int column, int row) {
    return row != headerRow && column != digitColumn;
}

void TForm2::FormCreate() {
    QTableWidget& grid = *ui->StringGrid1;
    const auto cell = [&grid](int column, int row, const QString& text) {
        auto item = std::make_unique<QTableWidgetItem>(text);
        item->setFlags(StringGrid1SelectCell(column, row) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                                          : Qt::NoItemFlags);
        grid.setItem(row, column, item.release());
    };

    cell(digitColumn, headerRow, QString());
    for (int digit = 0; digit < static_cast<int>(kTonesPerGroup); ++digit) {
        cell(digitColumn, digit + 1, QString::number(digit));
    }
    for (std::size_t group = 0; group < ToneGroupTable.size(); ++group) {
        const int column = static_cast<int>(group) + 1;
        cell(column, headerRow,
             QString::fromUtf8(ToneGroupTable[group].header.data(),
                               ToneGroupTable[group].header.size()));
        for (std::size_t digit = 0; digit < kTonesPerGroup; ++digit) {
            cell(column, static_cast<int>(digit) + 1,
                 QString::fromStdString(toneTableText(ToneGroupTable[group].tones[digit])));
        }
    }
    grid.setCurrentCell(1, 1);
}

void TForm2::StringGrid1DblClick() {
    const QTableWidgetItem* current = ui->StringGrid1->currentItem();
    if (current == nullptr) {
        reject();
        return;
    }
    const QString tone = current->text();
    std::array<int, 3>& targets = host.toneTableTargets();
    for (std::size_t column = 0; column < targets.size(); ++column) {
        const int call = targets[column];
        if (call == 0) {
            continue;
        }
        if (QLineEdit* edit = host.toneEdit(static_cast<int>(column), call)) {
            edit->setText(tone);
            host.commitToneEdit(edit, static_cast<int>(column));
        }
        targets[column] = 0;
    }
    accept();
}

void TForm2::btnEnterClick() {
    StringGrid1DblClick();
}

void TForm2::btnExitClick() {
    reject();
}

bool TForm2::StringGrid1KeyPress(int key) {
    switch (key) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        StringGrid1DblClick();
        return true;
    default:
        return false;
    }
}

// The grid shows no header bar, so the header row itself lets the user drag
// a column border.
bool TForm2::resizeColumns(QEvent* event) {
    QTableWidget& grid = *ui->StringGrid1;
    const auto& mouse = static_cast<const QMouseEvent&>(*event);
    const QPoint pos = mouse.position().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const int column = borderColumnAt(grid, pos);
        if (mouse.button() != Qt::LeftButton || column < 0) {
            return false;
        }
        resizedColumn = column;
        resizeStartX = pos.x();
        resizeStartWidth = grid.columnWidth(column);
        return true;
    }
    case QEvent::MouseMove:
        if (resizedColumn >= 0) {
            grid.setColumnWidth(resizedColumn, std::max(minimumColumnWidth,
                                                        resizeStartWidth + pos.x() - resizeStartX));
            return true;
        }
        if (borderColumnAt(grid, pos) >= 0) {
            grid.viewport()->setCursor(Qt::SplitHCursor);
        } else {
            grid.viewport()->unsetCursor();
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (resizedColumn < 0) {
            return false;
        }
        resizedColumn = -1;
        return true;
    default:
        return false;
    }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->StringGrid1 && event->type() == QEvent::KeyPress) {
        return StringGrid1KeyPress(static_cast<QKeyEvent*>(event)->key());
    }
    if (watched == ui->StringGrid1->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return resizeColumns(event);
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
