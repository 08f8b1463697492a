// Programming a fleet in turn through its dialog, against the emulated board:
// each pager seated is a fresh memory in the board.

#include "WindowFixture.h"

#include "fleet/FleetProgramDialog.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/WritePreparation.h"
#include "sim/BoardEmulator.h"
#include "../support/FleetPagers.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>

namespace {

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The dialog's controls as the user sees them.
struct DialogDriver {
    explicit DialogDriver(TFleetProgramDialog& dialog) : dialog(dialog) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    QString seat() const { return dialog.findChild<QLabel*>("lblSeat")->text(); }
    QPushButton* button(const char* name) const { return dialog.findChild<QPushButton*>(name); }
    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    QProgressBar* fleet() const { return dialog.findChild<QProgressBar*>("pbFleet"); }
    QString lastResult() const {
        auto* list = dialog.findChild<QListWidget*>("lstResults");
        return list->count() == 0 ? QString() : list->item(list->count() - 1)->text();
    }
    TFleetProgramDialog& dialog;
};

} // namespace

class FleetProgramDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        board = std::make_unique<BoardEmulator>();
        board->setMemory(freshPager());
        board->start();
        folder = std::make_unique<QTemporaryDir>();
        record = folder->filePath(QStringLiteral("fleet.record.csv"));
    }
    void cleanup() { board.reset(); }

    // Three pagers, the second refusing a store: it is told, stays to be
    // seated again, is skipped; a second run resumes at it. The board holds
    // each row's configuration and the record every attempt.
    void programsEachPagerInTurnAndResumes() {
        RecordingMessages messages;
        {
            TFleetProgramDialog dialog(pagers, record.toStdString(), base(), board->slavePath(),
                                       messages, kTestLinkTiming);
            DialogDriver d(dialog);
            QCOMPARE(d.seat(), QStringLiteral("Seat pager 1 of 3 (unit A)"));
            QCOMPARE(d.fleet()->text(), QStringLiteral("0 of 3 done"));
            d.click("btnProgram");
            QCOMPARE(board->memory(), asWritten(pagers[0].image));
            QCOMPARE(d.lastResult(),
                     QStringLiteral("row 1 (unit A): written and verified, firmware 1.86"));
            QCOMPARE(d.fleet()->text(), QStringLiteral("1 of 3 done"));

            board->setMemory(freshPager());
            BoardFaults refusal;
            refusal.badAckStore = 32 + 5; // the first pager took 32 stores
            board->setFaults(refusal);
            QCOMPARE(d.seat(), QStringLiteral("Seat pager 2 of 3 (unit B, spare)"));
            d.click("btnProgram");
            QCOMPARE(messages.shown.size(), std::size_t{1});
            QCOMPARE(messages.shown[0].kind, MessageKind::Stop);
            QCOMPARE(messages.shown[0].text, QStringLiteral("Write Error !"));
            QCOMPARE(d.lastResult(),
                     QStringLiteral("row 2 (unit B, spare): failed: Write Error !; the pager may "
                                    "hold part of the new configuration; write it again."));
            QCOMPARE(d.seat(), QStringLiteral("Seat pager 2 of 3 (unit B, spare)"));
            d.click("btnSkip");

            board->setFaults({});
            board->setMemory(freshPager());
            QCOMPARE(d.seat(), QStringLiteral("Seat pager 3 of 3 (unit C)"));
            d.click("btnProgram");
            QCOMPARE(board->memory(), asWritten(pagers[2].image));
            // Round to the one passed over.
            QCOMPARE(d.seat(), QStringLiteral("Seat pager 2 of 3 (unit B, spare)"));
            d.click("btnStop");
            QCOMPARE(d.seat(), QStringLiteral("Stopped with 2 of 3 pagers done."));
            QVERIFY(!d.button("btnProgram")->isEnabled());
            QCOMPARE(d.button("btnStop")->text(), QStringLiteral("&Close"));
            d.click("btnStop");
            QVERIFY(!dialog.isVisible());
        }
        const QString firstRun = QStringLiteral("row,label,result,time,firmware,message\n"
                                                ",,base,T,,base.tbl\n"
                                                "1,unit A,verified,T,1.86,\n"
                                                "2,\"unit B, spare\",failed,T,1.86,Write Error !\n"
                                                "2,\"unit B, spare\",skipped,T,,\n"
                                                "3,unit C,verified,T,1.86,\n");
        const QString secondRun = QStringLiteral("2,\"unit B, spare\",verified,T,1.86,\n");
        QCOMPARE(recordWithoutTimes(), firstRun);

        board->setMemory(freshPager());
        TFleetProgramDialog resumed(pagers, record.toStdString(), base(), board->slavePath(),
                                    messages, kTestLinkTiming);
        DialogDriver d(resumed);
        QCOMPARE(d.seat(), QStringLiteral("Seat pager 2 of 3 (unit B, spare)"));
        QCOMPARE(d.fleet()->text(), QStringLiteral("2 of 3 done"));
        d.click("btnProgram");
        QCOMPARE(board->memory(), asWritten(pagers[1].image));
        QCOMPARE(d.seat(), QStringLiteral("Every pager is written and verified."));
        QCOMPARE(d.fleet()->text(), QStringLiteral("3 of 3 done"));
        QVERIFY(!d.button("btnProgram")->isEnabled());
        QVERIFY(!d.button("btnSkip")->isEnabled());
        QCOMPARE(messages.shown.size(), std::size_t{1});
        QCOMPARE(recordWithoutTimes(), firstRun + secondRun);
    }

    // A record that is some other file (the sheet itself) is neither read nor
    // written: the dialog says so and programs nothing.
    void aFileThatIsNoRecordStopsTheRunBeforeItStarts() {
        RecordingMessages messages;
        const QString sheet = folder->filePath(QStringLiteral("fleet.csv"));
        {
            QFile file(sheet);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("label,T1[1]\nunit A,1000\n");
        }
        TFleetProgramDialog dialog(pagers, sheet.toStdString(), base(), board->slavePath(),
                                   messages, kTestLinkTiming);
        DialogDriver d(dialog);
        QVERIFY(d.seat().startsWith(QStringLiteral("The record cannot be used: ") + sheet +
                                    QStringLiteral(" is not a record")));
        QVERIFY(!d.button("btnProgram")->isEnabled());
        QVERIFY(!d.button("btnSkip")->isEnabled());
        QCOMPARE(fileText(sheet), QStringLiteral("label,T1[1]\nunit A,1000\n"));
        QVERIFY(board->requests().empty());
    }

private:
    // The record with each time, local with its offset, as T.
    QString recordWithoutTimes() const {
        static const QRegularExpression time(
            QStringLiteral(R"(,\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d,)"));
        return fileText(record).replace(time, QStringLiteral(",T,"));
    }
    std::filesystem::path base() const {
        return folder->filePath(QStringLiteral("base.tbl")).toStdString();
    }

    std::unique_ptr<BoardEmulator> board;
    std::unique_ptr<QTemporaryDir> folder;
    QString record;
    std::vector<FleetPager> pagers{row(1, "unit A"), row(2, "unit B, spare"), row(3, "unit C")};
};

PX520_GUI_TEST_MAIN(FleetProgramDialogTest)

#include "FleetProgramDialogTest.moc"
