// The window as a screen reader reads it, through Qt's accessibility
// interface: every control a person can reach says which field it is, with
// its unit and its hint; pick-lists say what they set and hold their item as
// their value; the focus sink and a locked page stay out of the way.

#include "FleetFixture.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QTabWidget>

#include <map>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface == nullptr) {
        qFatal("%s has no accessible interface", qPrintable(object->objectName()));
    }
    return iface;
}

QString nameOf(QObject* object) {
    return accessible(object)->text(QAccessible::Name);
}

// The controls of one window that a person can reach with the keyboard:
// focusable and not hidden by design.
QList<QWidget*> reachableControls(QWidget& window) {
    QList<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() == &window && (w->focusPolicy() & Qt::TabFocus) != 0 && !w->isHidden() &&
            w->focusProxy() == nullptr &&
            qobject_cast<QTabBar*>(w->parentWidget()) == nullptr) {
            controls << w;
        }
    }
    return controls;
}

// Every control has a name, and no two controls of a window share one.
QStringList namingFaults(QWidget& window) {
    QStringList faults;
    std::map<QString, QString> owners;
    for (QWidget* control : reachableControls(window)) {
        const QString name = nameOf(control);
        if (name.trimmed().isEmpty()) {
            faults << control->objectName() + " has no name";
        } else if (const auto [at, added] = owners.emplace(name, control->objectName()); !added) {
            faults << QStringLiteral("%1 and %2 are both \"%3\"")
                          .arg(at->second, control->objectName(), name);
        }
    }
    return faults;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyReachableControlHasItsOwnName() {
        WindowFixture f;
        f.window().setAdvanceUnlocked(true);
        QWidget* tabs = f.find<QWidget>("PageControl1");
        QStringList faults;
        for (int page = 0; page < 4; ++page) {
            static_cast<QTabWidget*>(tabs)->setCurrentIndex(page);
            f.settle();
            faults << namingFaults(f.window());
        }
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
        for (QDialog* dialog : f.window().findChildren<QDialog*>()) {
            dialog->show();
            f.settle();
            const QStringList dialogFaults = namingFaults(*dialog);
            QVERIFY2(dialogFaults.isEmpty(),
                     qPrintable(dialog->objectName() + ": " + dialogFaults.join("; ")));
            dialog->hide();
        }
    }

    // The field's caption as the window shows it, the call's row for
    // per-call controls, and the unit printed beside it.
    void namesSayWhichFieldItIs_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        const std::pair<const char*, const char*> rows[] = {
            {"cboPort", "COM Port"},
            {"radStandard", "Standard Mode"},
            {"cboRangeFreq", "Range Of Frequency"},
            {"edtFreq", "Frequency (x 100 Hz)"},
            {"cboCSpace", "Channel Space"},
            {"chkDuty2", "CALL #2 ON"},
            {"edtT12", "CALL #2 TONE1"},
            {"edtT24", "CALL #4 TONE2"},
            {"chkPriority3", "CALL #3 Priority Alert"},
            {"chkGDuty1", "Group CALL #1 ON"},
            {"edtT32", "Group CALL #2"},
            {"chkGPriority2", "Group CALL #2 Priority Alert"},
            {"chkSYSPow", "Disable Power OFF"},
            {"cboResetCon", "Reset control"},
            {"lblHelp", "Help"},
            {"cboReminder", "Reminder"},
            {"cboPTL", "Push To Listen"},
            {"edtAutoMonitor", "Auto Monitor key time (Second)"},
            {"cboRecordMax", "Record Section"},
            {"edtDelayFullTime", "Standby To Monitor Delay Time (Second)"},
            {"edtBS_Period", "Battery Save (x 10 ms)"},
            {"edtRSSI2", "Speaker OFF (V)"},
            {"edtDecorderReset", "Decorder Reset (Second)"},
            {"cboBandWidth", "Decoder Bandwidth (%)"},
            {"edtSquelch", "Carrier OFF delay (x 150 ms)"},
            {"edtTone3Len", "Group call duration (x 100 ms)"},
        };
        for (const auto& [control, name] : rows) {
            QTest::newRow(control) << control << name;
        }
    }
    void namesSayWhichFieldItIs() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        WindowFixture f;
        QCOMPARE(nameOf(f.find<QWidget>(control.toLatin1().constData())), name);
    }

    // The hint, whole, on the control itself, also where the window shows
    // it on the label or the column head.
    void hintsDescribeTheControl_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        QTest::newRow("own") << "chkSYSPrivacy"
                             << "When it is selected, prevents the reset button from being used to "
                                "monitor the channel.";
        QTest::newRow("label") << "cboRangeFreq" << "Choose your desired frequency range.";
        QTest::newRow("long label hint")
            << "edtAutoMonitor"
            << "This determines how much time you need to keep pressing the monitor/reset "
               "button, then it will automatically switch to Auto Monitor mode.(Suggested 1-5 "
               "seconds)";
        QTest::newRow("column head")
            << "edtT23"
            << "Make tone field entries.Entries into the tone fields are subject to previous.";
        QTest::newRow("both") << "cboBandWidth" << "Decoder Bandwidth default value : 1.5%";
    }
    void hintsDescribeTheControl() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        WindowFixture f;
        QCOMPARE(accessible(f.find<QWidget>(control.toLatin1().constData()))
                     ->text(QAccessible::Description),
                 hint);
    }

    // A pick-list is named by what it sets; its item is its value.
    void pickListsHoldTheirItemAsValue() {
        WindowFixture f;
        auto* reminder = f.find<QComboBox>("cboReminder");
        QCOMPARE(accessible(reminder)->text(QAccessible::Value), QStringLiteral("120 Second"));
        QCOMPARE(nameOf(reminder), QStringLiteral("Reminder"));
    }

    // The invisible focus sink is neither reached with Tab nor said.
    void focusSinkStaysSilent() {
        WindowFixture f;
        QWidget* sink = f.find<QWidget>("edtNull");
        QCOMPARE(sink->focusPolicy(), Qt::NoFocus);
        QVERIFY(accessible(sink)->state().invisible);
    }

    // After Enter ends an entry, Tab goes on from the field that was left.
    void tabAfterEnterGoesOnFromTheFieldLeft() {
        WindowFixture f;
        TEdit* period = f.edit("edtBS_Period");
        f.enter(period);
        f.type(period, QStringLiteral("20"));
        f.key(period, Qt::Key_Return);
        QCOMPARE(f.focused(), f.find<QWidget>("edtNull"));
        f.key(f.focused(), Qt::Key_Tab);
        QCOMPARE(f.focused(), f.find<QWidget>("edtBS_Duty"));
        f.key(f.focused(), Qt::Key_Backtab);
        QCOMPARE(f.focused(), static_cast<QWidget*>(period));
        QVERIFY(f.messages.texts().isEmpty());
    }

    // The Advance Setting page is neither shown nor said while it is locked.
    void lockedPageIsNotExposed() {
        WindowFixture f;
        auto* tabs = f.find<QTabWidget>("PageControl1");
        const auto pageNames = [&] {
            QStringList names;
            QAccessibleInterface* bar = accessible(tabs->tabBar());
            for (int i = 0; i < bar->childCount(); ++i) {
                const QAccessibleInterface* tab = bar->child(i);
                if (!tab->state().invisible) {
                    names << tab->text(QAccessible::Name);
                }
            }
            return names;
        };
        QVERIFY(!pageNames().contains(QStringLiteral("Advance Setting")));
        QVERIFY(pageNames().contains(QStringLiteral("Config")));
        f.window().setAdvanceUnlocked(true);
        QVERIFY(pageNames().contains(QStringLiteral("Advance Setting")));
    }

    // The fleet window's base button, table, tone-plan list and chart are each
    // named and reached with Tab in reading order; a cell says the field it
    // is in and a greyed value that it comes from the base.
    void fleetWindowIsNamedAndReachedWithTab() {
        FleetFixture f;
        QVERIFY(f.open("label,T1[1],T2[1]\nunit A,669.9,707.3\nunit B,667.5,712.5\n"));
        QCOMPARE(f.findings()->count(), 1);
        const QStringList faults = namingFaults(f.fleet);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
        QWidget* button = f.find<QWidget>("btnChangeBase");
        button->setFocus();
        QStringList names{nameOf(button)};
        for (int stop = 0; stop < 4; ++stop) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            WindowFixture::settle();
            names << nameOf(QApplication::focusWidget());
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Change Base"), QStringLiteral("Fleet"),
                                     QStringLiteral("Tone plan"),
                                     QStringLiteral("Tone plan chart"),
                                     QStringLiteral("Change Base")}));
        QAccessibleInterface* table = accessible(f.table());
        QCOMPARE(table->tableInterface()->columnDescription(1), QStringLiteral("CALL #1 TONE1"));
        f.table()->setCurrentIndex(f.model().index(1, 2));
        f.press(QKeySequence(Qt::Key_Delete));
        QCOMPARE(f.model().index(1, 2).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("707.3, from the base"));
    }
};

PX520_GUI_TEST_MAIN(AccessibilityTest)

#include "AccessibilityTest.moc"
