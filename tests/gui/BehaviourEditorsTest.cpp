// The Setting tab in the window: system flags and what they enable, Push To
// Listen and privacy, the reset method lists, reminder, record sections,
// full-time monitor and the four half-second edits.

#include "SettingsDriver.h"

#include "model/ByteMap.h"

#include <QLabel>

namespace {

const QStringList kSixMethods{"Auto Reset",   "Delay N sec Auto Reset",
                              "Manual RESET", "Time-Out RESET",
                              "Revert SQ",    "Delay AUTO N with Revert"};
const QStringList kFourMethods = kSixMethods.mid(0, 4);
const QString kKeyTimeRange = QStringLiteral("Please insert a number between 1 to 127.5");
const QString kHalfStep = QStringLiteral("The interval is 0.5 second.");

} // namespace

class BehaviourEditorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> w;
    QComboBox* ptl = nullptr;
    QComboBox* reset = nullptr;

    int flag(int tag) { return readBits(w->image(), field::SystemFlag(tag)); }
    int ptlBit() { return readBits(w->image(), field::PTL); }
    bool delayShown() {
        return !w->find<QWidget>("edtDelay")->isHidden() &&
               !w->find<QWidget>("Label26")->isHidden() && !w->find<QWidget>("Label32")->isHidden();
    }
    bool delayHidden() {
        return w->find<QWidget>("edtDelay")->isHidden() &&
               w->find<QWidget>("Label26")->isHidden() && w->find<QWidget>("Label32")->isHidden();
    }
    // The controls that privacy takes away, with the check box itself.
    QList<QWidget*> monitorControls() {
        QList<QWidget*> all;
        for (const char* name : {"chkSYSAudio", "edtAudioLock", "edtAutoMonitor", "Label24",
                                 "Label31", "Label23", "Label30", "Label75", "cboPTL"}) {
            all << w->find<QWidget>(name);
        }
        return all;
    }

