// The Pager menu, the start-up board search and the board version button,
// through the window, against the emulated board on a pseudo-terminal.

#include "WindowFixture.h"
#include "WrittenPager.h"
#include "dialogs/Fmboardtest.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/FirmwareVersion.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"
#include "model/WritePreparation.h"
#include "sim/BoardEmulator.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

BoardFaults silentBoard() {
    BoardFaults faults;
    faults.silent = true;
    return faults;
}

const QString kNotRespondingOnRead = QStringLiteral(
    "The Board is not responding ! \nPlease check your programer ready\n and COM port connect "
    "properly !");

// A pager as a Write of this tool leaves it, with settings of its own.
ConfigImage pagerMemory() {
    return writtenPager([](ConfigImage& memory) {
        memory[field::BS_Period] = 99;
        memory[field::RFDelay] = 44;
        memory[field::Squelch] = 9;
    });
}

std::vector<SerialPortInfo> portsOf(const BoardEmulator& board) {
    return {{board.slavePath(), "emulated board"}};
}

// What the window shows at one moment.
struct WindowState {
    QString status;
    bool enabled;
    bool read, write, verify;
    int position, maximum;

    bool operator==(const WindowState&) const = default;
};

WindowState stateOf(WindowFixture& f) {
    auto* bar = f.find<QProgressBar>("PB1");
    return {f.find<QLabel>("StatusPanel1")->text(),
            f.window().isEnabled(),
            f.find<QAction>("Read1")->isEnabled(),
            f.find<QAction>("Write1")->isEnabled(),
            f.find<QAction>("Verify1")->isEnabled(),
            bar->value(),
            bar->maximum()};
}

// Records the window's state whenever a message is shown.
struct StateAtMessages {
    explicit StateAtMessages(WindowFixture& f) {
        f.messages.onShow = [this, &f](const RecordedMessage&) { states.push_back(stateOf(f)); };
    }
    std::vector<WindowState> states;
};

bool splashVisible() {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget* w) {
        return qobject_cast<TForm3*>(w) != nullptr && w->isVisible();
    });
}

// Watches the splash from outside: its showing and hiding, and how often the
// event loop ran while it was up.
class SplashWatch : public QObject {
public:
    SplashWatch() {
        QApplication::instance()->installEventFilter(this);
        tick.setInterval(1);
        connect(&tick, &QTimer::timeout, this, [this] {
            if (splashVisible()) {
                ++ticksWhileShown;
            }
        });
        tick.start();
    }
    ~SplashWatch() override { QApplication::instance()->removeEventFilter(this); }

    QStringList events;
    int ticksWhileShown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (qobject_cast<TForm3*>(watched) != nullptr) {
            if (event->type() == QEvent::Show) {
                events << "shown";
            } else if (event->type() == QEvent::Hide) {
                events << "hidden";
            }
        }
        return false;
    }

private:
    QTimer tick;
};

// The user clicks the box; its list is open once it has the keyboard.
void openList(QComboBox* box) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTRY_VERIFY(box->view()->isVisible());
    QTRY_COMPARE(QGuiApplication::focusWindow(), box->view()->window()->windowHandle());
}

// The offscreen platform gives the window back its activation only when asked.
void listClosed(WindowFixture& f, QComboBox* box) {
    QTRY_VERIFY(!box->view()->isVisible());
    f.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window()));
}

// The positions the bar went through, in order.
QList<int> positions(const QSignalSpy& spy) {
    QList<int> values;
    for (const auto& arguments : spy) {
        values << arguments.at(0).toInt();
    }
    return values;
}

} // namespace

class PagerMenuTest : public QObject {
    Q_OBJECT

private slots:
    void startUpFindsTheBoardBehindTheSplash() {
        BoardEmulator board;
        board.start();
        SplashWatch splash;
        WindowFixture f({}, {{"ttyNONE0", ""}, {board.slavePath(), "emulated board"}});
        QCOMPARE(splash.events, (QStringList{"shown", "hidden"}));
        QVERIFY(f.startUpMessages.empty());
        QCOMPARE(f.find<QComboBox>("cboPort")->currentIndex(), 1);
        QCOMPARE(board.requests().size(), std::size_t{1}); // one probe
    }

