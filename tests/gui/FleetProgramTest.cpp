// Program Fleet from the fleet window: its saved rows written in turn on
// the main window's port, here an emulated board.

#include "FleetFixture.h"
#include "ModalDriver.h"

#include "model/ByteMap.h"
#include "sim/BoardEmulator.h"

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
        ConfigImage fresh = defaultImage();
        fresh[field::VersionMajor] = 1;
        fresh[field::VersionMinor] = 86;
        BoardEmulator board;
        board.setMemory(fresh);
        board.start();
        FleetFixture f({{board.slavePath(), "emulated board"}});
        QVERIFY(f.open("label,T1[1]\nunit A,1513.5\n"));
        ModalWatcher program([](QDialog& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>("btnProgram"), Qt::LeftButton);
            dialog.reject();
        });
        f.find<QAction>("actProgramFleet")->trigger();
        QCOMPARE(program.seen, QStringList{QStringLiteral("TFleetProgramDialog")});
        QCOMPARE(readWord(board.memory(), field::T1(1)), 15135);
        const QByteArray record =
            FleetFixture::read(f.main.workFolder().filePath(QStringLiteral("job.record.csv")));
        QVERIFY2(record.contains("\n1,unit A,verified,"), record.constData());
    }
};

PX520_GUI_TEST_MAIN(FleetProgramTest)

#include "FleetProgramTest.moc"
