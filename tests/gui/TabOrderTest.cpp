// The keyboard alone reaches every control of the window: Tab walks the top
// strip, the frequency strip, the tab bar once and the current page in
// reading order, and comes back to where it started.

#include "ModalDriver.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace {

// Stands for the page control's tab bar in a walk.
const QString kTabBar = QStringLiteral("(tab bar)");

// Before the page, from the port box. Of each pair of radio buttons only
// the checked one is a Tab stop (the arrows move within the pair).
const QStringList kStrips{"cboPort", "radStandard", "RBtModify", "cboRangeFreq",
                          "edtFreq", "cboCSpace",   kTabBar};

// Each page's controls as the page reads: row by row, left to right; the
// Config page column by column.
const QStringList kCallPage{
    "chkDuty1",      "edtT11",       "edtT21",   "chkPriority1", "chkDuty2",  "edtT12",
    "edtT22",        "chkPriority2", "chkDuty3", "edtT13",       "edtT23",    "chkPriority3",
    "chkDuty4",      "edtT14",       "edtT24",   "chkPriority4", "chkGDuty1", "edtT31",
    "chkGPriority1", "chkGDuty2",    "edtT32",   "chkGPriority2"};
const QStringList kSettingPage{"chkSYSPow",
                               "chkSYSVib",
                               "chkSYSPowSave",
                               "chkSYSFIX",
                               "chkVolumeLevel",
                               "cboResetCon",
                               "lblHelp",
                               "edtDelay",
                               "cboReminder",
                               "chkSYSPrivacy",
                               "cboPTL",
                               "edtAutoMonitor",
                               "chkSYSAudio",
                               "edtAudioLock",
                               "chkSYSSV",
                               "cboRecordMax",
                               "chkFullTimeAutoMonitor",
                               "edtDelayFullTime"};
const QStringList kConfigPage{"edtBS_Period",  "edtBS_Duty",    "edtTone1Len",
                              "edtTone2Len",   "edtRSSI",       "edtRSSI2",
                              "edtSSI",        "edtRFDelay",    "edtTone1Limit",
                              "edtTone2Limit", "edtNoiseLimit", "edtDecorderReset"};
const QStringList kAdvancePage{"cboBandWidth", "edtGapMax", "edtSquelch", "edtTone3Len"};

QString nameOf(const QWidget* widget) {
    if (widget == nullptr) {
        return QStringLiteral("(none)");
    }
    return qobject_cast<const QTabBar*>(widget) != nullptr ? kTabBar : widget->objectName();
}

// Every control of the window that can show, shown and enabled: all calls
// on, the audio and record controls free, a reset method with a delay.
void showEveryControl(WindowFixture& f) {
    for (const char* box : {"chkDuty1", "chkDuty2", "chkDuty3", "chkDuty4", "chkGDuty1",
                            "chkGDuty2", "chkSYSAudio", "chkSYSSV", "chkFullTimeAutoMonitor"}) {
        f.find<QCheckBox>(box)->setChecked(true);
    }
    f.find<QCheckBox>("chkSYSPrivacy")->setChecked(false);
    auto* reset = f.find<QComboBox>("cboResetCon");
    reset->setCurrentIndex(1);
    emit reset->activated(1);
    f.settle();
    QVERIFY(f.find<QWidget>("edtDelay")->isEnabled());
    QVERIFY(f.find<QWidget>("edtDelayFullTime")->isEnabled());
}

// Presses Tab from the port box until the focus comes back to it, as a user
// does: the controls of one cycle, the port box first.
QList<QWidget*> walkTab(WindowFixture& f, Qt::Key key = Qt::Key_Tab) {
    auto* start = f.find<QWidget>("cboPort");
    start->setFocus(Qt::TabFocusReason);
    f.settle();
    QList<QWidget*> reached{start};
    for (int presses = 0; presses < 200; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), key);
        f.settle();
        if (QApplication::focusWidget() == start) {
            break;
        }
        reached << QApplication::focusWidget();
    }
    return reached;
}

QStringList namesOf(const QList<QWidget*>& controls) {
    QStringList names;
    for (const QWidget* control : controls) {
        names << nameOf(control);
    }
    return names;
}

QStringList fieldTexts(WindowFixture& f) {
    QStringList texts;
    for (const TEdit* field : f.window().findChildren<TEdit*>()) {
        texts << field->objectName() + '=' + field->text();
    }
    return texts;
}

} // namespace

