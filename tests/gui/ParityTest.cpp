// The window and px520-cli share one rule set: the same table file opened in
// both gives the same working image, the same text entered in both gives the
// same bytes or the same refusal, and a Write from either stores the same
// pager memory.

#include "SettingsDriver.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"
#include "rules/BehaviourRules.h"
#include "rules/DisplayPass.h"
#include "rules/FieldEntry.h"
#include "rules/FrequencyDigits.h"
#include "rules/Synthesizer.h"
#include "sim/BoardEmulator.h"

#include <QAction>
#include <QProcess>
#include <QRadioButton>

#include <map>

namespace {

std::uint8_t bit(int tag) {
    return static_cast<std::uint8_t>(1U << (tag - 1));
}

ConfigImage taggedDefault() {
    ConfigImage image = defaultImage();
    storeVersionTag(image, makeVersionTag(kWindowCaption));
    return image;
}

// Starting files, agreeing with the rules and not: stale synthesizer words in
// each band, Push To Listen with a revert reset method, privacy with and
// without Push To Listen, a reminder between the items, every call on.
std::map<QString, ConfigImage> startingFiles() {
    std::map<QString, ConfigImage> files;
    const ConfigImage base = taggedDefault();
    files["default"] = base;

    ConfigImage agreeing = base;
    applyDisplayPass(agreeing);
    files["agreeing"] = agreeing;

    ConfigImage lowStale = agreeing;
    storeFrequency(lowStale, frequencyDigits(1590125));
    files["low band, stale words"] = lowStale;

    ConfigImage highStale = agreeing;
    storeFrequency(highStale, frequencyDigits(4620125));
    highStale[field::CSpace] = 0;
    files["high band, stale words"] = highStale;

    ConfigImage revert = agreeing;
    revert[field::SystemFlags] |= bit(field::SYSPTL);
    revert[field::ResetCon] = 2;
    files["Push To Listen, Revert SQ"] = revert;

    ConfigImage privacyPtl = agreeing;
    privacyPtl[field::SystemFlags] |= bit(field::SYSPrivacy) | bit(field::SYSPTL);
    files["privacy with Push To Listen"] = privacyPtl;

    ConfigImage privacy = agreeing;
    privacy[field::SystemFlags] |= bit(field::SYSPrivacy);
    privacy[field::ResetCon] = 5;
    files["privacy, Delay AUTO N with Revert"] = privacy;

    // Every control enabled: all calls on, full-time monitor on.
    ConfigImage mixed = lowStale;
    mixed[field::SystemFlags] |= bit(field::SYSPTL);
    mixed[field::ResetCon] = 5;
    mixed[field::Reminder] = 100;
    mixed[field::Duty] |= 0x0F;
    mixed[field::GDuty] |= 0x03;
    writeBits(mixed, field::FullTimeAutoMonitor, 1);
    files["mixed"] = mixed;
    return files;
}

QByteArray bytesOf(const ConfigImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const ConfigImage& image) {
    QCOMPARE(saveTableFile(path.toStdString(), image), 0);
}

// Runs px520-cli to its end; its exit code.
int runCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(PX520_CLI_PROGRAM), arguments);
    if (!cli.waitForFinished(60000)) {
        return -1;
    }
    return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
}

// The window opens the file with Ctrl+O, as a user does.
void openInWindow(WindowFixture& f, const QString& path) {
    f.dialogs.answers = {path};
    QTest::keyClick(&f.window(), Qt::Key_O, Qt::ControlModifier);
    f.settle();
}

// The low band's frequencies start with 1; another band is picked first, as
// a user picks it before typing a frequency of that band.
void pickBandOf(WindowFixture& f, const QString& frequency) {
    auto* range = f.find<QComboBox>("cboRangeFreq");
    const int band = frequency.startsWith(QLatin1Char('1')) ? 0 : 1;
    if (range->currentIndex() != band) {
        pick(f, range, band);
    }
}