    void startUpWithoutABoardSaysSoOnceThenLoadsTheDefaultTable() {
        BoardEmulator board;
        board.setFaults(silentBoard());
        board.start();
        const ConfigImage table = pagerMemory();
        SplashWatch splash;
        WindowFixture f(
            [&table](const QDir& dir) {
                QCOMPARE(saveTableFile(dir.filePath("default.tbl").toStdString(), table), 0);
            },
            {{board.slavePath(), ""}, {"ttyNONE1", ""}});
        QCOMPARE(splash.events, (QStringList{"shown", "hidden"}));
        // The window kept processing events while the silent board was probed.
        QVERIFY(splash.ticksWhileShown > 0);
        QCOMPARE(f.startUpTexts(), QStringList{kBoardNotResponding});
        QCOMPARE(f.startUpMessages[0].kind, MessageKind::Exclamation);
        QCOMPARE(f.startUpMessages[0].caption, QStringLiteral("PX520"));
        QCOMPARE(f.find<QComboBox>("cboPort")->currentIndex(), 0);
        QVERIFY(f.image() == table);
        QCOMPARE(f.edit("edtRFDelay")->text(), QStringLiteral("44"));
    }

    // Opening cboPort's list reads the machine's ports again: a port plugged
    // in since appears and serves, one pulled out disappears, and the chosen
    // port stays chosen while it is listed.
    void portListFollowsTheMachine() {
        const ConfigImage firstMemory = pagerMemory();
        ConfigImage secondMemory = firstMemory;
        secondMemory[field::RFDelay] = 55;
        writeWord(secondMemory, field::Checksum, imageChecksum(secondMemory));
        auto first = std::make_unique<BoardEmulator>();
        first->setMemory(firstMemory);
        first->start();
        WindowFixture f({}, portsOf(*first));
        auto* box = f.find<QComboBox>("cboPort");
        const auto listed = [box] {
            QStringList names;
            for (int i = 0; i < box->count(); ++i) {
                names << box->itemText(i);
            }
            return names;
        };
        const QString firstPath = QString::fromStdString(first->slavePath());

        BoardEmulator second;
        second.setMemory(secondMemory);
        second.start();
        const QString secondPath = QString::fromStdString(second.slavePath());
        f.machinePorts = {{second.slavePath(), "plugged in"},
                          {first->slavePath(), "emulated board"}};
        QCOMPARE(listed(), QStringList{firstPath});
        openList(box);
        QCOMPARE(listed(), (QStringList{secondPath, firstPath}));
        QCOMPARE(box->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("plugged in"));
        QCOMPARE(box->currentIndex(), 1);
        QTest::keyClick(box->view(), Qt::Key_Escape);
        listClosed(f, box);
        f.key(&f.window(), Qt::Key_F3);
        QCOMPARE(f.messages.texts(), QStringList{"Read Success !"});
        QVERIFY(f.image() == firstMemory);

        // Pulled out: gone from the list, and no other device takes its place.
        first.reset();
        f.machinePorts = {{second.slavePath(), "plugged in"}};
        openList(box);
        QCOMPARE(listed(), QStringList{secondPath});
        QCOMPARE(box->currentIndex(), -1);
        QTest::keyClick(box->view(), Qt::Key_Down);
        QTest::keyClick(box->view(), Qt::Key_Return);
        listClosed(f, box);
        QCOMPARE(box->currentIndex(), 0);
        f.key(&f.window(), Qt::Key_F3);
        QCOMPARE(f.messages.texts(), (QStringList{"Read Success !", "Read Success !"}));
        QVERIFY(f.image() == secondMemory);
    }

    // The list opened while the start-up search runs is the list searched, so
    // the port found is the port chosen; the machine's new list comes the
    // next time the list opens.
    void portListOpenedDuringTheSearchIsTheOneSearched() {
        BoardEmulator silent;
        silent.setFaults(silentBoard());
        silent.start();
        BoardEmulator board;
        board.start();
        std::vector<SerialPortInfo> machine{{silent.slavePath(), ""}, {board.slavePath(), ""}};
        QTemporaryDir folder;
        const QString previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());

        RecordingMessages messages;
        ScriptedFileDialogs dialogs;
        TForm1 window(
            messages, dialogs, [&machine] { return machine; }, kTestLinkTiming);
        auto* box = window.findChild<QComboBox*>(QStringLiteral("cboPort"));
        bool openedDuringSearch = false;
        QTimer opener;
        opener.setInterval(1);
        connect(&opener, &QTimer::timeout, this, [&] {
            if (!splashVisible()) {
                return;
            }
            opener.stop();
            machine = {{board.slavePath(), ""}};
            QTest::mouseClick(box, Qt::LeftButton);
            openedDuringSearch = box->view()->isVisible() && splashVisible();
            box->hidePopup();
        });
        opener.start();
        window.show();
        QTRY_VERIFY(!opener.isActive());
        QTRY_VERIFY(!splashVisible());
        QDir::setCurrent(previousFolder);