class TabOrderTest : public QObject {
    Q_OBJECT

private slots:
    void tabWalksTheStripsAndThePageInReadingOrder_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("advanceUnlocked");
        QTest::addColumn<QStringList>("pageOrder");
        QTest::newRow("CALL") << "TabSheet1" << false << kCallPage;
        QTest::newRow("Setting") << "TabSheet3" << false << kSettingPage;
        QTest::newRow("Config") << "TabSheet2" << false << kConfigPage;
        QTest::newRow("Advance Setting") << "TabSheet4" << true << kAdvancePage;
    }

    // One full cycle: every control once, the tab bar once, nothing of a
    // page not shown, no message from fields walked over untouched.
    void tabWalksTheStripsAndThePageInReadingOrder() {
        QFETCH(QString, page);
        QFETCH(bool, advanceUnlocked);
        QFETCH(QStringList, pageOrder);
        WindowFixture f;
        showEveryControl(f);
        f.window().setAdvanceUnlocked(advanceUnlocked);
        auto* pages = f.find<QTabWidget>("PageControl1");
        pages->setCurrentWidget(f.find<QWidget>(page.toLatin1().constData()));
        f.settle();

        const QStringList textsBefore = fieldTexts(f);
        const QList<QWidget*> controls = walkTab(f);
        const QStringList reached = namesOf(controls);
        const QStringList expected = kStrips + pageOrder;
        for (const QString& name : expected) {
            QVERIFY2(reached.count(name) == 1,
                     qPrintable(QStringLiteral("%1 reached %2 times in: %3")
                                    .arg(name)
                                    .arg(reached.count(name))
                                    .arg(reached.join(' '))));
        }
        QCOMPARE(reached.join(' '), expected.join(' '));
        QVERIFY(!reached.contains("edtNull"));
        for (const QWidget* control : controls) {
            QVERIFY2(control->isVisible(), qPrintable(nameOf(control) + " is not shown"));
        }
        QCOMPARE(pages->currentWidget()->objectName(), page);
        // The Advance Setting page stays out of reach while it is locked.
        if (!advanceUnlocked) {
            for (const QString& name : kAdvancePage) {
                QVERIFY2(!reached.contains(name), qPrintable(name));
            }
        }
        QCOMPARE(f.messages.texts(), QStringList{});
        QCOMPARE(fieldTexts(f), textsBefore);
    }

    // Backtab walks the same cycle the other way round.
    void backtabWalksTheCycleBackwards() {
        WindowFixture f;
        showEveryControl(f);
        f.showPageOf(f.find<QWidget>("edtBS_Period"));
        const QStringList forward = namesOf(walkTab(f));
        QStringList backward = namesOf(walkTab(f, Qt::Key_Backtab));
        std::reverse(backward.begin() + 1, backward.end());
        QCOMPARE(backward.join(' '), forward.join(' '));
        QCOMPARE(f.messages.texts(), QStringList{});
    }

    // The Reset control's "Help" link: Tab reaches it, Space and Enter open
    // the help as a click does.
    void helpLinkTakesTabFocusAndOpensOnSpaceOrEnter() {
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
            WindowFixture f;
            auto* link = f.find<QLabel>("lblHelp");
            auto* reset = f.find<QWidget>("cboResetCon");
            f.showPageOf(reset);
            reset->setFocus(Qt::TabFocusReason);
            QTest::keyClick(reset, Qt::Key_Tab);
            f.settle();
            QCOMPARE(f.focused(), link);
            ModalWatcher help([](QDialog& dialog) { dialog.accept(); });
            QTest::keyClick(link, key);
            f.settle();
            QCOMPARE(help.seen, QStringList{"TfrmHelp"});
            QCOMPARE(f.find<QTabWidget>("PageControl1")->currentWidget(),
                     f.find<QWidget>("TabSheet3"));
            QVERIFY(f.messages.shown.empty());
        }
    }

    // The focus sink is no Tab stop and no click target, yet the window's
    // code still parks the focus there.
    void focusSinkTakesTheFocusFromCodeOnly() {
        WindowFixture f;
        auto* sink = f.find<QWidget>("edtNull");
        QCOMPARE(sink->focusPolicy(), Qt::NoFocus);
        f.enter(f.edit("edtFreq"));
        sink->setFocus();
        QCOMPARE(f.focused(), sink);
        QTest::keyClick(sink, Qt::Key_Tab);
        f.settle();
        QVERIFY(f.focused() != sink);
        QVERIFY(f.messages.shown.empty());
    }

    // A label left of a field is its buddy: it names the field for a screen
    // reader, and Tab stops at the field, never at the label.
    void labelsNameTheirFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        const std::pair<const char*, const char*> fields[] = {
            {"cboPort", "COM Port"},
            {"cboRangeFreq", "Range Of Frequency"},
            {"edtFreq", "Frequency"},
            {"cboCSpace", "Channel Space"},
            {"cboResetCon", "Reset control"},
            {"edtDelay", "Delay Time"},
            {"cboReminder", "Reminder"},
            {"cboBatteryLow", "Low Battery"},
            {"cboPTL", "Push To Listen"},
            {"edtAutoMonitor", "Auto Monitor key time"},
            {"edtAudioLock", "Audio lock on key time"},
            {"cboRecordMax", "Record Section"},
            {"edtDelayFullTime", "Standby To Monitor Delay Time"},
            {"edtBS_Period", "Battery Save"},
            {"edtBS_Duty", "AD Delay"},
            {"edtTone1Len", "Tone1 duration"},
            {"edtTone2Len", "Tone2 duration"},
            {"edtRSSI", "NRSSI"},
            {"edtRSSI2", "Speaker OFF"},
            {"edtSSI", "Speaker ON (NRSSI)"},
            {"edtRFDelay", "RF delay time"},
            {"edtTone1Limit", "Tone1 limit"},
            {"edtTone2Limit", "Tone2 limit"},
            {"edtNoiseLimit", "Noise limit"},
            {"edtDecorderReset", "Decorder Reset"},
            {"cboBandWidth", "Decoder Bandwidth"},
            {"edtGapMax", "Gap MAX."},
            {"edtSquelch", "Carrier OFF delay"},
            {"edtTone3Len", "Group call duration"},
        };
        for (const auto& [field, name] : fields) {
            QTest::newRow(field) << field << name;
        }
    }

    void labelsNameTheirFields() {
        QFETCH(QString, field);
        QFETCH(QString, name);
        WindowFixture f;
        auto* control = f.find<QWidget>(field.toLatin1().constData());
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible != nullptr);
        // A group box's title labels its fields too; the label is the one.
        QStringList labels;
        for (const auto& [label, relation] : accessible->relations(QAccessible::Label)) {
            if (qobject_cast<QLabel*>(label->object()) != nullptr) {
                labels << label->text(QAccessible::Name);
            }
        }
        QCOMPARE(labels, QStringList{name});
    }
};

PX520_GUI_TEST_MAIN(TabOrderTest)

#include "TabOrderTest.moc"
