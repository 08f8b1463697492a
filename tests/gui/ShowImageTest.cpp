// The display pass on the real window: every control shows its field, the
// click rules of changed check boxes run once, combo boxes run none, and the
// values the rules normalise are stored back.

#include "WindowFixture.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <functional>

namespace {

constexpr std::uint8_t bit(int tag) {
    return static_cast<std::uint8_t>(1U << (tag - 1));
}

// Changes the working image and shows it, as Open or Read do.
void display(WindowFixture& f, const std::function<void(ConfigImage&)>& change) {
    change(f.image());
    f.window().showImage();
    WindowFixture::settle();
}

bool systemFlag(const ConfigImage& image, int tag) {
    return (image[field::SystemFlags] & bit(tag)) != 0;
}

} // namespace

class ShowImageTest : public QObject {
    Q_OBJECT

    QString textOf(WindowFixture& f, const QString& name) {
        QWidget* w = f.find<QWidget>(name.toLatin1().constData());
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            return edit->text();
        }
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            return box->currentText();
        }
        return qobject_cast<QLabel*>(w)->text();
    }

private slots:
    void defaultImageIsShown_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        const std::initializer_list<std::pair<const char*, const char*>> rows = {
            {"edtVersion", "0.0"},
            {"edtFreq", "1590000"},
            {"cboRangeFreq", "135-174 MHz"},
            {"cboCSpace", "Auto"},
            {"lblPLLR", "00008011"},
            {"lblPLLN", "000AC000"},
            {"lblMUTL", "1"},
            {"cboBandWidth", "1.5"},
            {"edtBS_Period", "15"},
            {"edtBS_Duty", "1"},
            {"edtRSSI", "0.71"},
            {"edtRSSI2", "0.96"},
            {"edtSSI", "0.80"},
            {"edtRFDelay", "35"},
            {"edtTone1Len", "3"},
            {"edtTone2Len", "3"},
            {"edtTone1Limit", "1"},
            {"edtTone2Limit", "1"},
            {"edtTone3Len", "50"},
            {"cboResetCon", "Auto Reset"},
            {"edtDelay", "8.0"},
            {"edtAutoMonitor", "3.0"},
            {"edtAudioLock", "6.0"},
            {"cboReminder", "120 Second"},
            {"cboRecordMax", "4 sections (30 second)"},
            {"cboPTL", "Disable"},
            {"edtDecorderReset", "30.0"},
            {"edtGapMax", "5"},
            {"edtNoiseLimit", "1"},
            {"edtSquelch", "7"},
            {"edtDelayFullTime", "6.0"},
            {"edtT11", "669.9"},
            {"edtT21", "707.3"},
            {"edtT12", "433.7"},
            {"edtT22", "788.5"},
            {"edtT13", "832.5"},
            {"edtT23", "510.5"},
            {"edtT14", "539.0"},
            {"edtT24", "1122.5"},
            {"edtT31", "330.5"},
            {"edtT32", "600.9"},
            {"cboAlertType1", "0"},
            {"cboGAlertType2", "0"},
            {"edtAlertTime4", "0.0"},
            {"edtGAlertTime1", "0.0"},
        };
        for (const auto& [control, shown] : rows) {
            QTest::newRow(control) << QString::fromLatin1(control) << QString::fromLatin1(shown);
        }
    }
    void defaultImageIsShown() {
        QFETCH(QString, control);
        QFETCH(QString, shown);
        WindowFixture f;
        QCOMPARE(textOf(f, control), shown);
    }

    void defaultImageSetsSwitchesAndEnabling() {
        WindowFixture f;
        const auto checked = [&f](const char* name) {
            return f.find<QCheckBox>(name)->isChecked();
        };
        const auto enabled = [&f](const char* name) { return f.find<QWidget>(name)->isEnabled(); };
        QVERIFY(checked("chkVolumeLevel"));
        QVERIFY(!checked("chkFullTimeAutoMonitor"));
        QVERIFY(!enabled("edtDelayFullTime"));
        QVERIFY(!enabled("lblStandbyToMonitorDelay"));
        QVERIFY(checked("chkSYSSV"));
        QVERIFY(checked("chkSYSAudio"));
        QVERIFY(!checked("chkSYSPrivacy"));
        QVERIFY(enabled("cboRecordMax"));
        QVERIFY(enabled("edtAudioLock"));
        QVERIFY(enabled("cboPTL"));
        QVERIFY(f.find<QWidget>("edtDelay")->isHidden());
        QVERIFY(f.find<QWidget>("Label26")->isHidden());
        QVERIFY(f.find<QWidget>("Label32")->isHidden());

        QVERIFY(checked("chkDuty1"));
        for (const char* name : {"edtT11", "edtT21", "chkPriority1", "cboAlertType1"}) {
            QVERIFY2(enabled(name), name);
        }
        for (const char* name : {"chkDuty2", "chkDuty3", "chkDuty4", "chkGDuty1", "chkGDuty2"}) {
            QVERIFY2(!checked(name), name);
            QVERIFY2(enabled(name), name);
        }
        for (const char* name : {"edtT12", "edtT22", "chkPriority2", "edtT13", "edtT24",
                                 "edtAlertTime4", "cboAlertType3", "edtT31", "edtT32",
                                 "chkGPriority1", "cboGAlertType2", "edtGAlertTime2"}) {
            QVERIFY2(!enabled(name), name);
        }
        // Only the channel words follow from the default frequency and step;
        // the reminder, reset method and Push To Listen bits are already normal.
        ConfigImage expected = defaultImage();
        writeDword(expected, field::PLLR, 0x00008011);
        writeDword(expected, field::PLLN, 0x000AC000);
        for (int pos = field::VersionTag; pos < field::Checksum; ++pos) {
            expected[pos] = f.image()[pos];
        }
        QCOMPARE(f.image(), expected);
    }

    void resetMethodIsShownWithItsDelayControls_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("delayShown");
        QTest::newRow("0") << 0 << "Auto Reset" << false;
        QTest::newRow("1") << 1 << "Delay N sec Auto Reset" << true;
        QTest::newRow("2") << 2 << "Revert SQ" << false;
        QTest::newRow("3") << 3 << "Manual RESET" << false;
        QTest::newRow("4") << 4 << "Time-Out RESET" << true;
        QTest::newRow("5") << 5 << "Delay AUTO N with Revert" << true;
        QTest::newRow("no item") << 9 << "" << false;
    }
    void resetMethodIsShownWithItsDelayControls() {
        QFETCH(int, code);
        QFETCH(QString, item);
        QFETCH(bool, delayShown);
        WindowFixture f;
        display(f, [code](ConfigImage& image) {
            image[field::ResetCon] = static_cast<std::uint8_t>(code);
        });
        QCOMPARE(f.find<QComboBox>("cboResetCon")->currentText(), item);
        QCOMPARE(f.find<QComboBox>("cboResetCon")->count(), 6);
        for (const char* name : {"edtDelay", "Label26", "Label32"}) {
            QVERIFY2(f.find<QWidget>(name)->isHidden() != delayShown, name);
        }
        QCOMPARE(f.image()[field::ResetCon], code);
    }

    void reminderIsShownByRangeAndStoredBackNormalised_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("normalised");
        QTest::newRow("0") << 0 << "Disable" << 0;
        QTest::newRow("1") << 1 << "30  Second" << 60;
        QTest::newRow("89") << 89 << "30  Second" << 60;
        QTest::newRow("90") << 90 << "60  Second" << 120;
        QTest::newRow("100") << 100 << "60  Second" << 120;
        QTest::newRow("179") << 179 << "60  Second" << 120;
        QTest::newRow("180") << 180 << "120 Second" << 240;
        QTest::newRow("255") << 255 << "120 Second" << 240;
    }
    void reminderIsShownByRangeAndStoredBackNormalised() {
        QFETCH(int, stored);
        QFETCH(QString, item);
        QFETCH(int, normalised);
        WindowFixture f;
        display(f, [stored](ConfigImage& image) {
            image[field::Reminder] = static_cast<std::uint8_t>(stored);
        });
        QCOMPARE(f.find<QComboBox>("cboReminder")->currentText(), item);
        QCOMPARE(f.image()[field::Reminder], normalised);
    }

    void valuesOutsideAListShowAnEmptyComboAndStayStored() {
        WindowFixture f;
        display(f, [](ConfigImage& image) {
            image[field::BandWidth] = 16;
            image[field::RecordMax] = 3;
            image[field::CallRecord(1)] = 0x89; // priority, alert type 9
            image[field::CallRecord(2)] = 0x41; // bit 6 is shown as part of the type
            image[field::GroupRecord(2)] = 0x88;
        });
        for (const char* name :
             {"cboBandWidth", "cboRecordMax", "cboAlertType1", "cboAlertType2"}) {
            QCOMPARE(f.find<QComboBox>(name)->currentIndex(), -1);
            QCOMPARE(f.find<QComboBox>(name)->currentText(), QString());
        }
        QCOMPARE(f.find<QComboBox>("cboGAlertType2")->currentText(), QStringLiteral("8"));
        QVERIFY(f.find<QCheckBox>("chkPriority1")->isChecked());
        QVERIFY(!f.find<QCheckBox>("chkPriority2")->isChecked());
        QVERIFY(f.find<QCheckBox>("chkGPriority2")->isChecked());
        QCOMPARE(f.image()[field::BandWidth], 16);
        QCOMPARE(f.image()[field::RecordMax], 3);
        QCOMPARE(f.image()[field::CallRecord(1)], 0x89);
        QCOMPARE(f.image()[field::CallRecord(2)], 0x41);
        QCOMPARE(f.image()[field::GroupRecord(2)], 0x88);
    }

    void lowBatteryShowsItsFiveCodesAndKeepsItsItemOtherwise() {
        WindowFixture f;
        auto* box = f.find<QComboBox>("cboBatteryLow");
        display(f, [](ConfigImage& image) { image[field::BatteryLow] = 98; });
        QCOMPARE(box->currentText(), QStringLiteral("1.14 v"));
        display(f, [](ConfigImage& image) { image[field::BatteryLow] = 97; });
        QCOMPARE(box->currentText(), QStringLiteral("1.14 v"));
        display(f, [](ConfigImage& image) { image[field::BatteryLow] = 102; });
        QCOMPARE(box->currentText(), QStringLiteral("1.20 v"));
    }

    void numbersAreShownInTheirFormats() {
        WindowFixture f;
        display(f, [](ConfigImage& image) {
            writeWord(image, field::T1(3), 0);
            writeWord(image, field::T3(2), 24682);
            writeWord(image, field::Tone2Limit, 65535);
            image[field::VersionMajor] = 1;
            image[field::VersionMinor] = 83;
            image[field::RSSI] = 255;
            image[field::DecorderReset] = 255;
            image[field::GAlertTime(2)] = 5;
        });
        QCOMPARE(f.edit("edtT13")->text(), QStringLiteral("00.0"));
        QCOMPARE(f.edit("edtT32")->text(), QStringLiteral("2468.2"));
        QCOMPARE(f.edit("edtTone2Limit")->text(), QStringLiteral("65535"));
        QCOMPARE(f.find<QLineEdit>("edtVersion")->text(), QStringLiteral("1.83"));
        QCOMPARE(f.edit("edtRSSI")->text(), QStringLiteral("3.00"));
        QCOMPARE(f.edit("edtDecorderReset")->text(), QStringLiteral("127.5"));
        QCOMPARE(f.edit("edtGAlertTime2")->text(), QStringLiteral("2.5"));
    }

    void callSwitchesFollowTheImageWithTheirControls() {
        WindowFixture f;
        display(f, [](ConfigImage& image) {
            image[field::Duty] = 0x0C;  // calls 3 and 4
            image[field::GDuty] = 0x02; // group call 2
        });
        const auto checked = [&f](const char* name) {
            return f.find<QCheckBox>(name)->isChecked();
        };
        const auto enabled = [&f](const char* name) { return f.find<QWidget>(name)->isEnabled(); };
        QVERIFY(!checked("chkDuty1"));
        QVERIFY(!enabled("edtT11"));
        QVERIFY(!enabled("chkPriority1"));
        QVERIFY(checked("chkDuty3"));
        QVERIFY(enabled("edtT23"));
        QVERIFY(enabled("cboAlertType4"));
        QVERIFY(checked("chkGDuty2"));
        QVERIFY(enabled("edtT32"));
        QVERIFY(enabled("edtGAlertTime2"));
        QVERIFY(!enabled("edtT31"));
        QCOMPARE(f.image()[field::Duty], 0x0C);
        QCOMPARE(f.image()[field::GDuty], 0x02);
    }

    void displayPassEnablesCallControlsAgainInWriteMode() {
        WindowFixture f;
        QTest::mouseClick(f.find<QWidget>("RBtWrite"), Qt::LeftButton);
        WindowFixture::settle();
        QVERIFY(!f.find<QWidget>("edtT11")->isEnabled());
        f.window().showImage();
        QVERIFY(f.find<QWidget>("edtT11")->isEnabled());
        QVERIFY(!f.find<QWidget>("edtT12")->isEnabled());
    }

    void privacyDisablesTheMonitorControlsWhateverAudioLockSays_data() {
        QTest::addColumn<bool>("audioLock");
        QTest::newRow("audio lock on") << true;
        QTest::newRow("audio lock off") << false;
    }
    void privacyDisablesTheMonitorControlsWhateverAudioLockSays() {
        QFETCH(bool, audioLock);
        WindowFixture f;
        display(f, [audioLock](ConfigImage& image) {
            image[field::SystemFlags] = static_cast<std::uint8_t>(
                bit(field::SYSPrivacy) | (audioLock ? bit(field::SYSAudio) : 0));
        });
        for (const char* name : {"chkSYSAudio", "edtAudioLock", "edtAutoMonitor", "Label24",
                                 "Label31", "Label23", "Label30", "Label75", "cboPTL"}) {
            QVERIFY2(!f.find<QWidget>(name)->isEnabled(), name);
        }
        QCOMPARE(f.find<QCheckBox>("chkSYSAudio")->isChecked(), audioLock);
        // Save voice is off: its record sections go with it.
        QVERIFY(!f.find<QWidget>("cboRecordMax")->isEnabled());
        QVERIFY(!f.find<QWidget>("Label21")->isEnabled());
    }

    void withoutPrivacyTheAudioLockTimeIsEnabledEvenWithAudioLockOff() {
        WindowFixture f;
        display(f, [](ConfigImage& image) { image[field::SystemFlags] = bit(field::SYSSV); });
        QVERIFY(!f.find<QCheckBox>("chkSYSAudio")->isChecked());
        QVERIFY(f.find<QWidget>("edtAudioLock")->isEnabled());
        QVERIFY(f.find<QWidget>("Label24")->isEnabled());
        QVERIFY(f.find<QWidget>("chkSYSAudio")->isEnabled());
    }

    // Privacy Enable in the image switches Push To Listen off, whatever the
    // window showed before: one file always becomes one image.
    void privacyInTheImageSwitchesPushToListenOffEachTime() {
        WindowFixture f;
        auto* privacy = f.find<QCheckBox>("chkSYSPrivacy");
        auto* ptl = f.find<QComboBox>("cboPTL");
        const auto bothSet = [](ConfigImage& image) {
            image[field::SystemFlags] |= bit(field::SYSPrivacy) | bit(field::SYSPTL);
        };
        for (int shown = 1; shown <= 2; ++shown) {
            display(f, bothSet);
            QVERIFY(privacy->isChecked());
            QCOMPARE(ptl->currentText(), QStringLiteral("Disable"));
            QVERIFY(!systemFlag(f.image(), field::SYSPTL));
            QCOMPARE(f.find<QComboBox>("cboResetCon")->count(), 6);
            QVERIFY(!ptl->isEnabled());
        }
    }

    // An image with privacy and Push To Listen off keeps Push To Listen off,
    // also when the image shown before had privacy on.
    void withoutPrivacyPushToListenStaysAsStoredWhateverWasShownBefore_data() {
        QTest::addColumn<bool>("ptlMode");
        QTest::newRow("PTL clear") << false;
        QTest::newRow("PTL set") << true;
    }
    void withoutPrivacyPushToListenStaysAsStoredWhateverWasShownBefore() {
        QFETCH(bool, ptlMode);
        WindowFixture f;
        display(f, [](ConfigImage& image) { image[field::SystemFlags] |= bit(field::SYSPrivacy); });
        QVERIFY(f.find<QCheckBox>("chkSYSPrivacy")->isChecked());

        display(f, [ptlMode](ConfigImage& image) {
            image[field::SystemFlags] &=
                static_cast<std::uint8_t>(~(bit(field::SYSPrivacy) | bit(field::SYSPTL)));
            writeBits(image, field::PTL, ptlMode ? 1 : 0);
        });
        QVERIFY(!f.find<QCheckBox>("chkSYSPrivacy")->isChecked());
        QCOMPARE(f.find<QComboBox>("cboPTL")->currentText(), QStringLiteral("Disable"));
        QVERIFY(f.find<QComboBox>("cboPTL")->isEnabled());
        QVERIFY(!systemFlag(f.image(), field::SYSPTL));
        QCOMPARE(readBits(f.image(), field::PTL), ptlMode ? 1 : 0);
    }

    void pushToListenShortensTheResetListAndDropsTheRevertMethods() {
        WindowFixture f;
        display(f, [](ConfigImage& image) {
            image[field::SystemFlags] |= bit(field::SYSPTL);
            image[field::ResetCon] = 5;
        });
        auto* reset = f.find<QComboBox>("cboResetCon");
        QCOMPARE(reset->count(), 4);
        QCOMPARE(reset->currentText(), QStringLiteral("Auto Reset"));
        QCOMPARE(f.image()[field::ResetCon], 0);
        QVERIFY(f.find<QWidget>("edtDelay")->isHidden());
    }
};

PX520_GUI_TEST_MAIN(ShowImageTest)
#include "ShowImageTest.moc"
