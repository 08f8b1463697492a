// The CALL tab and the tone timing words on the real window: tone entry in
// both modes with its codes, the Tone Table targets and the F9 prompt, call
// switches, priority bits, the hidden alert controls and the word exits.

#include "ModalDriver.h"
#include "WindowFixture.h"

#include "model/ByteMap.h"
#include "window/FieldFocus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

namespace {

const QString kStandardRange = QStringLiteral("Please insert a number between 288.5 to 2468.2");
const QString kUserRange = QStringLiteral("Please insert a number between 280 to 3500.0");
const QString kWordRange = QStringLiteral("Please insert a number between 0 to 65535");

// Where a tone edit keeps its tone and its code.
struct TonePlace {
    int tone;
    int code;
};

TonePlace placeOf(const QString& edit) {
    const int n = edit.right(1).toInt();
    if (edit.startsWith(QLatin1String("edtT1"))) {
        return {field::T1(n), field::T1Code(n)};
    }
    if (edit.startsWith(QLatin1String("edtT2"))) {
        return {field::T2(n), field::T2Code(n)};
    }
    return {field::T3(n), field::T3Code(n)};
}

void chooseUserMode(WindowFixture& f, bool user) {
    QTest::mouseClick(f.find<QRadioButton>(user ? "radUser" : "radStandard"), Qt::LeftButton);
    WindowFixture::settle();
}

} // namespace

