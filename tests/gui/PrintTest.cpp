// Print and Export PDF: the pages are checked through the text pdftotext
// takes out of the file written.

#include "ModalDriver.h"
#include "WindowFixture.h"

#include "rules/PrintDocument.h"
#include "window/DocumentPrint.h"

#include <QAction>
#include <QFile>
#include <QProcess>

namespace {

// The PDF's text in reading order, one space between words, so that a cell
// wrapped on the page still reads as one.
QString pdfText(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-raw"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0) {
        qWarning("pdftotext failed: %s", pdftotext.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    // Export PDF... of the window: every field by caption and value, the
    // value being typed included, the heading row on every page.
    void theWindowExportsItsConfigurationAsPdf() {
        WindowFixture f;
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("42"));
        const QString path = f.workFolder().filePath(QStringLiteral("shop.pdf"));
        f.dialogs.answers.push_back(path);
        f.find<QAction>("ExportPdf1")->trigger();
        QCOMPARE(f.dialogs.asked.back().defaultSuffix, QStringLiteral("pdf"));
        QCOMPARE(f.dialogs.asked.back().fileName, QStringLiteral("default.pdf"));
        QVERIFY(f.messages.shown.empty());
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("default.tbl")));
        QVERIFY(text.contains(QStringLiteral("Battery Save 42 x 10 ms")));
        QVERIFY(text.contains(QStringLiteral("Decoder Bandwidth 1.5 %")));
        QVERIFY(text.contains(QStringLiteral("Frequency 1590000 x 100 Hz")));
        QVERIFY(text.count(QStringLiteral("Field Value")) > 1);
    }

    // Print... (Ctrl+P) shows the pages in the print preview, named after the
    // file.
    void printShowsThePreview() {
        WindowFixture f;
        QString title;
        ModalWatcher watcher([&title](QDialog& dialog) {
            title = dialog.windowTitle();
            dialog.reject();
        });
        f.enter(f.edit("edtFreq"));
        f.key(f.edit("edtFreq"), Qt::Key_P, Qt::ControlModifier);
        QTRY_COMPARE(watcher.seen, QStringList{QStringLiteral("QPrintPreviewDialog")});
        QCOMPARE(title, QStringLiteral("Print default.tbl"));
        QVERIFY(f.messages.shown.empty());
    }

    // A file that cannot be written is said, and nothing is left behind.
    void aPdfThatCannotBeWrittenIsSaid() {
        WindowFixture f;
        const QString path = f.workFolder().filePath(QStringLiteral("no-folder/shop.pdf"));
        f.dialogs.answers.push_back(path);
        f.find<QAction>("ExportPdf1")->trigger();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Stop);
        QVERIFY(f.messages.shown[0].text.startsWith(QStringLiteral("Cannot write ") + path));
        QVERIFY(!QFile::exists(path));
    }

    // The fleet's document: each row's calls, group calls, bandwidth and
    // when it was verified.
    void aFleetPrintsItsRows() {
        QTemporaryDir folder;
        const FleetPrintRow rows[] = {
            {1,
             "unit A",
             {15, {{CallKind::Individual, 1, 10069, 7073}, {CallKind::Group, 1, 12000, 0}}},
             FleetRecordLine{1, "unit A", RecordResult::Verified, "2026-12-11T09:25:47+01:00",
                             "1.86", ""}},
            {2, "unit B, spare", {31, {{CallKind::Individual, 1, 15135, 7073}}}, std::nullopt},
        };
        const QString path = folder.filePath(QStringLiteral("fleet.pdf"));
        QCOMPARE(writePdf(fleetDocument("fleet.csv", rows), path), std::nullopt);
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("PX520 fleet: 2 pagers")));
        QVERIFY(text.contains(
            QStringLiteral("1 unit A CALL #1: 1006.9 Hz, 707.3 Hz Group CALL #1: 1200.0 Hz 1.5 % "
                           "2026-12-11 09:25 (firmware 1.86)")));
        QVERIFY(text.contains(
            QStringLiteral("2 unit B, spare CALL #1: 1513.5 Hz, 707.3 Hz 3.1 % not written")));
    }
};

PX520_GUI_TEST_MAIN(PrintTest)

#include "PrintTest.moc"
