#include "dialogs/Fmfreq.h"
#include "rules/ToneTables.h"
#include "tests/gui/ModalDriver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <vector>

namespace {

// Tone edits of the three columns (four calls, four calls, two group calls)
// and a record of every commit with its column and the text the edit held.
class FakeToneHost : public ToneTableHost {
public:
    std::array<int, 3> targets{};
    std::array<std::array<QLineEdit, 5>, 3> edits;
    struct Commit {
        const QLineEdit* edit;
        int column;
        QString text;
    };
    std::vector<Commit> commits;

    std::array<int, 3>& toneTableTargets() override { return targets; }
    QLineEdit* toneEdit(int column, int call) override {
        const int calls = column == 2 ? 2 : 4;
        return call >= 1 && call <= calls ? &edits.at(column).at(call) : nullptr;
    }
    void commitToneEdit(QLineEdit* edit, int column) override {
        commits.push_back({edit, column, edit->text()});
    }
};

enum class Way { EnterKey, ReturnKey, DoubleClick, EnterButton, EscapeKey, ExitButton, CloseBox };

QTableWidget& gridOf(TForm2& dialog) {
    return *dialog.findChild<QTableWidget*>("StringGrid1");
}

QPoint cellCentre(QTableWidget& grid, int row, int column) {
    return grid.visualItemRect(grid.item(row, column)).center();
}

void clickCell(QTableWidget& grid, int row, int column) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, row, column));
}

void act(TForm2& dialog, Way way) {
    QTableWidget& grid = gridOf(dialog);
    switch (way) {
    case Way::EnterKey:
        QTest::keyClick(&grid, Qt::Key_Enter);
        break;
    case Way::ReturnKey:
        QTest::keyClick(&grid, Qt::Key_Return);
        break;
    case Way::DoubleClick:
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {},
                           cellCentre(grid, grid.currentRow(), grid.currentColumn()));
        break;
    case Way::EnterButton:
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnEnter"), Qt::LeftButton);
        break;
    case Way::EscapeKey:
        QTest::keyClick(&grid, Qt::Key_Escape);
        break;
    case Way::ExitButton:
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnExit"), Qt::LeftButton);
        break;
    case Way::CloseBox:
        dialog.close();
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Way)

class ToneTableTest : public QObject {
    Q_OBJECT

private slots:
    void gridShowsHeadersDigitsAndTones();
    void onlyToneCellsBecomeCurrent();
    void currentCellKeptBetweenOpenings();
    void columnBorderDragResizes();
    void pickCommitsIntoTargetEdit_data();
    void pickCommitsIntoTargetEdit();
    void closingChangesNothing_data();
    void closingChangesNothing();
    void pickWithoutTargetJustCloses();
    void modalPickEndsAccepted();
    void fixedSize();
};

void ToneTableTest::gridShowsHeadersDigitsAndTones() {
    FakeToneHost host;
    TForm2 dialog(host);
    QTableWidget& grid = gridOf(dialog);
    QCOMPARE(dialog.windowTitle(), QString("Tone Table"));
    QCOMPARE(grid.columnCount(), 15);
    QCOMPARE(grid.rowCount(), 11);
    QCOMPARE(grid.item(0, 0)->text(), QString());

    const QStringList headers{"Mot 1", "Mot 2", "Mot 3",  "Mot 4",  "Mot 5",  "Mot 6",  "Mot A",
                              "Mot B", "Mot Z", "Mot 10", "Mot 11", "GE A' ", "GE B' ", "GE C' "};
    for (int column = 1; column < 15; ++column) {
        QCOMPARE(grid.item(0, column)->text(), headers[column - 1]);
    }
    for (int row = 1; row < 11; ++row) {
        QCOMPARE(grid.item(row, 0)->text(), QString::number(row - 1));
    }

    // One decimal, no padding, a trailing zero kept.
    const struct {
        int row, column;
        const char* text;
    } cells[] = {{1, 1, "330.5"},    {1, 3, "1092.4"}, {2, 3, "288.5"},   {9, 6, "1395.0"},
                 {10, 11, "2468.2"}, {4, 12, "802.5"}, {10, 14, "622.5"}, {8, 5, "810.2"}};
    for (const auto& cell : cells) {
        QCOMPARE(grid.item(cell.row, cell.column)->text(), QString(cell.text));
    }
    for (int column = 1; column < 15; ++column) {
        for (int row = 1; row < 11; ++row) {
            const int tenths = ToneGroupTable.at(column - 1).tones.at(row - 1);
            QCOMPARE(qRound(grid.item(row, column)->text().toDouble() * 10), tenths);
        }
    }
}

void ToneTableTest::onlyToneCellsBecomeCurrent() {
    QCOMPARE(TForm2::StringGrid1SelectCell(0, 0), false);
    QCOMPARE(TForm2::StringGrid1SelectCell(7, 0), false);
    QCOMPARE(TForm2::StringGrid1SelectCell(0, 5), false);
    QCOMPARE(TForm2::StringGrid1SelectCell(1, 1), true);

    FakeToneHost host;
    TForm2 dialog(host);
    dialog.show();
    QTableWidget& grid = gridOf(dialog);
    grid.setFocus();
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.currentColumn(), 1);

    clickCell(grid, 0, 5);
    clickCell(grid, 6, 0);
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.currentColumn(), 1);

    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, Qt::Key_Home);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_PageUp);
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.currentColumn(), 1);

    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(grid.currentRow(), 2);
    QCOMPARE(grid.currentColumn(), 2);
}

