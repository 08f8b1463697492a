// The fleet window driven as a user would: cells typed into with the real
// table's editors, the window's keys, column heads clicked, the findings
// list chosen from; messages recorded.

#include "FleetFixture.h"

#include "model/ByteMap.h"
#include "rules/KeyFilters.h"

#include <QAccessible>
#include <QComboBox>
#include <QFileInfo>

namespace {

// Two pagers over the default configuration: their first call, and unit B's
// battery save.
const QByteArray kTwoUnits = "label,T1[1],T2[1],BS_Period\n"
                             "unit A,669.9,707.3,\n"
                             "unit B,1006.9,766.2,20\n";
constexpr int kT1 = 1;
constexpr int kT2 = 2;
constexpr int kBatterySave = 3;

QStringList rowsOf(FleetFixture& f) {
    QStringList rows;
    for (int row = 0; row < f.model().rowCount(); ++row) {
        rows << f.shown(row, 0);
    }
    return rows;
}

} // namespace

class FleetWindowTest : public QObject {
    Q_OBJECT

private slots:
    // A value the field refuses leaves the cell as it was and says why in
    // the words the main window uses for the same typing.
    void refusedValueKeepsTheCellAndSaysWhyAsTheMainWindowDoes_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::newRow("tone out of range") << "edtT11" << kT1 << "2500";
        QTest::newRow("byte out of range") << "edtBS_Period" << kBatterySave << "300";
    }
    void refusedValueKeepsTheCellAndSaysWhyAsTheMainWindowDoes() {
        QFETCH(QString, control);
        QFETCH(int, column);
        QFETCH(QString, typed);
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        f.main.messages.shown.clear();
        const QString before = f.shown(1, column);
        f.editCell(1, column, typed);
        QCOMPARE(f.shown(1, column), before);
        QVERIFY(!f.fleet.document().isChanged());
        const QStringList fleetSaid = f.main.messages.texts();
        QCOMPARE(fleetSaid.size(), 1);

        f.main.messages.shown.clear();
        f.main.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.main.window()));
        f.main.typeAndTab(f.main.edit(control.toLatin1().constData()), typed);
        QCOMPARE(f.main.messages.texts().value(0), fleetSaid.front());
    }

    // An accepted value is stored as the main window shows it: a tone
    // snapped to the standard list, a number without its leading zeros; the
    // field's key filter drops what it would not take there.
    void acceptedValueIsStoredAsTheRegistryShowsIt_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("snapped tone") << kT1 << "1000" << "1006.9" << QStringList();
        QTest::newRow("leading zeros") << kBatterySave << "007" << "7" << QStringList();
        QTest::newRow("a letter in a tone") << kT1 << "15a13.5" << "1513.5" << QStringList();
        QTest::newRow("a letter in a number")
            << kBatterySave << "1a2" << "12" << QStringList{QString::fromLatin1(kNotNumericMessage)};
    }
    void acceptedValueIsStoredAsTheRegistryShowsIt() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QStringList, said);
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        f.main.messages.shown.clear();
        f.editCell(0, column, typed);
        QCOMPARE(f.model().cellText(0, column), stored.toStdString());
        QCOMPARE(f.main.messages.texts(), said);
        QVERIFY(f.fleet.windowTitle().endsWith(QLatin1Char('*')));
    }

    // An emptied cell takes the base's value again: shown greyed, and said
    // to come from the base.
    void emptyCellShowsTheBasesValue() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        f.table()->setCurrentIndex(f.model().index(1, kBatterySave));
        f.press(QKeySequence(Qt::Key_Delete));
        QCOMPARE(f.model().cellText(1, kBatterySave), std::string());
        const QModelIndex cell = f.model().index(1, kBatterySave);
        QCOMPARE(cell.data().toString(), QStringLiteral("15"));
        QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("15, from the base"));
        QVERIFY(cell.data(Qt::ForegroundRole).isValid());
        QVERIFY(!f.model().index(1, kT1).data(Qt::ForegroundRole).isValid());
    }

    // Each change is one step back and forth: a cell, a row added or
    // deleted, a sort by a column's head.
    void everyChangeIsOneUndoStep() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        const QStringList units{QStringLiteral("unit A"), QStringLiteral("unit B")};
        const auto undo = [&] { f.press(QKeySequence::Undo); };
        const auto redo = [&] { f.press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)); };

        f.editCell(0, kT1, QStringLiteral("1513.5"));
        QCOMPARE(f.shown(0, kT1), QStringLiteral("1513.5"));
        undo();
        QCOMPARE(f.shown(0, kT1), QStringLiteral("669.9"));
        redo();
        QCOMPARE(f.shown(0, kT1), QStringLiteral("1513.5"));

        f.table()->setCurrentIndex(f.model().index(0, 0));
        f.press(QKeySequence(Qt::CTRL | Qt::Key_Insert));
        QCOMPARE(f.model().rowCount(), 3);
        QCOMPARE(f.shown(1, kT1), QStringLiteral("669.9")); // the base's
        undo();
        QCOMPARE(rowsOf(f), units);

        f.table()->setCurrentIndex(f.model().index(0, 0));
        f.press(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        QCOMPARE(rowsOf(f), QStringList{QStringLiteral("unit B")});
        undo();
        QCOMPARE(rowsOf(f), units);
        QCOMPARE(f.shown(0, kT1), QStringLiteral("1513.5"));
        redo();
        QCOMPARE(rowsOf(f), QStringList{QStringLiteral("unit B")});
        undo();

        // Ascending by TONE1 first: unit B, then unit A; a second click turns
        // the order round.
        QHeaderView* head = f.table()->horizontalHeader();
        const auto clickHead = [&](int column) {
            QTest::mouseClick(head->viewport(), Qt::LeftButton, {},
                              QPoint(head->sectionViewportPosition(column) + 5, 5));
            WindowFixture::settle();
        };
        const int step = f.fleet.document().undoStack().index();
        clickHead(kT1);
        QCOMPARE(rowsOf(f), (QStringList{QStringLiteral("unit B"), QStringLiteral("unit A")}));
        QCOMPARE(f.fleet.document().undoStack().index(), step + 1);
        clickHead(kT1);
        QCOMPARE(rowsOf(f), units);
        undo();
        QCOMPARE(rowsOf(f), (QStringList{QStringLiteral("unit B"), QStringLiteral("unit A")}));
        undo();
        QCOMPARE(rowsOf(f), units);
        QCOMPARE(f.shown(0, kT1), QStringLiteral("1513.5"));
    }

    // A pick-list cell offers the main window's items; a pick is stored.
    void pickListCellTakesAnItem() {
        FleetFixture f;
        QVERIFY(f.open("label,BandWidth\nunit A,\n"));
        f.main.messages.shown.clear();
        QTableView* view = f.table();
        view->setFocus();
        view->setCurrentIndex(f.model().index(0, 1));
        QTest::keyClick(view, Qt::Key_F2);
        WindowFixture::settle();
        auto* box = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(box != nullptr);
        QCOMPARE(box->count(), 16);
        QCOMPARE(box->currentText(), QStringLiteral("1.5"));
        QTest::keyClick(box, Qt::Key_Down);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.model().cellText(0, 1), std::string("1.7"));
        QVERIFY2(f.main.messages.shown.empty(), qPrintable(f.main.messages.texts().join("; ")));
    }

    // A column added or removed is one step; a removed column's cells come
    // back with it.
    void columnsComeAndGoAsOneStep() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        std::vector<FieldRef> offered;
        f.fleet.setColumnChooser([&](QWidget&, std::span<const FieldRef> fields) {
            offered.assign(fields.begin(), fields.end());
            return parseFieldRef("BandWidth");
        });
        f.find<QAction>("actAddColumn")->trigger();
        QCOMPARE(f.model().columnCount(), 5);
        QCOMPARE(f.model().headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Decoder Bandwidth"));
        QCOMPARE(f.model().headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("BandWidth (%)"));
        const auto isOffered = [&](const char* name) {
            const FieldRef ref = *parseFieldRef(name);
            return std::ranges::any_of(offered, [&](const FieldRef& o) {
                return o.def == ref.def && o.call == ref.call;
            });
        };
        QVERIFY(isOffered("T1[2]"));
        QVERIFY(!isOffered("T1[1]"));   // the sheet sets it already
        QVERIFY(!isOffered("T1Code[2]")); // stored with its tone
        f.table()->setCurrentIndex(f.model().index(1, kBatterySave));
        f.find<QAction>("actRemoveColumn")->trigger();
        QCOMPARE(f.model().columnCount(), 4);
        f.press(QKeySequence::Undo);
        QCOMPARE(f.model().cellText(1, kBatterySave), std::string("20"));
        f.press(QKeySequence::Undo);
        QCOMPARE(f.model().columnCount(), 4);
        QVERIFY(!f.fleet.windowTitle().endsWith(QLatin1Char('*')));
    }

    // The title's star follows the history; closing or replacing a changed
    // fleet asks first, and Cancel keeps it.
    void changedFleetIsNotLostUnasked() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        const QString job = f.main.workFolder().filePath(QStringLiteral("job.csv"));
        QCOMPARE(f.fleet.windowTitle(), QStringLiteral("PX520 Fleet - job.csv"));
        f.editCell(0, kT1, QStringLiteral("1513.5"));
        QCOMPARE(f.fleet.windowTitle(), QStringLiteral("PX520 Fleet - job.csv*"));
        f.press(QKeySequence::Undo);
        QCOMPARE(f.fleet.windowTitle(), QStringLiteral("PX520 Fleet - job.csv"));
        f.fleet.close();
        QVERIFY(f.main.messages.questions.isEmpty());
        f.show();
        f.press(QKeySequence::Redo);

        const QString other = f.write(QStringLiteral("other.csv"), "label,T1[1]\nspare,\n");
        f.main.messages.saveAnswers = {SaveChoice::Cancel};
        QVERIFY(!f.fleet.openFleetFile(other));
        QCOMPARE(f.main.messages.questions.size(), 1);
        QVERIFY(f.main.messages.questions.front().contains(QStringLiteral("job.csv")));
        QCOMPARE(f.shown(0, kT1), QStringLiteral("1513.5"));

        f.main.messages.saveAnswers = {SaveChoice::Cancel};
        f.fleet.close();
        QVERIFY(f.fleet.isVisible());
        QCOMPARE(FleetFixture::read(job), kTwoUnits);

        f.main.messages.saveAnswers = {SaveChoice::Save};
        f.main.dialogs.answers = {f.basePath};
        QVERIFY(f.fleet.openFleetFile(other));
        QVERIFY(FleetFixture::read(job).contains("unit A,1513.5,707.3,"));
        QCOMPARE(f.shown(0, 0), QStringLiteral("spare"));

        f.editCell(0, 0, QStringLiteral("spare 2"));
        f.main.messages.saveAnswers = {SaveChoice::Discard};
        f.fleet.close();
        QVERIFY(!f.fleet.isVisible());
        QCOMPARE(FleetFixture::read(other), QByteArray("label,T1[1]\nspare,\n"));
    }

    // Overlapping calls appear with the edit that makes them and go with the
    // one that undoes them: both rows and their call's cells are marked with
    // an icon and words, and the list says what px520-cli check says.
    void overlapIsMarkedAndListedWhileItLasts() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        QVERIFY(f.findingTexts().isEmpty());
        QCOMPARE(f.find<QLabel>("lblPlanSummary")->text(),
                 QStringLiteral("0 overlaps, 0 shared calls among 2 pagers."));

        f.editCell(1, kT1, QStringLiteral("667.5"));
        QVERIFY(f.findingTexts().isEmpty());
        f.editCell(1, kT2, QStringLiteral("712.5"));
        QCOMPARE(f.findingTexts(),
                 QStringList{QStringLiteral(
                     "overlap: row 1 (unit A) CALL #1 (669.9 Hz, 707.3 Hz) and row 2 (unit B) "
                     "CALL #1 (667.5 Hz, 712.5 Hz); row 1 (unit A) answers row 2 (unit B)'s "
                     "call at its 1.5 %; row 2 (unit B) answers row 1 (unit A)'s call at its "
                     "1.5 %")});
        QCOMPARE(f.find<QLabel>("lblPlanSummary")->text(),
                 QStringLiteral("1 overlap, 0 shared calls among 2 pagers."));
        for (int row : {0, 1}) {
            QCOMPARE(f.rowHeader(row), QStringLiteral("%1 overlap").arg(row + 1));
            QVERIFY(!f.model().headerData(row, Qt::Vertical, Qt::DecorationRole).isNull());
            const QModelIndex tone = f.model().index(row, kT1);
            QVERIFY(!tone.data(Qt::DecorationRole).isNull());
            QVERIFY(tone.data(Qt::AccessibleDescriptionRole).toString().contains(
                QStringLiteral("overlap")));
            QVERIFY(f.model().index(row, kBatterySave).data(Qt::DecorationRole).isNull());
        }

        // Choosing the finding selects its two rows.
        QListWidget* list = f.findings();
        list->setFocus();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        WindowFixture::settle();
        QModelIndexList selected = f.table()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 2);
        QCOMPARE(selected[0].row() + selected[1].row(), 1);

        f.editCell(1, kT1, QStringLiteral("1006.9"));
        QVERIFY(f.findingTexts().isEmpty());
        QCOMPARE(f.rowHeader(0), QStringLiteral("1"));
        QVERIFY(f.model().index(0, kT1).data(Qt::DecorationRole).isNull());
    }

    // A sheet from any spreadsheet, opened and saved unchanged, keeps its
    // bytes; the record beside it names the base, which the next open takes.
    void sheetSavedUnchangedKeepsItsBytes_data() {
        QTest::addColumn<QString>("sheet");
        for (const char* name : {"calc-comma.csv", "calc-semicolon.csv", "excel-ansi-comma.csv",
                                 "excel-tab.txt", "excel-utf8-semicolon.csv"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void sheetSavedUnchangedKeepsItsBytes() {
        QFETCH(QString, sheet);
        FleetFixture f;
        const QByteArray bytes =
            FleetFixture::read(QStringLiteral(PX520_SHEET_FIXTURES "/") + sheet);
        QVERIFY(!bytes.isEmpty());
        QVERIFY(f.open(bytes, sheet));
        f.press(QKeySequence::Save);
        const QString path = f.main.workFolder().filePath(sheet);
        QCOMPARE(FleetFixture::read(path), bytes);
        QVERIFY(!f.fleet.windowTitle().endsWith(QLatin1Char('*')));

        f.main.messages.shown.clear();
        QVERIFY(f.fleet.openFleetFile(path));
        QVERIFY(f.main.messages.shown.empty());
        QCOMPARE(QFileInfo(f.fleet.document().baseFile()), QFileInfo(f.basePath));
    }

    // A sheet that cannot be taken is named with its row and column, and
    // the fleet open stays as it was.
    void unreadableSheetReplacesNothing_data() {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QString>("said");
        QTest::newRow("refused value")
            << QByteArray("label,T1[1]\nunit C,abc\n")
            << "bad.csv: row 1 (unit C), CALL #1 TONE1 (T1[1]) holds \"abc\": ";
        QTest::newRow("unknown field")
            << QByteArray("label,Tone\nunit C,669.9\n") << "bad.csv: 'Tone' is not a field name";
        QTest::newRow("short row")
            << QByteArray("label,T1[1],T2[1]\nunit C,669.9\n") << "bad.csv: row 1 (unit C): 2 cells";
    }
    void unreadableSheetReplacesNothing() {
        QFETCH(QByteArray, sheet);
        QFETCH(QString, said);
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        f.main.messages.shown.clear();
        QVERIFY(!f.open(sheet, QStringLiteral("bad.csv")));
        const RecordedMessage& last = f.main.messages.shown.back();
        QCOMPARE(last.kind, MessageKind::Exclamation);
        const QString text = last.text;
        QVERIFY2(text.startsWith(said), qPrintable(text));
        QCOMPARE(f.fleet.windowTitle(), QStringLiteral("PX520 Fleet - job.csv"));
        QCOMPARE(rowsOf(f), (QStringList{QStringLiteral("unit A"), QStringLiteral("unit B")}));
    }

    // Export PDF writes the fleet's pages where the user chose.
    void fleetExportsAsPdf() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        const QString pdf = f.main.workFolder().filePath(QStringLiteral("job.pdf"));
        f.main.dialogs.answers = {pdf};
        f.find<QAction>("actExportPdf")->trigger();
        QCOMPARE(f.main.dialogs.asked.back().fileName, QStringLiteral("job.pdf"));
        QVERIFY(FleetFixture::read(pdf).startsWith("%PDF"));
    }

    // A row goes to the main window as its configuration, after the main
    // window's own question about its changes.
    void rowOpensInTheMainWindowAfterItsQuestion() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        f.main.window().activateWindow();
        f.main.typeAndTab(f.main.edit("edtBS_Period"), QStringLiteral("42"));
        f.show();
        f.table()->setCurrentIndex(f.model().index(1, kT1));
        auto* openRow = f.find<QAction>("actOpenRow");

        f.main.messages.saveAnswers = {SaveChoice::Cancel};
        openRow->trigger();
        QCOMPARE(f.main.messages.questions.size(), 1);
        QCOMPARE(f.main.image()[field::BS_Period], 42);

        f.main.messages.saveAnswers = {SaveChoice::Discard};
        openRow->trigger();
        ConfigImage row{};
        QVERIFY(!f.model().rowConfiguration(1, row));
        QCOMPARE(readWord(f.main.image(), field::T1(1)), readWord(row, field::T1(1)));
        QCOMPARE(readWord(f.main.image(), field::T2(1)), readWord(row, field::T2(1)));
        QCOMPARE(f.main.image()[field::BS_Period], 20);
        QCOMPARE(f.main.edit("edtT11")->text(), QStringLiteral("1006.9"));
        QVERIFY(f.main.window().windowTitle().endsWith(QLatin1Char('*')));
    }

    // The main window's configuration becomes a row (its values of the
    // sheet's columns) or, once saved, the base.
    void mainWindowsConfigurationBecomesARowOrTheBase() {
        FleetFixture f;
        QVERIFY(f.open(kTwoUnits));
        f.main.window().activateWindow();
        f.main.typeAndTab(f.main.edit("edtT11"), QStringLiteral("1513.5"));
        f.show();
        f.find<QAction>("actTakeRow")->trigger();
        QCOMPARE(f.model().rowCount(), 3);
        QCOMPARE(f.model().cellText(2, kT1), std::string("1513.5"));
        QCOMPARE(f.model().cellText(2, kT2), std::string("707.3"));
        QCOMPARE(f.model().cellText(2, kBatterySave), std::string("15"));

        f.main.messages.shown.clear();
        f.find<QAction>("actTakeBase")->trigger();
        QCOMPARE(f.main.messages.shown.size(), std::size_t{1});
        QVERIFY(f.main.messages.shown.front().text.contains(QStringLiteral("save it")));
        QCOMPARE(f.fleet.document().baseFile(), QFileInfo(f.basePath).absoluteFilePath());

        f.main.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.main.window()));
        QTest::keyClick(&f.main.window(), Qt::Key_S, Qt::ControlModifier);
        WindowFixture::settle();
        f.find<QAction>("actTakeBase")->trigger();
        QCOMPARE(QFileInfo(f.fleet.document().baseFile()),
                 QFileInfo(f.main.workFolder().filePath(QStringLiteral("default.tbl"))));
        QCOMPARE(f.find<QLabel>("lblBase")->text(), QStringLiteral("Base: default.tbl"));
        f.show();
        f.press(QKeySequence::Undo);
        QCOMPARE(f.find<QLabel>("lblBase")->text(), QStringLiteral("Base: base.tbl"));
    }
};

PX520_GUI_TEST_MAIN(FleetWindowTest)

#include "FleetWindowTest.moc"