class CallEditorsTest : public QObject {
    Q_OBJECT

private slots:
    void tabbingThroughAToneEditWritesNothing() {
        WindowFixture f;
        const ConfigImage before = f.image();
        auto* edit = f.edit("edtT11");
        f.enter(edit);
        QCOMPARE(edit->text(), QString());
        f.key(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), QStringLiteral("669.9"));
        QCOMPARE(f.image(), before);
        QVERIFY(f.messages.shown.empty());
    }

    // Accepted entries store the tone (snapped in Standard Mode) and its code
    // beside it, and show the stored tone.
    void acceptedToneIsStoredWithItsCode_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("user");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("tone");
        QTest::addColumn<int>("code");
        QTest::newRow("T1 669.9") << "edtT11" << false << "669.9"
                                  << "669.9" << 6699 << 0x8B0B;
        QTest::newRow("T2 707.3") << "edtT21" << false << "707.3"
                                  << "707.3" << 7073 << 0x4B95;
        QTest::newRow("group 330.5") << "edtT31" << false << "330.5"
                                     << "330.5" << 3305 << 0x8558;
        QTest::newRow("group 600.9") << "edtT32" << false << "600.9"
                                     << "600.9" << 6009 << 0x89AF;
        QTest::newRow("call 2 snaps 1000") << "edtT12" << false << "1000"
                                           << "1006.9" << 10069 << 0x908D;
        QTest::newRow("lowest standard") << "edtT11" << false << "288.5"
                                         << "288.5" << 2885 << 0x84BC;
        QTest::newRow("tie snaps up") << "edtT14" << false << "300.6"
                                      << "304.7" << 3047 << 0x850C;
        QTest::newRow("highest standard T2") << "edtT24" << false << "2468.2"
                                             << "2468.2" << 24682 << 0x688C;
        QTest::newRow("user lowest") << "edtT11" << true << "280"
                                     << "280.0" << 2800 << 0x84A0;
        QTest::newRow("user highest T2") << "edtT21" << true << "3500"
                                         << "3500.0" << 35000 << 0x7A02;
        QTest::newRow("user no snapping") << "edtT13" << true << "2468.3"
                                          << "2468.3" << 24683 << 0xA900;
        QTest::newRow("user 1234.5") << "edtT12" << true << "1234.5"
                                     << "1234.5" << 12345 << 0x9480;
    }
    void acceptedToneIsStoredWithItsCode() {
        QFETCH(QString, edit);
        QFETCH(bool, user);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, tone);
        QFETCH(int, code);
        WindowFixture f;
        chooseUserMode(f, user);
        const int n = edit.right(1).toInt();
        // The call is switched on first so that its edits can be entered.
        auto* duty = f.find<QCheckBox>((edit.startsWith(QLatin1String("edtT3"))
                                            ? "chkGDuty" + QString::number(n)
                                            : "chkDuty" + QString::number(n))
                                           .toLatin1()
                                           .constData());
        if (!duty->isChecked()) {
            QTest::mouseClick(duty, Qt::LeftButton);
        }
        ConfigImage expected = f.image();
        const TonePlace place = placeOf(edit);
        writeWord(expected, place.tone, static_cast<std::uint16_t>(tone));
        writeWord(expected, place.code, static_cast<std::uint16_t>(code));
        auto* field = f.edit(edit.toLatin1().constData());
        f.typeAndTab(field, typed);
        QCOMPARE(field->text(), shown);
        QCOMPARE(readWord(f.image(), place.tone), tone);
        QCOMPARE(readWord(f.image(), place.code), code);
        QCOMPARE(f.image(), expected);
        QVERIFY(f.messages.shown.empty());
        QVERIFY(f.focused() != field);
    }

    // A refused tone gives one message; the edit has the focus again and is
    // empty (it was entered anew); nothing is stored.
    void refusedToneLeavesTheImageAlone_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("user");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("standard 288") << "edtT11" << false << "288" << kStandardRange;
        QTest::newRow("standard 2468.3") << "edtT11" << false << "2468.3" << kStandardRange;
        QTest::newRow("standard T2 2500") << "edtT21" << false << "2500" << kStandardRange;
        QTest::newRow("user 3500.1") << "edtT11" << true << "3500.1" << kUserRange;
        QTest::newRow("user 3600") << "edtT11" << true << "3600" << kUserRange;
        QTest::newRow("user 279.9") << "edtT21" << true << "279.9" << kUserRange;
    }
    void refusedToneLeavesTheImageAlone() {
        QFETCH(QString, edit);
        QFETCH(bool, user);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        WindowFixture f;
        chooseUserMode(f, user);
        const ConfigImage before = f.image();
        auto* field = f.edit(edit.toLatin1().constData());
        f.typeAndTab(field, typed);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.shown.front().kind, MessageKind::Exclamation);
        QCOMPARE(f.messages.shown.front().caption, QStringLiteral("PX520"));
        QCOMPARE(f.focused(), field);
        QCOMPARE(field->text(), QString());
        QCOMPARE(f.image(), before);
        // Its target is set again by the new entry.
        const int column = edit.startsWith(QLatin1String("edtT1")) ? 0 : 1;
        QCOMPARE(f.window().toneTargets()[column], 1);

        // Leaving it empty shows the stored tone again.
        f.key(field, Qt::Key_Tab);
        QCOMPARE(field->text(),
                 edit == "edtT11" ? QStringLiteral("669.9") : QStringLiteral("707.3"));
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
    }

    // A run of digits too long for a whole number is reported as a conversion
    // error; nothing is stored and the text stays for the user to correct.
    void overlongToneIsAConversionError() {
        WindowFixture f;
        const ConfigImage before = f.image();
        auto* field = f.edit("edtT21");
        f.typeAndTab(field, QStringLiteral("12345678901"));
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{"'12345678901' is not a valid integer value."});
        QCOMPARE(f.messages.shown.front().kind, MessageKind::Stop);
        QCOMPARE(field->text(), QStringLiteral("12345678901.0"));
        QCOMPARE(f.image(), before);
    }

    void refusedGroupToneShowsBothGroupTonesAgain() {
        WindowFixture f;
        QTest::mouseClick(f.find<QCheckBox>("chkGDuty1"), Qt::LeftButton);
        QTest::mouseClick(f.find<QCheckBox>("chkGDuty2"), Qt::LeftButton);
        auto* first = f.edit("edtT31");
        auto* second = f.edit("edtT32");
        const ConfigImage before = f.image();
        // An entry in the other group edit that was never committed...
        second->setText(QStringLiteral("999.9"));
        f.typeAndTab(first, QStringLiteral("2500"));
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{kStandardRange});
        // ...is replaced by the stored tone; the refused edit is entered anew.
        QCOMPARE(second->text(), QStringLiteral("600.9"));
        QCOMPARE(f.focused(), first);
        QCOMPARE(first->text(), QString());
        QCOMPARE(f.image(), before);
    }

    // Enter commits in place: a refused entry keeps the focus and gives one
    // message; TONE 1 and TONE 2 empty the edit in Standard Mode, User Mode
    // leaves the normalised text.
    void enterCommitsAndEndsTheEntry_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("user");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("textAfter");
        QTest::newRow("accepted") << "edtT21" << false << "707"
                                  << ""
                                  << "707.3";
        QTest::newRow("standard refused") << "edtT11" << false << "5" << kStandardRange << "";
        QTest::newRow("group refused") << "edtT31" << false << "5" << kStandardRange << "330.5";
        QTest::newRow("user refused") << "edtT11" << true << "3600" << kUserRange << "3600.0";
    }
    void enterCommitsAndEndsTheEntry() {
        QFETCH(QString, edit);
        QFETCH(bool, user);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, textAfter);
        WindowFixture f;
        chooseUserMode(f, user);
        QTest::mouseClick(f.find<QCheckBox>("chkGDuty1"), Qt::LeftButton);
        const ConfigImage before = f.image();
        auto* field = f.edit(edit.toLatin1().constData());
        f.enter(field);
        f.type(field, typed);
        f.key(field, Qt::Key_Return);
        WindowFixture::runDeferredWork();
        QCOMPARE(field->text(), textAfter);
        if (message.isEmpty()) {
            QVERIFY(f.messages.shown.empty());
            QCOMPARE(f.focused(), f.find<QWidget>("edtNull"));
            QCOMPARE(readWord(f.image(), field::T2(1)), 7073);
            QCOMPARE(readWord(f.image(), field::T2Code(1)), 0x4B95);
        } else {
            QCOMPARE(f.messages.texts(), QStringList{message});
            QCOMPARE(f.focused(), field);
            QCOMPARE(f.image(), before);
        }
    }

    void enteringAToneEditPointsTheToneTableAtItAlone() {
        WindowFixture f;
        auto* prompt = f.find<QLabel>("Label1");
        QVERIFY(prompt->isHidden());
        f.enter(f.edit("edtT11"));
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{1, 0, 0}));
        QVERIFY(!prompt->isHidden());
        QVERIFY(!f.find<QLabel>("Label9")->isHidden());
        QVERIFY(!f.find<QLabel>("Label2")->isHidden());
        QTest::mouseClick(f.find<QCheckBox>("chkDuty2"), Qt::LeftButton);
        f.enter(f.edit("edtT22"));
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 2, 0}));
        QTest::mouseClick(f.find<QCheckBox>("chkGDuty1"), Qt::LeftButton);
        f.enter(f.edit("edtT31"));
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 0, 1}));
    }

    // Committing a typed TONE 1 or TONE 2 hands the target back; a group
    // tone and an empty edit keep it.
    void committingClearsTheTargetOfTheFirstTwoColumns() {
        WindowFixture f;
        auto* tone1 = f.edit("edtT11");
        f.enter(tone1);
        f.type(tone1, QStringLiteral("707.3"));
        f.find<QWidget>("edtNull")->setFocus();
        WindowFixture::settle();
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 0, 0}));

        f.enter(tone1);
        f.find<QWidget>("edtNull")->setFocus();
        WindowFixture::settle();
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{1, 0, 0}));

        QTest::mouseClick(f.find<QCheckBox>("chkGDuty2"), Qt::LeftButton);
        auto* group = f.edit("edtT32");
        f.enter(group);
        f.type(group, QStringLiteral("330.5"));
        f.find<QWidget>("edtNull")->setFocus();
        WindowFixture::settle();
        QCOMPARE(readWord(f.image(), field::T3(2)), 3305);
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 0, 2}));
    }

    void userModeShowsNoF9Prompt() {
        WindowFixture f;
        chooseUserMode(f, true);
        f.enter(f.edit("edtT21"));
        QVERIFY(f.find<QLabel>("Label1")->isHidden());
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 1, 0}));
    }

    void doubleClickOpensTheToneTableInStandardModeOnly() {
        WindowFixture f;
        ModalCloser opened;
        f.enter(f.edit("edtT11"));
        QTest::mouseDClick(f.edit("edtT21"), Qt::LeftButton);
        WindowFixture::settle();
        QCOMPARE(opened.seen, QStringList{"TForm2"});
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 1, 0}));

        chooseUserMode(f, true);
        f.enter(f.edit("edtT11"));
        QTest::mouseDClick(f.edit("edtT11"), Qt::LeftButton);
        WindowFixture::settle();
        QCOMPARE(opened.seen.size(), 1);
    }

    void callSwitchEnablesItsControlsAndKeepsItsTones() {
        WindowFixture f;
        auto* duty = f.find<QCheckBox>("chkDuty3");
        const std::uint16_t tone1 = readWord(f.image(), field::T1(3));
        QTest::mouseClick(duty, Qt::LeftButton);
        QCOMPARE(f.image()[field::Duty], 0x05);
        for (const char* name :
             {"edtT13", "edtT23", "chkPriority3", "cboAlertType3", "edtAlertTime3"}) {
            QVERIFY2(f.find<QWidget>(name)->isEnabled(), name);
        }
        QTest::mouseClick(duty, Qt::LeftButton);
        QCOMPARE(f.image()[field::Duty], 0x01);
        for (const char* name :
             {"edtT13", "edtT23", "chkPriority3", "cboAlertType3", "edtAlertTime3"}) {
            QVERIFY2(!f.find<QWidget>(name)->isEnabled(), name);
        }
        QVERIFY(duty->isEnabled());
        QCOMPARE(readWord(f.image(), field::T1(3)), tone1);

        auto* group = f.find<QCheckBox>("chkGDuty2");
        f.image()[field::GDuty] = 0xF0;
        QTest::mouseClick(group, Qt::LeftButton);
        QCOMPARE(f.image()[field::GDuty], 0xF2);
        for (const char* name : {"edtT32", "chkGPriority2", "cboGAlertType2", "edtGAlertTime2"}) {
            QVERIFY2(f.find<QWidget>(name)->isEnabled(), name);
        }
        QVERIFY(!f.find<QWidget>("edtT31")->isEnabled());
    }

    void priorityBoxWritesBit7Only_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("duty");
        QTest::addColumn<int>("pos");
        QTest::newRow("call 1") << "chkPriority1"
                                << "" << field::CallRecord(1);
        QTest::newRow("call 4") << "chkPriority4"
                                << "chkDuty4" << field::CallRecord(4);
        QTest::newRow("group 2") << "chkGPriority2"
                                 << "chkGDuty2" << field::GroupRecord(2);
    }
    void priorityBoxWritesBit7Only() {
        QFETCH(QString, box);
        QFETCH(QString, duty);
        QFETCH(int, pos);
        WindowFixture f;
        if (!duty.isEmpty()) {
            QTest::mouseClick(f.find<QCheckBox>(duty.toLatin1().constData()), Qt::LeftButton);
        }
        f.image()[pos] = 0x45;
        auto* priority = f.find<QCheckBox>(box.toLatin1().constData());
        QTest::mouseClick(priority, Qt::LeftButton);
        QCOMPARE(f.image()[pos], 0xC5);
        QTest::mouseClick(priority, Qt::LeftButton);
        QCOMPARE(f.image()[pos], 0x45);
    }

    // The alert controls stay hidden; their rules keep the stored encoding.
    void hiddenAlertControlsKeepTheRecordEncoding() {
        WindowFixture f;
        auto* type = f.find<QComboBox>("cboAlertType2");
        f.image()[field::CallRecord(2)] = 0xC1;
        type->setCurrentIndex(5);
        emit type->activated(5);
        QCOMPARE(f.image()[field::CallRecord(2)], 0xC5);
        auto* groupType = f.find<QComboBox>("cboGAlertType1");
        groupType->setCurrentIndex(8);
        emit groupType->activated(8);
        QCOMPARE(f.image()[field::GroupRecord(1)], 0x08);
        QVERIFY(type->isHidden());

        // A hidden field takes no focus; its exit rule runs in place.
        auto* time = f.edit("edtGAlertTime2");
        auto* focus = f.window().findChild<FieldFocus*>();
        time->setText(QStringLiteral("2.5"));
        focus->exitInPlace(time);
        QCOMPARE(f.image()[field::GAlertTime(2)], 5);
        time->setText(QStringLiteral("2.3"));
        focus->exitInPlace(time);
        QCOMPARE(f.messages.texts(), QStringList{"The interval is 0.5 second."});
        QCOMPARE(time->text(), QStringLiteral("2.5"));
        QCOMPARE(f.image()[field::GAlertTime(2)], 5);
    }

    void timingWordTakesWholeNumbersUpTo65535_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("Tone1Len 65535") << "edtTone1Len" << field::Tone1Len << "65535" << 65535;
        QTest::newRow("Tone1Len 007") << "edtTone1Len" << field::Tone1Len << "007" << 7;
        QTest::newRow("Tone2Len 0") << "edtTone2Len" << field::Tone2Len << "0" << 0;
        QTest::newRow("Tone1Limit 256") << "edtTone1Limit" << field::Tone1Limit << "256" << 256;
        QTest::newRow("Tone2Limit 4660")
            << "edtTone2Limit" << field::Tone2Limit << "4660" << 0x1234;
        QTest::newRow("Tone3Len 120") << "edtTone3Len" << field::Tone3Len << "120" << 120;
    }
    void timingWordTakesWholeNumbersUpTo65535() {
        QFETCH(QString, edit);
        QFETCH(int, pos);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        WindowFixture f;
        f.window().setAdvanceUnlocked(true);
        ConfigImage expected = f.image();
        writeWord(expected, pos, static_cast<std::uint16_t>(stored));
        auto* field = f.edit(edit.toLatin1().constData());
        f.typeAndTab(field, typed);
        QCOMPARE(f.image(), expected);
        QCOMPARE(field->text(), typed);
        QVERIFY(f.messages.shown.empty());
    }

    void timingWordRefuses65536WithOneMessage_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("storedText");
        QTest::newRow("Tone1Len") << "edtTone1Len"
                                  << "3";
        QTest::newRow("Tone2Limit") << "edtTone2Limit"
                                    << "1";
        QTest::newRow("Tone3Len") << "edtTone3Len"
                                  << "50";
    }
    void timingWordRefuses65536WithOneMessage() {
        QFETCH(QString, edit);
        QFETCH(QString, storedText);
        WindowFixture f;
        f.window().setAdvanceUnlocked(true);
        const ConfigImage before = f.image();
        auto* field = f.edit(edit.toLatin1().constData());
        f.typeAndTab(field, QStringLiteral("65536"));
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{kWordRange});
        QCOMPARE(f.messages.shown.front().kind, MessageKind::Exclamation);
        QCOMPARE(f.focused(), field);
        QCOMPARE(field->text(), QString());
        QCOMPARE(f.image(), before);
        f.key(field, Qt::Key_Tab);
        QCOMPARE(field->text(), storedText);
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
    }

    // Enter in a whole-number field moves the focus away first, so the
    // refused field is entered anew.
    void timingWordRefusedWithEnterGivesOneMessage() {
        WindowFixture f;
        auto* field = f.edit("edtTone2Len");
        const ConfigImage before = f.image();
        f.enter(field);
        f.type(field, QStringLiteral("70000"));
        f.key(field, Qt::Key_Return);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{kWordRange});
        QCOMPARE(f.focused(), field);
        QCOMPARE(field->text(), QString());
        QCOMPARE(f.image(), before);
    }

    void displayPassShowsTimingWordsWithoutLeadingZeros() {
        WindowFixture f;
        auto* field = f.edit("edtTone1Len");
        f.typeAndTab(field, QStringLiteral("007"));
        QCOMPARE(field->text(), QStringLiteral("007"));
        f.window().showImage();
        QCOMPARE(field->text(), QStringLiteral("7"));
    }
};

PX520_GUI_TEST_MAIN(CallEditorsTest)
#include "CallEditorsTest.moc"