void ToneTableTest::currentCellKeptBetweenOpenings() {
    FakeToneHost host;
    TForm2 dialog(host);
    dialog.show();
    QTableWidget& grid = gridOf(dialog);
    clickCell(grid, 4, 12);
    act(dialog, Way::ExitButton);
    QVERIFY(!dialog.isVisible());

    dialog.show();
    QCOMPARE(grid.currentRow(), 4);
    QCOMPARE(grid.currentColumn(), 12);
}

void ToneTableTest::columnBorderDragResizes() {
    FakeToneHost host;
    TForm2 dialog(host);
    dialog.show();
    QTableWidget& grid = gridOf(dialog);
    QCOMPARE(grid.columnWidth(2), 55);

    const QRect header = grid.visualItemRect(grid.item(0, 2));
    const QPoint border(header.right() + 1, header.center().y());
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, border);
    QMouseEvent drag(QEvent::MouseMove, QPointF(border + QPoint(20, 0)),
                     grid.viewport()->mapToGlobal(QPointF(border + QPoint(20, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &drag);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, border + QPoint(20, 0));

    QCOMPARE(grid.columnWidth(2), 75);
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.currentColumn(), 1);

    dialog.hide();
    dialog.show();
    QCOMPARE(grid.columnWidth(2), 75);
}

void ToneTableTest::pickCommitsIntoTargetEdit_data() {
    QTest::addColumn<Way>("way");
    QTest::newRow("Enter key") << Way::EnterKey;
    QTest::newRow("Return key") << Way::ReturnKey;
    QTest::newRow("double click") << Way::DoubleClick;
    QTest::newRow("Enter button") << Way::EnterButton;
}

void ToneTableTest::pickCommitsIntoTargetEdit() {
    QFETCH(Way, way);
    FakeToneHost host;
    host.targets = {0, 3, 0};
    TForm2 dialog(host);
    dialog.show();
    QTableWidget& grid = gridOf(dialog);
    grid.setFocus();
    clickCell(grid, 4, 12);

    act(dialog, way);

    QCOMPARE(host.commits.size(), std::size_t{1});
    QCOMPARE(host.commits[0].edit, &host.edits[1][3]);
    QCOMPARE(host.commits[0].column, 1);
    QCOMPARE(host.commits[0].text, QString("802.5"));
    QCOMPARE(host.targets, (std::array<int, 3>{0, 0, 0}));
    for (std::size_t column = 0; column < 3; ++column) {
        for (std::size_t call = 0; call < 5; ++call) {
            if (column != 1 || call != 3) {
                QVERIFY(host.edits[column][call].text().isEmpty());
            }
        }
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void ToneTableTest::closingChangesNothing_data() {
    QTest::addColumn<Way>("way");
    QTest::newRow("Esc") << Way::EscapeKey;
    QTest::newRow("Exit button") << Way::ExitButton;
    QTest::newRow("close box") << Way::CloseBox;
}

void ToneTableTest::closingChangesNothing() {
    QFETCH(Way, way);
    FakeToneHost host;
    host.targets = {0, 0, 2};
    TForm2 dialog(host);
    dialog.show();
    QTableWidget& grid = gridOf(dialog);
    grid.setFocus();
    clickCell(grid, 7, 6);

    act(dialog, way);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(host.commits.empty());
    QCOMPARE(host.targets, (std::array<int, 3>{0, 0, 2}));
    QVERIFY(host.edits[2][2].text().isEmpty());
}

void ToneTableTest::pickWithoutTargetJustCloses() {
    FakeToneHost host;
    TForm2 dialog(host);
    dialog.show();
    gridOf(dialog).setFocus();
    act(dialog, Way::EnterKey);
    QVERIFY(!dialog.isVisible());
    QVERIFY(host.commits.empty());
}

void ToneTableTest::modalPickEndsAccepted() {
    FakeToneHost host;
    host.targets = {2, 0, 0};
    QWidget window;
    window.resize(833, 700);
    window.show();
    TForm2 dialog(host, &window);

    const int result = execDriven(dialog, [&dialog] {
        QTableWidget& grid = gridOf(dialog);
        clickCell(grid, 2, 1);
        QTest::keyClick(&grid, Qt::Key_Return);
    });

    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(host.commits.size(), std::size_t{1});
    QCOMPARE(host.commits[0].edit, &host.edits[0][2]);
    QCOMPARE(host.commits[0].column, 0);
    QCOMPARE(host.commits[0].text, QString("349.0"));
    QCOMPARE(host.targets[0], 0);
}

void ToneTableTest::fixedSize() {
    FakeToneHost host;
    TForm2 dialog(host);
    QCOMPARE(dialog.minimumSize(), QSize(862, 319));
    QCOMPARE(dialog.maximumSize(), QSize(862, 319));
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

QTEST_MAIN(ToneTableTest)
#include "ToneTableTest.moc"