// Enters the text in the control as the user does: typed and left with Tab,
// picked from the list, or the box clicked when it is not as asked. False
// when the control is disabled or its list lacks the item, so the user
// cannot enter it.
bool enterInWindow(WindowFixture& f, const QString& control, const QString& text) {
    QWidget* widget = f.find<QWidget>(control.toLatin1().constData());
    // SYSPTL is the on/off half of the Push To Listen list; on keeps the mode.
    if (control == QLatin1String("cboPTL") && (text == "on" || text == "off")) {
        const bool mode = readBits(f.image(), field::PTL) != 0;
        if (!widget->isEnabled()) {
            return false;
        }
        pick(f, static_cast<QComboBox*>(widget),
             behaviour::pushToListenItem(text == QLatin1String("on"), mode));
        return true;
    }
    // The alert types and times are hidden; the rule behind them is tested
    // all the same.
    widget->show();
    if (!widget->isEnabled()) {
        return false;
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        if (box->isChecked() != (text == QLatin1String("on"))) {
            click(f, box);
        }
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        // An item the list does not offer cannot be picked.
        if (list->findText(text) < 0) {
            return false;
        }
        pick(f, list, text);
    } else {
        if (control == QLatin1String("edtFreq")) {
            pickBandOf(f, text);
        }
        f.typeAndTab(widget, text);
    }
    return true;
}

} // namespace

