// The editing convention on the real window: entry, key filters, every way
// of ending an entry, and what a refused value does to the focus.

#include "WindowFixture.h"

#include "model/ByteMap.h"

#include <QLabel>
#include <QTabWidget>

namespace {

const QString kByteRange = QStringLiteral("Please insert a number between 0 to 255");

} // namespace

class EditingConventionTest : public QObject {
    Q_OBJECT

private slots:
    void leavingWithoutTypingShowsTheStoredValue() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        f.image()[field::BS_Period] = 42;
        f.enter(edit);
        QCOMPARE(edit->text(), QString());
        f.key(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), QStringLiteral("42"));
        QCOMPARE(f.image()[field::BS_Period], 42);
        QVERIFY(f.messages.shown.empty());
    }

    void acceptedWholeNumberIsStoredAndLeftAsTyped() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        f.typeAndTab(edit, QStringLiteral("007"));
        QCOMPARE(f.image()[field::BS_Period], 7);
        QCOMPARE(edit->text(), QStringLiteral("007"));
        QVERIFY(f.messages.shown.empty());
    }

    // However the entry ends, 256 gives one message; the field has the focus
    // again, empty, and the image is unchanged.
    void outOfRangeByteGivesOneMessageAndTheFocusBack_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Tab") << "tab";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("click on another field") << "click";
        QTest::newRow("pointer over the bare window") << "pointer";
    }
    void outOfRangeByteGivesOneMessageAndTheFocusBack() {
        QFETCH(QString, how);
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        auto* other = f.edit("edtBS_Duty");
        const QString otherText = other->text();
        const std::uint8_t stored = f.image()[field::BS_Period];
        f.enter(edit);
        f.type(edit, QStringLiteral("256"));
        if (how == "tab") {
            f.key(edit, Qt::Key_Tab);
        } else if (how == "enter") {
            f.key(edit, Qt::Key_Return);
        } else if (how == "click") {
            QTest::mouseClick(other, Qt::LeftButton);
        } else {
            auto* central = f.find<QWidget>("centralWidget");
            QTest::mouseMove(central, QPoint(central->width() - 3, 30));
        }
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{kByteRange});
        QCOMPARE(f.messages.shown.front().kind, MessageKind::Exclamation);
        QCOMPARE(f.messages.shown.front().caption, QStringLiteral("PX520"));
        QCOMPARE(f.focused(), edit);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(f.image()[field::BS_Period], stored);
        QCOMPARE(other->text(), otherText);

        f.key(edit, Qt::Key_Tab);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(edit->text(), QString::number(stored));
    }

    // Leaving by another tab: the refused field's page comes back with it.
    void refusedFieldOnAnotherPageBringsItsPageBack() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        auto* pages = f.find<QTabWidget>("PageControl1");
        f.enter(edit);
        f.type(edit, QStringLiteral("256"));
        pages->setCurrentIndex(0);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{kByteRange});
        QCOMPARE(pages->currentWidget(), f.find<QWidget>("TabSheet2"));
        QCOMPARE(f.focused(), edit);
        QCOMPARE(edit->text(), QString());
    }

    // Write Mode disables the field before its value is checked: it cannot
    // take the focus back, so it shows the stored value again.
    void refusedFieldThatWasDisabledShowsItsStoredValue() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        f.image()[field::BS_Period] = 15;
        f.enter(edit);
        f.type(edit, QStringLiteral("256"));
        QTest::mouseClick(f.find<QWidget>("RBtWrite"), Qt::LeftButton);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{kByteRange});
        QVERIFY(!edit->isEnabled());
        QCOMPARE(edit->text(), QStringLiteral("15"));
        QCOMPARE(f.image()[field::BS_Period], 15);
    }

    void wholeNumberFilterRefusesEveryOtherKeyWithAMessage() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        f.enter(edit);
        f.type(edit, QStringLiteral("12"));
        f.key(edit, Qt::Key_Backspace);
        f.type(edit, QStringLiteral("a"));
        QCOMPARE(f.messages.texts(),
                 (QStringList{"Please insert a numeric!", "Please insert a numeric!"}));
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QCOMPARE(f.focused(), edit);
    }

    void oneDecimalFilterAllowsOnePointAndOneDecimal() {
        WindowFixture f;
        auto* edit = f.edit("edtDecorderReset");
        f.enter(edit);
        f.type(edit, QStringLiteral(".12.53x"));
        QCOMPARE(edit->text(), QStringLiteral("12.5"));
        f.key(edit, Qt::Key_Backspace);
        f.key(edit, Qt::Key_Backspace);
        f.type(edit, QStringLiteral("."));
        QCOMPARE(edit->text(), QStringLiteral("12."));
        QVERIFY(f.messages.shown.empty());
    }

    void twoDecimalEnterChecksButKeepsTheFocusAndText() {
        WindowFixture f;
        auto* edit = f.edit("edtRSSI");
        const std::uint8_t stored = f.image()[field::RSSI];
        f.enter(edit);
        f.type(edit, QStringLiteral("0.715"));
        QCOMPARE(edit->text(), QStringLiteral("0.71"));
        edit->clear();
        f.type(edit, QStringLiteral("1.5"));
        f.key(edit, Qt::Key_Return);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{"Please insert a number between 0 to 1"});
        QCOMPARE(f.focused(), edit);
        QCOMPARE(edit->text(), QStringLiteral("1.5"));
        QCOMPARE(f.image()[field::RSSI], stored);
    }

    // Enter checks the value in place and then ends the entry; a refused
    // value is reported once, not again when the entry ends.
    void oneDecimalEnterReportsARefusedValueOnce() {
        WindowFixture f;
        auto* edit = f.edit("edtDecorderReset");
        f.enter(edit);
        f.type(edit, QStringLiteral("200"));
        f.key(edit, Qt::Key_Return);
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{"Please insert a number between 0 to 127.5"});
        QCOMPARE(f.focused(), edit);
        QCOMPARE(edit->text(), QStringLiteral("200"));

        edit->clear();
        f.type(edit, QStringLiteral("2.5"));
        f.key(edit, Qt::Key_Return);
        QCOMPARE(f.image()[field::DecorderReset], 5);
        QCOMPARE(f.focused(), f.find<QWidget>("edtNull"));
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
    }

    void halfStepErrorShowsTheStoredValueAndLetsTheFocusGo() {
        WindowFixture f;
        auto* edit = f.edit("edtDecorderReset");
        f.image()[field::DecorderReset] = 60;
        f.typeAndTab(edit, QStringLiteral("2.3"));
        WindowFixture::runDeferredWork();
        QCOMPARE(f.messages.texts(), QStringList{"The interval is 0.5 second."});
        QCOMPARE(edit->text(), QStringLiteral("30.0"));
        QVERIFY(f.focused() != edit);
        QCOMPARE(f.image()[field::DecorderReset], 60);
    }

    void switchingApplicationsLeavesTheEntryAlone() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        f.enter(edit);
        f.type(edit, QStringLiteral("256"));
        QWidget other;
        other.resize(120, 80);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        WindowFixture::runDeferredWork();
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(f.focused(), edit);
        QCOMPARE(edit->text(), QStringLiteral("256"));
    }

    void closingTheWindowWithARefusedValueNeitherHangsNorReports() {
        WindowFixture f;
        auto* edit = f.edit("edtBS_Period");
        f.enter(edit);
        f.type(edit, QStringLiteral("256"));
        f.find<QAction>("ExitE1")->trigger();
        WindowFixture::runDeferredWork();
        QVERIFY(!f.window().isVisible());
        QVERIFY(f.messages.shown.empty());
    }
};

PX520_GUI_TEST_MAIN(EditingConventionTest)

#include "EditingConventionTest.moc"