private slots:
    void init() {
        w = std::make_unique<WindowFixture>();
        ptl = w->find<QComboBox>("cboPTL");
        reset = w->find<QComboBox>("cboResetCon");
    }
    void cleanup() { w.reset(); }

    void resetMethodStoresItsCodeAndShowsTheDelay_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("delay");
        QTest::newRow("Auto Reset") << "Auto Reset" << 0 << false;
        QTest::newRow("Delay N sec") << "Delay N sec Auto Reset" << 1 << true;
        QTest::newRow("Manual") << "Manual RESET" << 3 << false;
        QTest::newRow("Time-Out") << "Time-Out RESET" << 4 << true;
        QTest::newRow("Revert SQ") << "Revert SQ" << 2 << false;
        QTest::newRow("Delay AUTO N") << "Delay AUTO N with Revert" << 5 << true;
    }
    void resetMethodStoresItsCodeAndShowsTheDelay() {
        QFETCH(QString, method);
        QFETCH(int, code);
        QFETCH(bool, delay);
        QCOMPARE(itemsOf(reset), kSixMethods);
        pick(*w, reset, "Time-Out RESET");
        pick(*w, reset, method);
        QCOMPARE(w->image()[field::ResetCon], code);
        QVERIFY(delay ? delayShown() : delayHidden());
    }

    void pushToListenShortensTheResetList() {
        pick(*w, reset, "Revert SQ");
        pick(*w, ptl, "Alert & Vibration Mode");
        QCOMPARE(itemsOf(reset), kFourMethods);
        QCOMPARE(reset->currentText(), QStringLiteral("Auto Reset"));
        QCOMPARE(w->image()[field::ResetCon], 0);
        QCOMPARE(flag(field::SYSPTL), 1);
        QCOMPARE(ptlBit(), 0);

        pick(*w, reset, "Time-Out RESET");
        pick(*w, ptl, "Disable");
        QCOMPARE(itemsOf(reset), kSixMethods);
        QCOMPARE(reset->currentText(), QStringLiteral("Time-Out RESET"));
        QCOMPARE(w->image()[field::ResetCon], 4);
        QVERIFY(delayShown());
        QCOMPARE(flag(field::SYSPTL), 0);
    }

    void disableKeepsTheModeBit() {
        pick(*w, ptl, "Vibration Mode Only");
        QCOMPARE(flag(field::SYSPTL), 1);
        QCOMPARE(ptlBit(), 1);
        pick(*w, ptl, "Disable");
        QCOMPARE(flag(field::SYSPTL), 0);
        QCOMPARE(ptlBit(), 1);
    }

    void privacyTakesPushToListenAndTheMonitorKeys_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("restored");
        QTest::newRow("alert and vibration") << "Alert & Vibration Mode"
                                             << "Alert & Vibration Mode";
        QTest::newRow("vibration only") << "Vibration Mode Only"
                                        << "Vibration Mode Only";
        QTest::newRow("disabled before") << "Disable"
                                         << "Alert & Vibration Mode";
    }
    void privacyTakesPushToListenAndTheMonitorKeys() {
        QFETCH(QString, mode);
        QFETCH(QString, restored);
        auto* privacy = w->find<QCheckBox>("chkSYSPrivacy");
        pick(*w, ptl, mode);

        click(*w, privacy);
        QCOMPARE(flag(field::SYSPrivacy), 1);
        QCOMPARE(ptl->currentText(), QStringLiteral("Disable"));
        QCOMPARE(flag(field::SYSPTL), 0);
        QCOMPARE(itemsOf(reset), kSixMethods);
        for (QWidget* control : monitorControls()) {
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        }

        click(*w, privacy);
        QCOMPARE(flag(field::SYSPrivacy), 0);
        QCOMPARE(ptl->currentText(), restored);
        QCOMPARE(flag(field::SYSPTL), 1);
        QCOMPARE(itemsOf(reset), kFourMethods);
        for (QWidget* control : monitorControls()) {
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        }
        QVERIFY(w->messages.shown.empty());
    }

    void audioLockTimeFollowsAudioLockUntilPrivacyIsLeft() {
        auto* audio = w->find<QCheckBox>("chkSYSAudio");
        auto* time = w->find<QWidget>("edtAudioLock");
        QVERIFY(audio->isChecked());
        click(*w, audio);
        QCOMPARE(flag(field::SYSAudio), 0);
        for (const char* name : {"edtAudioLock", "Label24", "Label31"}) {
            QVERIFY2(!w->find<QWidget>(name)->isEnabled(), name);
        }
        click(*w, audio);
        QCOMPARE(flag(field::SYSAudio), 1);
        QVERIFY(time->isEnabled());

        // Leaving privacy enables the time whatever Audio lock on says.
        click(*w, audio);
        auto* privacy = w->find<QCheckBox>("chkSYSPrivacy");
        click(*w, privacy);
        click(*w, privacy);
        QVERIFY(!audio->isChecked());
        QVERIFY(time->isEnabled());
    }

    void saveVoiceEnablesTheRecordSections() {
        auto* saveVoice = w->find<QCheckBox>("chkSYSSV");
        auto* sections = w->find<QComboBox>("cboRecordMax");
        pick(*w, sections, "2 sections (60 second)");
        QCOMPARE(w->image()[field::RecordMax], 1);
        click(*w, saveVoice);
        QCOMPARE(flag(field::SYSSV), 0);
        QVERIFY(!sections->isEnabled());
        QVERIFY(!w->find<QWidget>("Label21")->isEnabled());
        QCOMPARE(w->image()[field::RecordMax], 1);
        click(*w, saveVoice);
        QCOMPARE(flag(field::SYSSV), 1);
        QVERIFY(sections->isEnabled());
        QVERIFY(w->find<QWidget>("Label21")->isEnabled());
    }

    void plainSwitchesWriteOnlyTheirBit_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("mask");
        QTest::newRow("FIX Alert") << "chkSYSFIX" << field::SystemFlags << 0x08;
        QTest::newRow("Disable Power OFF") << "chkSYSPow" << field::SystemFlags << 0x10;
        QTest::newRow("Disable vibration") << "chkSYSVib" << field::SystemFlags << 0x20;
        QTest::newRow("Power Save Disable") << "chkSYSPowSave" << field::SystemFlags << 0x40;
        QTest::newRow("Max. Volume Level") << "chkVolumeLevel" << field::Flags << 0x08;
    }
    void plainSwitchesWriteOnlyTheirBit() {
        QFETCH(QString, box);
        QFETCH(int, pos);
        QFETCH(int, mask);
        const ConfigImage before = w->image();
        click(*w, w->find<QCheckBox>(qPrintable(box)));
        ConfigImage expected = before;
        expected[static_cast<std::size_t>(pos)] ^= static_cast<std::uint8_t>(mask);
        QVERIFY(w->image() == expected);
        click(*w, w->find<QCheckBox>(qPrintable(box)));
        QVERIFY(w->image() == before);
    }

    void fullTimeMonitorEnablesTheStandbyDelay() {
        auto* fullTime = w->find<QCheckBox>("chkFullTimeAutoMonitor");
        const QList<QWidget*> delay{w->find<QWidget>("lblStandbyToMonitorDelay"),
                                    w->find<QWidget>("edtDelayFullTime"),
                                    w->find<QWidget>("lblStandbySec")};
        QVERIFY(!fullTime->isChecked());
        click(*w, fullTime);
        QCOMPARE(readBits(w->image(), field::FullTimeAutoMonitor), 1);
        for (QWidget* control : delay) {
            QVERIFY(control->isEnabled());
        }
        click(*w, fullTime);
        QCOMPARE(readBits(w->image(), field::FullTimeAutoMonitor), 0);
        for (QWidget* control : delay) {
            QVERIFY(!control->isEnabled());
        }
    }

    void reminderStoresHalfSeconds_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("stored");
        QTest::newRow("Disable") << "Disable" << 0;
        QTest::newRow("30") << "30  Second" << 60;
        QTest::newRow("60") << "60  Second" << 120;
        QTest::newRow("120") << "120 Second" << 240;
    }
    void reminderStoresHalfSeconds() {
        QFETCH(QString, item);
        QFETCH(int, stored);
        pick(*w, w->find<QComboBox>("cboReminder"), item);
        QCOMPARE(w->image()[field::Reminder], stored);
    }

    void storedReminderIsNormalised_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("normalised");
        QTest::newRow("1") << 1 << "30  Second" << 60;
        QTest::newRow("100") << 100 << "60  Second" << 120;
        QTest::newRow("200") << 200 << "120 Second" << 240;
        QTest::newRow("0") << 0 << "Disable" << 0;
    }
    void storedReminderIsNormalised() {
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, normalised);
        w->image()[field::Reminder] = static_cast<std::uint8_t>(stored);
        w->window().showImage();
        QCOMPARE(w->find<QComboBox>("cboReminder")->currentText(), shown);
        QCOMPARE(w->image()[field::Reminder], normalised);
    }

    void halfSecondEdits_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<int>("stored");      // accepted only
        QTest::addColumn<QString>("shown");   // accepted and off-step
        QTest::newRow("auto monitor 0.5")
            << "edtAutoMonitor" << field::AutoMonitor << "0.5" << kKeyTimeRange << 0 << "";
        QTest::newRow("auto monitor 1") << "edtAutoMonitor" << field::AutoMonitor << "1"
                                        << "" << 2 << "1.0";
        QTest::newRow("auto monitor 127.5") << "edtAutoMonitor" << field::AutoMonitor << "127.5"
                                            << "" << 255 << "127.5";
        QTest::newRow("auto monitor 128")
            << "edtAutoMonitor" << field::AutoMonitor << "128" << kKeyTimeRange << 0 << "";
        QTest::newRow("auto monitor 2.3")
            << "edtAutoMonitor" << field::AutoMonitor << "2.3" << kHalfStep << 0 << "3.0";
        QTest::newRow("audio lock 2.5") << "edtAudioLock" << field::AudioLock << "2.5"
                                        << "" << 5 << "2.5";
        QTest::newRow("audio lock 0")
            << "edtAudioLock" << field::AudioLock << "0" << kKeyTimeRange << 0 << "";
        QTest::newRow("delay 0") << "edtDelay" << field::Delay << "0"
                                 << "" << 0 << "0.0";
        QTest::newRow("delay 0.5") << "edtDelay" << field::Delay << "0.5"
                                   << "" << 1 << "0.5";
        QTest::newRow("delay 3") << "edtDelay" << field::Delay << "3"
                                 << "" << 6 << "3.0";
        QTest::newRow("delay 130")
            << "edtDelay" << field::Delay << "130" << kKeyTimeRange << 0 << "";
        QTest::newRow("standby 2.50") << "edtDelayFullTime" << field::DelayFullTime << "2.50"
                                      << "" << 5 << "2.5";
        QTest::newRow("standby 0") << "edtDelayFullTime" << field::DelayFullTime << "0"
                                   << "" << 0 << "0.0";
        QTest::newRow("standby 2.3")
            << "edtDelayFullTime" << field::DelayFullTime << "2.3" << kHalfStep << 0 << "6.0";
    }
    void halfSecondEdits() {
        QFETCH(QString, edit);
        QFETCH(int, pos);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        // The delay edits are reachable only when their rule shows or enables them.
        pick(*w, reset, "Delay N sec Auto Reset");
        click(*w, w->find<QCheckBox>("chkFullTimeAutoMonitor"));
        TEdit* field = w->edit(qPrintable(edit));
        const ConfigImage before = w->image();

        w->typeAndTab(field, typed);
        if (message.isEmpty()) {
            QVERIFY(w->messages.shown.empty());
            QCOMPARE(w->image()[static_cast<std::size_t>(pos)], stored);
            QCOMPARE(field->text(), shown);
            QVERIFY(w->focused() != field);
            return;
        }
        QCOMPARE(w->messages.texts(), QStringList{message});
        QCOMPARE(w->messages.shown[0].kind, MessageKind::Exclamation);
        QVERIFY(w->image() == before);
        if (message == kHalfStep) {
            // The stored value again, and the focus goes on.
            QCOMPARE(field->text(), shown);
            QVERIFY(w->focused() != field);
        } else {
            QCOMPARE(w->focused(), field);
            QCOMPARE(field->text(), QString());
        }
    }
};

PX520_GUI_TEST_MAIN(BehaviourEditorsTest)
#include "BehaviourEditorsTest.moc"