class ParityTest : public QObject {
    Q_OBJECT

private slots:
    // Open then Save in the window, set FILE -o OUT with no change on the
    // command line: the same bytes. What the window showed before makes no
    // difference: after a file with privacy on, a file with privacy and Push
    // To Listen both off keeps Push To Listen off, as on the command line.
    void aFileOpensToTheSameImage_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("openBefore");
        for (const auto& [name, image] : startingFiles()) {
            QTest::newRow(name.toUtf8().constData()) << name << QString();
            QTest::newRow(("after privacy, " + name).toUtf8().constData())
                << name << QStringLiteral("privacy with Push To Listen");
        }
    }
    void aFileOpensToTheSameImage() {
        QFETCH(QString, file);
        QFETCH(QString, openBefore);
        WindowFixture f;
        if (!openBefore.isEmpty()) {
            const QString before = f.workFolder().filePath("before.tbl");
            writeFile(before, startingFiles().at(openBefore));
            openInWindow(f, before);
        }
        const QString path = f.workFolder().filePath("start.tbl");
        writeFile(path, startingFiles().at(file));

        openInWindow(f, path);
        const QString saved = f.workFolder().filePath("window.tbl");
        f.dialogs.answers = {saved};
        f.find<QAction>("SaveAs1")->trigger();
        f.settle();

        const QString cliOut = f.workFolder().filePath("cli.tbl");
        QCOMPARE(runCli({"set", path, "-o", cliOut}), 0);
        QCOMPARE(readFile(cliOut), readFile(saved));
        QCOMPARE(readFile(saved).size(), 256);
    }

    // A Write after Open in the window and px520-cli write of the same file
    // leave two pagers with the same memory.
    void aFileWritesTheSamePager_data() {
        QTest::addColumn<QString>("file");
        for (const auto& [name, image] : startingFiles()) {
            QTest::newRow(name.toUtf8().constData()) << name;
        }
    }
    void aFileWritesTheSamePager() {
        QFETCH(QString, file);
        BoardEmulator byWindow;
        BoardEmulator byCli;
        for (BoardEmulator* board : {&byWindow, &byCli}) {
            board->setFirmware(1, 86);
            board->start();
        }
        WindowFixture f({}, {{byWindow.slavePath(), "emulated board"}});
        const QString path = f.workFolder().filePath("start.tbl");
        writeFile(path, startingFiles().at(file));

        openInWindow(f, path);
        QTest::mouseClick(f.find<QRadioButton>("RBtWrite"), Qt::LeftButton);
        f.key(&f.window(), Qt::Key_F4);
        QCOMPARE(f.messages.texts(), QStringList{"Write Sucess !"});

        QCOMPARE(runCli({"write", path, "--port", QString::fromStdString(byCli.slavePath())}), 0);
        QCOMPARE(bytesOf(byCli.memory()), bytesOf(byWindow.memory()));
    }

    // One text entered in the window's control and given to set's rules, on
    // the same opened file: the same bytes, or the same refusal and message.
    void anEntryStoresTheSameBytes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");    // as set and show name it
        QTest::addColumn<QString>("control"); // the window's control for it
        QTest::addColumn<QString>("text");

        struct Entry {
            const char* name;
            const char* control;
            const char* text;
        };
        // Every settable field, with refused values among them, on a file
        // whose controls are all enabled.
        const std::vector<Entry> everyField{
            {"Freq", "edtFreq", "1590000"},
            {"Freq", "edtFreq", "1590001"},
            {"Freq", "edtFreq", "1349999"},
            {"Freq", "edtFreq", "4620125"},
            {"CSpace", "cboCSpace", "10 K"},
            {"CSpace", "cboCSpace", "12.5 K"},
            {"Duty[2]", "chkDuty2", "off"},
            {"BandWidth", "cboBandWidth", "1.9"},
            {"Tone1Limit", "edtTone1Limit", "65535"},
            {"Tone1Len", "edtTone1Len", "65536"},
            {"Tone2Limit", "edtTone2Limit", "12"},
            {"Tone2Len", "edtTone2Len", "4"},
            {"BS_Period", "edtBS_Period", "007"},
            {"BS_Period", "edtBS_Period", "256"},
            {"BS_Duty", "edtBS_Duty", "0"},
            {"RecordMax", "cboRecordMax", "2 sections (60 second)"},
            {"RSSI", "edtRSSI", "0.5"},
            {"RSSI", "edtRSSI", "1.5"},
            {"AutoMonitor", "edtAutoMonitor", "0.5"},
            {"AutoMonitor", "edtAutoMonitor", "12.5"},
            {"AudioLock", "edtAudioLock", "2.3"},
            {"AudioLock", "edtAudioLock", "127.5"},
            {"ResetCon", "cboResetCon", "Time-Out RESET"},
            {"ResetCon", "cboResetCon", "Manual RESET"},
            {"Delay", "edtDelay", "0"},
            {"SYSSV", "chkSYSSV", "off"},
            {"SYSPTL", "cboPTL", "off"},
            {"SYSAudio", "chkSYSAudio", "off"},
            {"SYSFIX", "chkSYSFIX", "on"},
            {"SYSPow", "chkSYSPow", "on"},
            {"SYSVib", "chkSYSVib", "on"},
            {"SYSPowSave", "chkSYSPowSave", "on"},
            {"SYSPrivacy", "chkSYSPrivacy", "on"},
            {"Reminder", "cboReminder", "30  Second"},
            {"Reminder", "cboReminder", "Disable"},
            {"Tone3Len", "edtTone3Len", "50"},
            {"RFDelay", "edtRFDelay", "300"},
            {"RSSI2", "edtRSSI2", "0.96"},
            {"NoiseLimit", "edtNoiseLimit", "9"},
            {"GapMax", "edtGapMax", "256"},
            {"SSI", "edtSSI", "1"},
            {"DecorderReset", "edtDecorderReset", "127.5"},
            {"DecorderReset", "edtDecorderReset", "128"},
            {"FullTimeAutoMonitor", "chkFullTimeAutoMonitor", "off"},
            {"VolumeLevel", "chkVolumeLevel", "off"},
            {"PTL", "cboPTL", "Vibration Mode Only"},
            {"PTL", "cboPTL", "Disable"},
            {"DelayFullTime", "edtDelayFullTime", "2.47"},
            {"DelayFullTime", "edtDelayFullTime", "0.3"},
            {"Squelch", "edtSquelch", "200"},
            {"Priority[4]", "chkPriority4", "on"},
            {"AlertType[1]", "cboAlertType1", "5"},
            {"AlertTime[1]", "edtAlertTime1", "20.5"},
            {"AlertTime[3]", "edtAlertTime3", "128"},
            {"GDuty[1]", "chkGDuty1", "off"},
            {"GPriority[2]", "chkGPriority2", "on"},
            {"GAlertType[2]", "cboGAlertType2", "8"},
            {"GAlertTime[2]", "edtGAlertTime2", "3"},
            {"T1[1]", "edtT11", "1000"},
            {"T1[3]", "edtT13", "288.4"},
            {"T2[1]", "edtT21", "2500"},
            {"T2[4]", "edtT24", "707.3"},
            {"T3[1]", "edtT31", "1500"},
            {"T3[2]", "edtT32", "3000"},
        };
        // Push To Listen against privacy, and the rules that tie them, from
        // files with and without either.
        const std::vector<Entry> linked{
            {"SYSPrivacy", "chkSYSPrivacy", "on"},
            {"SYSPrivacy", "chkSYSPrivacy", "off"},
            {"SYSPTL", "cboPTL", "on"},
            {"PTL", "cboPTL", "Alert & Vibration Mode"},
            {"PTL", "cboPTL", "Disable"},
            {"ResetCon", "cboResetCon", "Revert SQ"},
            {"ResetCon", "cboResetCon", "Delay AUTO N with Revert"},
            {"CSpace", "cboCSpace", "Auto"},
            {"T1[1]", "edtT11", "1000"},
        };
        const auto add = [](const char* file, const std::vector<Entry>& entries) {
            for (const Entry& e : entries) {
                const QString row = QStringLiteral("%1: %2=%3").arg(file, e.name, e.text);
                QTest::newRow(row.toUtf8().constData()) << file << e.name << e.control << e.text;
            }
        };
        add("mixed", everyField);
        for (const char* file : {"default", "Push To Listen, Revert SQ",
                                 "privacy with Push To Listen",
                                 "privacy, Delay AUTO N with Revert"}) {
            add(file, linked);
        }
    }
    void anEntryStoresTheSameBytes() {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, control);
        QFETCH(QString, text);
        WindowFixture f;
        f.window().setAdvanceUnlocked(true);
        const QString path = f.workFolder().filePath("start.tbl");
        writeFile(path, startingFiles().at(file));
        openInWindow(f, path);
        f.messages.shown.clear();

        ConfigImage byCli = startingFiles().at(file);
        applyDisplayPass(byCli);
        QCOMPARE(bytesOf(f.image()), bytesOf(byCli));
        const ConfigImage opened = byCli;

        const auto ref = parseFieldRef(name.toStdString());
        QVERIFY(ref);
        const FieldAssignment assignment{*ref, text.toStdString()};
        const EntryResult result =
            enterFields(byCli, std::span(&assignment, 1), ToneMode::Standard);

        if (!enterInWindow(f, control, text)) {
            // What the window does not let the user enter, set refuses or
            // finds already so (Push To Listen "Disable" under privacy).
            QVERIFY2(byCli == opened, "set changes what the window does not let in");
            QVERIFY(f.image() == opened);
            return;
        }
        if (result.accepted) {
            QCOMPARE(bytesOf(f.image()), bytesOf(byCli));
            QCOMPARE(f.messages.texts(), QStringList());
        } else {
            // set changes nothing; the window may hold a pick that waits for
            // the refused field to be corrected.
            QVERIFY(byCli == opened);
            QCOMPARE(f.messages.texts(), QStringList{QString::fromStdString(result.message)});
        }
    }
};

PX520_GUI_TEST_MAIN(ParityTest)
#include "ParityTest.moc"
