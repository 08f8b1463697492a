#include "dialogs/About.h"
#include "dialogs/Decoderpwd.h"
#include "dialogs/Fmboardtest.h"
#include "dialogs/Fmhelp.h"
#include "dialogs/LinkLabel.h"
#include "tests/gui/ModalDriver.h"
#include "tests/gui/WindowFixture.h"
#include "dialogs/Messages.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QtTest>
#include <vector>

namespace {

// Qt guesses a title bar and border where no window manager reports them.
constexpr int centringSlack = 50;

class FakeLockHost : public AdvanceLockHost {
public:
    std::vector<bool> unlocks;
    void setAdvanceUnlocked(bool unlocked) override { unlocks.push_back(unlocked); }
};

QLineEdit& passwordEdit(TForm4& lock) {
    return *lock.findChild<QLineEdit*>("edtPwd");
}

void enterPassword(TForm4& lock, const QString& text) {
    QLineEdit& edit = passwordEdit(lock);
    QTest::keyClicks(&edit, text);
    QTest::keyClick(&edit, Qt::Key_Return);
}

void hover(QLabel& label, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), label.mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(&label, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);
    }
}

} // namespace

// Takes the URLs that would go to the desktop's browser and mail program.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;
    Q_INVOKABLE void open(const QUrl& url) { opened.append(url); }
};

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void rightPasswordUnlocks();
    void wrongPasswordWarnsAndStaysOpen_data();
    void wrongPasswordWarnsAndStaysOpen();
    void threeWrongEntriesCloseLocked();
    void exitAfterTwoWrongGivesThreeNewTries();
    void enterAndOkCheckOnce();
    void modalLockEndsAccepted();
    void helpShowsSixteenLinesAndOkCloses();
    void aboutShowsProductAndOpensLinks();
    void linkIsBoldOnlyWhileHovered();
    void splashShowsWithoutWaiting();
};

void DialogsTest::rightPasswordUnlocks() {
    FakeLockHost host;
    RecordingMessages messages;
    TForm4 lock(host, messages);
    lock.show();
    QCOMPARE(lock.windowTitle(), QString("Password"));
    QCOMPARE(passwordEdit(lock).echoMode(), QLineEdit::Password);

    enterPassword(lock, "  r4tzq ");

    QCOMPARE(host.unlocks, std::vector<bool>{true});
    QVERIFY(messages.shown.empty());
    QVERIFY(!lock.isVisible());
    QCOMPARE(lock.result(), int(QDialog::Accepted));
}

void DialogsTest::wrongPasswordWarnsAndStaysOpen_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("blank inside") << "r4t zq";
    QTest::newRow("one more character") << "r4tzqq";
}

void DialogsTest::wrongPasswordWarnsAndStaysOpen() {
    QFETCH(QString, entry);
    FakeLockHost host;
    RecordingMessages messages;
    TForm4 lock(host, messages);
    lock.show();

    enterPassword(lock, entry);

    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].kind, MessageKind::Exclamation);
    QCOMPARE(messages.shown[0].caption, QString("PX520"));
    QCOMPARE(messages.shown[0].text, QString("Password is Error !"));
    QVERIFY(host.unlocks.empty());
    QVERIFY(lock.isVisible());
    QVERIFY(passwordEdit(lock).text().isEmpty());
    QCOMPARE(lock.focusWidget(), &passwordEdit(lock));
}

void DialogsTest::threeWrongEntriesCloseLocked() {
    FakeLockHost host;
    RecordingMessages messages;
    TForm4 lock(host, messages);
    lock.show();

    enterPassword(lock, "one");
    enterPassword(lock, "two");
    QVERIFY(lock.isVisible());
    QVERIFY(host.unlocks.empty());

    enterPassword(lock, "three");
    QCOMPARE(messages.shown.size(), std::size_t{3});
    QCOMPARE(host.unlocks, std::vector<bool>{false});
    QVERIFY(!lock.isVisible());
}

