// Program Fleet from the fleet window: its saved rows written in turn on
// the main window's port, here an emulated board.

#include "FleetFixture.h"
#include "ModalDriver.h"

#include "model/ByteMap.h"
#include "sim/BoardEmulator.h"
#include "../support/FleetPagers.h"

#include <QAction>
#include <QPushButton>

class FleetProgramTest : public QObject {
    Q_OBJECT

private slots:
    // An unsaved fleet is not programmed: its record follows the saved rows.
    void changedFleetIsSavedFirst() {
        FleetFixture f;
        QVERIFY(f.open("label,T1[1]\nunit A,1513.5\n"));
        f.editCell(0, 0, QStringLiteral("unit Z"));
        f.main.messages.shown.clear();
        ModalCloser closer;
        f.find<QAction>("actProgramFleet")->trigger();
        QVERIFY(closer.seen.isEmpty());
        QCOMPARE(f.main.messages.shown.size(), std::size_t{1});
        QVERIFY(f.main.messages.shown.front().text.startsWith(QStringLiteral("Save the fleet")));
    }

    // The main window lets its port go to the dialog, which writes each row's
    // configuration and records it beside the sheet.
    void savedFleetIsProgrammedOnTheMainWindowsPort() {
        BoardEmulator board;
        seatFreshPager(board);
        FleetFixture f({{board.slavePath(), "emulated board"}});
        QVERIFY(f.open("label,T1[1]\nunit A,1513.5\n"));
        ModalWatcher program(programFirstPager);
        f.find<QAction>("actProgramFleet")->trigger();
        QCOMPARE(program.seen, QStringList{QStringLiteral("TFleetProgramDialog")});
        QCOMPARE(readWord(board.memory(), field::T1(1)), 15135);
        const QByteArray record =
            FleetFixture::read(f.main.workFolder().filePath(QStringLiteral("job.record.csv")));
        QVERIFY2(record.contains("\n1,unit A,verified,"), record.constData());
    }

    // As px520-cli writes a sheet whose calls overlap only with
    // --allow-overlap, the window programs one only when the user says so.
    void overlappingFleetIsProgrammedOnlyWhenConfirmed() {
        BoardEmulator board;
        seatFreshPager(board);
        FleetFixture f({{board.slavePath(), "emulated board"}});
        QVERIFY(f.open("label,T1[1],T2[1]\nunit A,669.9,707.3\nunit B,667.5,712.5\n"));
        ModalWatcher program(programFirstPager);
        auto* programFleet = f.find<QAction>("actProgramFleet");

        f.main.messages.yesNoAnswers = {false};
        programFleet->trigger();
        QCOMPARE(f.main.messages.questions.size(), 1);
        QVERIFY(f.main.messages.questions.front().startsWith(
            QStringLiteral("1 overlap, 0 shared calls among 2 pagers.\n")));
        QVERIFY(program.seen.isEmpty());
        QCOMPARE(board.memory(), freshPager());

        f.main.messages.yesNoAnswers = {true};
        programFleet->trigger();
        QCOMPARE(program.seen, QStringList{QStringLiteral("TFleetProgramDialog")});
        QCOMPARE(readWord(board.memory(), field::T1(1)), 6699);
    }

private:
    static void seatFreshPager(BoardEmulator& board) {
        board.setMemory(freshPager());
        board.start();
    }
    // Programs the pager the dialog names first, then closes the dialog.
    static void programFirstPager(QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnProgram"), Qt::LeftButton);
        dialog.reject();
    }
};

PX520_GUI_TEST_MAIN(FleetProgramTest)

#include "FleetProgramTest.moc"