        QVERIFY(openedDuringSearch);
        QVERIFY(messages.shown.empty());
        QCOMPARE(box->currentText(), QString::fromStdString(board.slavePath()));
        box->showPopup();
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->currentText(), QString::fromStdString(board.slavePath()));
        box->hidePopup();
    }

    // A close during the search waits for its end; nothing follows it then.
    void closingDuringTheSearchWaitsForItsEnd() {
        BoardEmulator board;
        board.setFaults(silentBoard());
        board.start();
        const ConfigImage table = pagerMemory();
        QVERIFY(table[field::RFDelay] != defaultImage()[field::RFDelay]);
        QTemporaryDir folder;
        const QString previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        QCOMPARE(saveTableFile("default.tbl", table), 0);

        RecordingMessages messages;
        ScriptedFileDialogs dialogs;
        TForm1 window(
            messages, dialogs, [&board] { return portsOf(board); }, kTestLinkTiming);
        bool openRightAfterClose = false;
        QTimer closer;
        closer.setInterval(1);
        connect(&closer, &QTimer::timeout, this, [&] {
            if (splashVisible()) {
                closer.stop();
                window.close();
                openRightAfterClose = window.isVisible();
            }
        });
        closer.start();
        window.show();
        QTRY_VERIFY(!closer.isActive());
        QTRY_VERIFY(!window.isVisible());
        QDir::setCurrent(previousFolder);

        QVERIFY(openRightAfterClose);
        QVERIFY(messages.shown.empty());
        // "default.tbl" was not loaded.
        QCOMPARE(window.configImage()[field::RFDelay], defaultImage()[field::RFDelay]);
    }

    void readShowsThePagersImage() {
        const ConfigImage memory = pagerMemory();
        BoardEmulator board;
        board.setMemory(memory);
        board.start();
        WindowFixture f({}, portsOf(board));
        QVERIFY(f.find<QLabel>("lblVersion")->isHidden());
        QSignalSpy bar(f.find<QProgressBar>("PB1"), &QProgressBar::valueChanged);
        StateAtMessages atMessage(f);

        f.key(&f.window(), Qt::Key_F3);

        QCOMPARE(f.messages.texts(), QStringList{"Read Success !"});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(f.messages.shown[0].caption, QStringLiteral("PX520"));
        QCOMPARE(atMessage.states[0],
                 (WindowState{"  Reading Now ......", false, false, false, false, 256, 256}));
        QCOMPARE(positions(bar), (QList<int>{128, 256, 0}));
        // Modify Mode keeps Write away.
        QCOMPARE(stateOf(f), (WindowState{" Ready", true, true, false, true, 0, 256}));
        QVERIFY(f.image() == memory);
        QCOMPARE(f.edit("edtRFDelay")->text(), QStringLiteral("44"));
        QCOMPARE(f.edit("edtBS_Period")->text(), QStringLiteral("99"));
        QCOMPARE(f.find<QLineEdit>("edtVersion")->text(), QStringLiteral("1.86"));
        QVERIFY(f.find<QLineEdit>("edtVersion")->isVisible());
        QVERIFY(f.find<QLabel>("lblVersion")->isVisible());

        QTest::mouseClick(f.find<QRadioButton>("RBtWrite"), Qt::LeftButton);
        f.key(&f.window(), Qt::Key_F3);
        QCOMPARE(f.messages.texts(), (QStringList{"Read Success !", "Read Success !"}));
        QCOMPARE(stateOf(f), (WindowState{" Ready", true, true, true, true, 0, 256}));
    }

    void readWithoutABoardChangesNothing() {
        BoardEmulator board;
        board.setFaults(silentBoard());
        board.start();
        WindowFixture f({}, portsOf(board));
        const ConfigImage before = f.image();
        StateAtMessages atMessage(f);

        f.key(&f.window(), Qt::Key_F3);

        QCOMPARE(f.messages.texts(), QStringList{kNotRespondingOnRead});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Exclamation);
        QCOMPARE(atMessage.states[0].status, QStringLiteral("  Target board testing ......"));
        QVERIFY(!atMessage.states[0].enabled);
        QCOMPARE(stateOf(f), (WindowState{" Ready", true, true, false, true, 0, 0}));
        QVERIFY(f.image() == before);
        QVERIFY(f.find<QLabel>("lblVersion")->isHidden());
    }

    void writeStoresThePreparedImageWithoutRefreshing() {
        BoardEmulator board;
        board.setFirmware(1, 86);
        board.start();
        WindowFixture f({}, portsOf(board));
        f.find<QLabel>("StatusPanel2")->setText(QStringLiteral("File Name:shop.tbl"));
        const QString shownDelay = f.edit("edtRFDelay")->text();
        // Changed behind the controls' back: a refresh would show it.
        f.image()[field::RFDelay] = 77;
        QSignalSpy bar(f.find<QProgressBar>("PB1"), &QProgressBar::valueChanged);
        StateAtMessages atMessage(f);

        QTest::mouseClick(f.find<QRadioButton>("RBtWrite"), Qt::LeftButton);
        f.key(&f.window(), Qt::Key_F4);

        QCOMPARE(f.messages.texts(), QStringList{"Write Sucess !"});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(atMessage.states[0],
                 (WindowState{"  Verify Now ......", false, false, false, false, 256, 256}));
        const QList<int> seen = positions(bar);
        QCOMPARE(seen.mid(0, 3), (QList<int>{8, 16, 24}));
        QCOMPARE(seen.mid(31), (QList<int>{256, 0, 128, 256, 0}));
        QCOMPARE(stateOf(f), (WindowState{"  Ready .....", true, true, true, true, 0, 256}));
        QCOMPARE(f.find<QLabel>("StatusPanel2")->text(), QString());

        const ConfigImage& image = f.image();
        QVERIFY(board.memory() == image);
        QCOMPARE(image[field::RFDelay], 77);
        QCOMPARE(image[field::WriteMark], 1);
        QCOMPARE(image[field::BatteryLow], 103);
        QCOMPARE(readWord(image, field::Checksum), imageChecksum(image));
        const VersionTag tag = makeVersionTag(kWindowCaption);
        QVERIFY(std::equal(tag.begin(), tag.end(), image.begin() + field::VersionTag));
        QCOMPARE(f.edit("edtRFDelay")->text(), shownDelay);
        QCOMPARE(f.find<QLineEdit>("edtVersion")->text(), QStringLiteral("1.86"));

        QTest::mouseClick(f.find<QRadioButton>("RBtModify"), Qt::LeftButton);
        QVERIFY(!f.find<QAction>("Write1")->isEnabled());
    }

    void verifyComparesThePagerWithTheImage() {
        BoardEmulator board;
        board.setMemory(pagerMemory());
        board.start();
        WindowFixture f({}, portsOf(board));
        f.key(&f.window(), Qt::Key_F3);
        f.messages.shown.clear();
        StateAtMessages atMessage(f);

        f.key(&f.window(), Qt::Key_F2);
        QCOMPARE(f.messages.texts(), QStringList{"Verify Sucess !"});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(atMessage.states[0],
                 (WindowState{"  Verify Now ......", false, false, false, false, 256, 256}));
        QCOMPARE(stateOf(f), (WindowState{" Ready", true, true, false, true, 0, 256}));

        // Edited, not written.
        f.typeAndTab(f.edit("edtRFDelay"), "45");
        f.messages.shown.clear();
        const ConfigImage edited = f.image();
        f.key(&f.window(), Qt::Key_F2);
        QCOMPARE(f.messages.texts(), QStringList{"Verify Error !"});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Stop);
        QCOMPARE(stateOf(f), (WindowState{" Ready", true, true, false, true, 0, 256}));
        QVERIFY(f.image() == edited);
        QCOMPARE(board.memory()[field::RFDelay], 44);
    }

    // The value being typed is stored, or refused, before the board is asked.
    void typedValueIsCheckedBeforeTheTransfer() {
        BoardEmulator board;
        board.setMemory(pagerMemory());
        board.start();
        WindowFixture f({}, portsOf(board));
        f.key(&f.window(), Qt::Key_F3);
        f.messages.shown.clear();

        auto* delay = f.edit("edtRFDelay");
        f.enter(delay);
        f.type(delay, "45");
        f.key(delay, Qt::Key_F2);
        QCOMPARE(f.image()[field::RFDelay], 45);
        QCOMPARE(f.messages.texts(), QStringList{"Verify Error !"});

        f.messages.shown.clear();
        const unsigned exchanges = board.exchanges();
        f.enter(delay);
        f.type(delay, "300");
        f.key(delay, Qt::Key_F2);
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].kind, MessageKind::Exclamation);
        QVERIFY(f.messages.shown[0].text.startsWith(QStringLiteral("Please insert a number")));
        QCOMPARE(board.exchanges(), exchanges);
        QCOMPARE(f.focused(), delay);
        QCOMPARE(f.image()[field::RFDelay], 45);
    }

    void boardVersionButtonFillsItsHiddenField() {
        BoardEmulator board;
        board.setBoardVersion(2, 7);
        board.start();
        WindowFixture f({}, portsOf(board));
        auto* button = f.find<QPushButton>("Button1");
        auto* field = f.find<QLineEdit>("edtKB270Ver");
        QCOMPARE(button->text(), QStringLiteral("KB270"));
        QVERIFY(button->isHidden());
        QVERIFY(field->isHidden());

        button->click();
        QCOMPARE(field->text(), QStringLiteral("2.7"));
        QVERIFY(f.messages.shown.empty());
        QVERIFY(f.window().isEnabled());
    }
};

PX520_GUI_TEST_MAIN(PagerMenuTest)

#include "PagerMenuTest.moc"