void DialogsTest::exitAfterTwoWrongGivesThreeNewTries() {
    FakeLockHost host;
    RecordingMessages messages;
    TForm4 lock(host, messages);
    lock.show();
    enterPassword(lock, "one");
    enterPassword(lock, "two");
    QTest::keyClicks(&passwordEdit(lock), "left over");
    QTest::mouseClick(lock.findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
    QVERIFY(!lock.isVisible());
    QVERIFY(host.unlocks.empty());

    lock.show();
    QVERIFY(passwordEdit(lock).text().isEmpty());
    enterPassword(lock, "three");
    enterPassword(lock, "four");
    QVERIFY(lock.isVisible());
    QVERIFY(host.unlocks.empty());
    enterPassword(lock, "five");
    QVERIFY(!lock.isVisible());
    QCOMPARE(host.unlocks, std::vector<bool>{false});
    QCOMPARE(messages.shown.size(), std::size_t{5});
}

void DialogsTest::enterAndOkCheckOnce() {
    FakeLockHost host;
    RecordingMessages messages;
    TForm4 lock(host, messages);
    lock.show();

    // A default button would be clicked by the same Enter, at once or after
    // being held down for a moment: nothing is clicked, nothing held down.
    enterPassword(lock, "wrong");
    WindowFixture::settle();
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QVERIFY(lock.isVisible());
    for (const QPushButton* button : lock.findChildren<QPushButton*>()) {
        QVERIFY2(!button->isDown(), qPrintable(button->objectName()));
    }

    QTest::keyClicks(&passwordEdit(lock), "wrong");
    QTest::mouseClick(lock.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    QCOMPARE(messages.shown.size(), std::size_t{2});

    QTest::keyClicks(&passwordEdit(lock), "R4TZQ");
    QTest::mouseClick(lock.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    QCOMPARE(messages.shown.size(), std::size_t{2});
    QCOMPARE(host.unlocks, std::vector<bool>{true});
}

void DialogsTest::modalLockEndsAccepted() {
    FakeLockHost host;
    RecordingMessages messages;
    QWidget window;
    window.setGeometry(100, 80, 600, 500);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TForm4 lock(host, messages, &window);

    QPoint offset;
    const int result = execDriven(lock, [&] {
        offset = lock.geometry().center() - window.geometry().center();
        enterPassword(lock, "x");
        enterPassword(lock, "r4tzq");
    });

    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(host.unlocks, std::vector<bool>{true});
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QVERIFY2(offset.manhattanLength() <= centringSlack, "the lock is centred on its window");
}

void DialogsTest::helpShowsSixteenLinesAndOkCloses() {
    const QStringList lines{
        "                      RESET FUNCTION HELP",
        " This field sets the method to reset the audio.",
        " There are 6 methods, depending on the model.",
        " 1. Auto RESET:",
        "    Resets the audio when carrier drops.",
        " 2. Delay N sec Auto Reset:",
        "    Waits N seconds before checking carrier drop.",
        " 3. Manual RESET:",
        "    Resets the audio only when the Reset Switch is depressed.",
        " 4. Time-out RESET:",
        "    Resets after a selected amount of time only.",
        " 5. Revert SQ:",
        "    Reverts to Monitor Mode after receiving a SelCall page.",
        " 6. Delay AUTO_N with Revert:",
        "    Wait N seconds and then behave as monitor mode ",
        "    until the reset button is pushed.",
    };
    TfrmHelp help;
    const auto& memo = *help.findChild<QPlainTextEdit*>("Memo1");
    QCOMPARE(memo.toPlainText().split('\n'), lines);
    QVERIFY(memo.isReadOnly());
    QVERIFY(help.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(help.size(), QSize(561, 305));

    help.show();
    QTest::mouseClick(help.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QVERIFY(!help.isVisible());
}

void DialogsTest::aboutShowsProductAndOpensLinks() {
    UrlRecorder desktop;
    QDesktopServices::setUrlHandler("https", &desktop, "open");
    QDesktopServices::setUrlHandler("mailto", &desktop, "open");

    TAboutBox about;
    about.show();
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.findChild<QLabel*>("ProductName")->text(), QString("PX520"));
    QVERIFY(about.findChild<QLabel*>("ProductName")->font().bold());
    QCOMPARE(about.findChild<QLabel*>("Version")->text(), QString("Version 3.8.2 (2008.2.12)"));
    QVERIFY(!about.findChild<QLabel*>("Comments")->text().isEmpty());
    QCOMPARE(about.findChild<QLabel*>("Label2")->text(), QString("Homepage : "));
    QCOMPARE(about.findChild<QLabel*>("Label1")->text(), QString("Email Address(es) : "));

    auto& url = *about.findChild<QLabel*>("lblUrl");
    auto& email = *about.findChild<QLabel*>("lblEmail");
    QCOMPARE(url.text(), QString("https://github.com/px520-tools/px520"));
    QCOMPARE(email.text(), QString("px520-tools@users.noreply.github.com"));
    QVERIFY(url.font().underline());
    QCOMPARE(url.cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(&url, Qt::LeftButton);
    QTest::mouseClick(&email, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("mailto");
    QCOMPARE(desktop.opened, (QList<QUrl>{QUrl("https://github.com/px520-tools/px520"),
                                          QUrl("mailto:px520-tools@users.noreply.github.com")}));

    auto* ok = about.findChild<QPushButton*>("OKButton");
    QVERIFY(ok->isDefault());
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

void DialogsTest::linkIsBoldOnlyWhileHovered() {
    // Drawn bold like the "Help" link of the Setting tab.
    QLabel label("Help");
    QFont designed = label.font();
    designed.setBold(true);
    label.setFont(designed);
    int clicks = 0;
    QObject::connect(LinkLabel::attach(label), &LinkLabel::clicked, [&clicks] { ++clicks; });
    label.show();
    QVERIFY(label.font().bold());
    QVERIFY(label.font().underline());

    const struct {
        bool inside;
        bool bold;
    } steps[] = {{true, true}, {false, false}, {true, true}, {false, false}};
    for (const auto& step : steps) {
        hover(label, step.inside);
        QCOMPARE(label.font().bold(), step.bold);
        QVERIFY(label.font().underline());
    }

    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mouseClick(&label, Qt::RightButton);
    QCOMPARE(clicks, 1);
}

void DialogsTest::splashShowsWithoutWaiting() {
    QWidget window;
    window.setGeometry(100, 80, 600, 500);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TForm3 splash(&window);
    splash.show();

    QVERIFY(splash.isVisible());
    QVERIFY(!splash.isModal());
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash.size(), QSize(289, 81));
    QCOMPARE(splash.findChild<QLabel*>("Label2")->text(), QString("PX520  Programmer"));
    QCOMPARE(splash.findChild<QLabel*>("Label1")->text(), QString("Target board testing ....."));
    const QPixmap picture = splash.findChild<QLabel*>("Image1")->pixmap();
    QCOMPARE(picture.size(), QSize(61, 61));
    QVERIFY(picture.toImage().pixelColor(30, 30).alpha() > 0);
    const QPoint offset = splash.geometry().center() - window.geometry().center();
    QVERIFY2(offset.manhattanLength() <= centringSlack, "the splash is centred on its window");

    splash.close();
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
