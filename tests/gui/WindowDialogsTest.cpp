// The dialogs as the main window opens them: the Tone Table from a tone edit,
// the Advance settings lock, the about box and the reset help.

#include "ModalDriver.h"
#include "WindowFixture.h"
#include "model/ByteMap.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <deque>

namespace {

QTableWidget& gridOf(QDialog& table) {
    return *table.findChild<QTableWidget*>("StringGrid1");
}

void chooseCell(QDialog& table, int row, int column) {
    QTableWidget& grid = gridOf(table);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualItemRect(grid.item(row, column)).center());
}

void enterPassword(QDialog& lock, const QString& text) {
    auto* edit = lock.findChild<QLineEdit*>("edtPwd");
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Call 3 is off in the default image; its switch turns its tone edits on.
TEdit* toneOfCall3(WindowFixture& f) {
    auto* call = f.find<QCheckBox>("chkDuty3");
    if (!call->isChecked()) {
        QTest::mouseClick(call, Qt::LeftButton, {}, QPoint(6, call->height() / 2));
        WindowFixture::settle();
    }
    TEdit* tone = f.edit("edtT23");
    if (!tone->isEnabled()) {
        qFatal("edtT23 stays disabled");
    }
    return tone;
}

bool advanceTabShown(WindowFixture& f) {
    auto* pages = f.find<QTabWidget>("PageControl1");
    return pages->isTabVisible(pages->indexOf(f.find<QWidget>("TabSheet4")));
}

} // namespace

class WindowDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsAreCreatedOnceInTheirOrder() {
        WindowFixture f;
        QStringList classes;
        for (QDialog* dialog : f.window().findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
            classes << QString::fromLatin1(dialog->metaObject()->className());
            QVERIFY(dialog->isHidden());
        }
        QCOMPARE(classes, (QStringList{"TAboutBox", "TForm2", "TfrmHelp", "TForm3", "TForm4"}));
    }

    // GE A' digit 3 for TONE 2 of call 3: the edit, the tone and its code.
    void tonePickFillsTheDoubleClickedEdit() {
        WindowFixture f;
        TEdit* tone = toneOfCall3(f);
        QPointer<QDialog> opened;
        ModalWatcher table([&opened](QDialog& dialog) {
            opened = &dialog;
            chooseCell(dialog, 4, 12);
            QTest::keyClick(&gridOf(dialog), Qt::Key_Return);
        });

        QTest::mouseDClick(tone, Qt::LeftButton);
        f.settle();

        QCOMPARE(table.seen, QStringList{"TForm2"});
        QVERIFY(opened && opened->isHidden());
        QCOMPARE(tone->text(), QStringLiteral("802.5"));
        QCOMPARE(readWord(f.image(), field::T2(3)), 8025);
        QCOMPARE(readWord(f.image(), field::T2Code(3)), 0x4D18);
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 0, 0}));
        // The focus came back to the edit without a new entry emptying it.
        QCOMPARE(f.focused(), tone);
        QCOMPARE(tone->text(), QStringLiteral("802.5"));
        QVERIFY(f.messages.shown.empty());
    }

    void escapeLeavesTheTargetAndF9OpensAgain() {
        WindowFixture f;
        TEdit* tone = toneOfCall3(f);
        const ConfigImage before = f.image();
        ModalWatcher table([](QDialog& dialog) {
            chooseCell(dialog, 7, 6);
            QTest::keyClick(&gridOf(dialog), Qt::Key_Escape);
        });

        QTest::mouseDClick(tone, Qt::LeftButton);
        f.settle();
        QCOMPARE(table.seen.size(), 1);
        QCOMPARE(tone->text(), QString()); // emptied by the entry
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 3, 0}));
        QVERIFY(f.image() == before);

        f.key(tone, Qt::Key_F9);
        QCOMPARE(table.seen, (QStringList{"TForm2", "TForm2"}));
        QCOMPARE(f.window().toneTargets(), (std::array<int, 3>{0, 3, 0}));
        QVERIFY(f.image() == before);
    }

    void advanceLockGivesThreeTriesPerShowing() {
        WindowFixture f;
        auto* advance = f.find<QAction>("Advance2");
        std::deque<QStringList> showings{{"one", "two", "three"}, {"r4tzq"}};
        ModalWatcher lock([&showings](QDialog& dialog) {
            const QStringList entries = showings.front();
            showings.pop_front();
            for (const QString& entry : entries) {
                enterPassword(dialog, entry);
            }
        });

        advance->trigger();
        QCOMPARE(lock.seen, QStringList{"TForm4"});
        QCOMPARE(f.messages.texts(), (QStringList{"Password is Error !", "Password is Error !",
                                                  "Password is Error !"}));
        QVERIFY(!advanceTabShown(f));
        QVERIFY(advance->isEnabled());

        advance->trigger();
        QCOMPARE(lock.seen, (QStringList{"TForm4", "TForm4"}));
        QCOMPARE(f.messages.shown.size(), std::size_t{3});
        QVERIFY(advanceTabShown(f));
        QVERIFY(!advance->isEnabled());
    }

    void aboutBoxOpensFromTheMenu() {
        WindowFixture f;
        QString caption;
        ModalWatcher about([&caption](QDialog& dialog) {
            caption = dialog.windowTitle();
            QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        });
        f.find<QAction>("About2")->trigger();
        QCOMPARE(about.seen, QStringList{"TAboutBox"});
        QCOMPARE(caption, QStringLiteral("About"));
        QTRY_VERIFY(f.window().isActiveWindow());
    }

    void helpLinkOpensTheResetHelp() {
        WindowFixture f;
        auto* link = f.find<QLabel>("lblHelp");
        f.showPageOf(link);
        ModalWatcher help([](QDialog& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        });
        QTest::mouseClick(link, Qt::LeftButton);
        f.settle();
        QCOMPARE(help.seen, QStringList{"TfrmHelp"});
        QCOMPARE(f.find<QTabWidget>("PageControl1")->currentWidget(), f.find<QWidget>("TabSheet3"));
        QVERIFY(link->font().underline());
    }
};

PX520_GUI_TEST_MAIN(WindowDialogsTest)

#include "WindowDialogsTest.moc"
