// Editing that loses nothing unasked: the changed marker, the question before
// changes are closed or replaced, undo and redo of stored changes, editing
// commands in fields, recent files and dropped files, on the real window.

#include "SettingsDriver.h"
#include "WrittenPager.h"
#include "../support/FileSizeLimit.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"
#include "sim/BoardEmulator.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace {

const QString kCaption = QStringLiteral("PX520 V3.8.2");

QByteArray bytesOf(const ConfigImage& image) {
    return {reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size())};
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A table file holding the window's default image with one battery save.
QString tableWith(const QDir& folder, const QString& name, std::uint8_t batterySave) {
    ConfigImage image = defaultImage();
    storeVersionTag(image, makeVersionTag(kWindowCaption));
    image[field::BS_Period] = batterySave;
    const QString path = folder.filePath(name);
    if (saveTableFile(path.toStdString(), image) != 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void openWithCtrlO(WindowFixture& f, const QString& path) {
    f.dialogs.answers = {path};
    QTest::keyClick(&f.window(), Qt::Key_O, Qt::ControlModifier);
    f.settle();
}

void undo(WindowFixture& f) {
    f.find<QAction>("Undo1")->trigger();
    f.settle();
}

void redo(WindowFixture& f) {
    f.find<QAction>("Redo1")->trigger();
    f.settle();
}

} // namespace

class EditingSafetyTest : public QObject {
    Q_OBJECT

private slots:
    // The title marks changes and nothing else; typing the old value back
    // is no change.
    void titleMarksChangesByTheBytes() {
        WindowFixture f;
        TForm1& w = f.window();
        QCOMPARE(w.windowTitle(), kCaption);
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        QCOMPARE(w.windowTitle(), kCaption + QLatin1Char('*'));
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("15"));
        QCOMPARE(w.windowTitle(), kCaption);
        QVERIFY(f.messages.shown.empty());
    }

    void statusPanelSaysWhereSaveWritesAndWhereTheImageCameFrom() {
        WindowFixture f;
        auto* panel = f.find<QLabel>("StatusPanel3");
        QCOMPARE(panel->toolTip(), QStringLiteral("Save: default.tbl"));
        openWithCtrlO(f, tableWith(f.workFolder(), QStringLiteral("b.tbl"), 20));
        QCOMPARE(panel->toolTip(), QStringLiteral("Save: default.tbl \u00B7 opened b.tbl"));
        QCOMPARE(f.window().windowTitle(), kCaption);
        // A file of the same name elsewhere is not the one Save writes.
        QTemporaryDir elsewhere;
        openWithCtrlO(f, tableWith(QDir(elsewhere.path()), QStringLiteral("default.tbl"), 21));
        QCOMPARE(panel->toolTip(), QStringLiteral("Save: default.tbl \u00B7 opened default.tbl"));
    }

    // Closing with a change asks once, naming the file Save would write.
    void closingAChangedImageAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel") << static_cast<int>(SaveChoice::Cancel) << false << false;
        QTest::newRow("discard") << static_cast<int>(SaveChoice::Discard) << true << false;
        QTest::newRow("save") << static_cast<int>(SaveChoice::Save) << true << true;
    }
    void closingAChangedImageAsks() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        WindowFixture f;
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        const ConfigImage edited = f.image();
        f.messages.saveAnswers = {static_cast<SaveChoice>(answer)};
        f.key(&f.window(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.messages.questions.size(), 1);
        QVERIFY(f.messages.questions.front().contains(QStringLiteral("default.tbl")));
        QCOMPARE(f.window().isVisible(), !closed);
        QVERIFY(f.image() == edited);
        const QString table = f.workFolder().filePath(QStringLiteral("default.tbl"));
        QCOMPARE(QFile::exists(table), saved);
        if (saved) {
            QCOMPARE(fileBytes(table), bytesOf(edited));
        }
    }

    void unchangedImageClosesWithoutAQuestion() {
        WindowFixture f;
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("15"));
        f.window().close();
        QVERIFY(!f.window().isVisible());
        QVERIFY(f.messages.questions.isEmpty());
    }

    // Open after a change asks first; Cancel keeps the image and asks for
    // no file.
    void openAfterAChangeAsks() {
        WindowFixture f;
        const QString other = tableWith(f.workFolder(), QStringLiteral("b.tbl"), 30);
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        const ConfigImage edited = f.image();
        openWithCtrlO(f, other);
        QCOMPARE(f.messages.questions.size(), 1);
        QVERIFY(f.dialogs.asked.empty());
        QVERIFY(f.image() == edited);

        f.messages.saveAnswers = {SaveChoice::Discard};
        openWithCtrlO(f, other);
        QCOMPARE(f.image()[field::BS_Period], 30);
        QCOMPARE(f.window().windowTitle(), kCaption);
    }

    // A failed Save answers Cancel: the window stays with its changes.
    void saveThatFailsCancels() {
        WindowFixture f;
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        f.dialogs.answers = {f.workFolder().filePath(QStringLiteral("no/such/folder/x.tbl"))};
        f.find<QAction>("SaveAs1")->trigger();
        f.settle();
        f.messages.shown.clear();
        f.messages.saveAnswers = {SaveChoice::Save};
        f.window().close();
        QCOMPARE(f.messages.texts(), QStringList{"Save Error!"});
        QVERIFY(f.window().isVisible());
    }

    // Save writes beside and renames: when the disk fills (a file size limit
    // here, which binds root too) the old file stays whole.
    void saveThatCannotFinishLeavesTheOldFileWhole() {
        WindowFixture f;
        const QString table = tableWith(f.workFolder(), QStringLiteral("default.tbl"), 33);
        const QByteArray before = fileBytes(table);
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        {
            const FileSizeLimit full(100);
            QTest::keyClick(&f.window(), Qt::Key_S, Qt::ControlModifier);
        }
        f.settle();
        QCOMPARE(f.messages.texts(), QStringList{"Save Error!"});
        QCOMPARE(fileBytes(table), before);
        QCOMPARE(f.window().windowTitle(), kCaption + QLatin1Char('*'));
    }

    // Each stored change is one step: an entry, a pick, a switch and an Open;
    // undo restores the bytes before it, redo those after.
    void undoAndRedoEveryStoredChange() {
        WindowFixture f;
        std::vector<ConfigImage> states{f.image()};
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        states.push_back(f.image());
        pick(f, f.find<QComboBox>("cboReminder"), QStringLiteral("60  Second"));
        states.push_back(f.image());
        click(f, f.find<QCheckBox>("chkDuty2"));
        states.push_back(f.image());
        openWithCtrlO(f, tableWith(f.workFolder(), QStringLiteral("b.tbl"), 40));
        f.messages.saveAnswers = {SaveChoice::Discard};
        openWithCtrlO(f, tableWith(f.workFolder(), QStringLiteral("b.tbl"), 40));
        states.push_back(f.image());
        QCOMPARE(f.image()[field::BS_Period], 40);

        for (std::size_t i = states.size() - 1; i > 0; --i) {
            undo(f);
            QVERIFY2(f.image() == states[i - 1], qPrintable(QString::number(i)));
        }
        QCOMPARE(f.edit("edtBS_Period")->text(), QStringLiteral("15"));
        QVERIFY(!f.find<QCheckBox>("chkDuty2")->isChecked());
        QVERIFY(!f.edit("edtT12")->isEnabled());
        for (std::size_t i = 1; i < states.size(); ++i) {
            redo(f);
            QVERIFY2(f.image() == states[i], qPrintable(QString::number(i)));
        }
        QCOMPARE(f.edit("edtBS_Period")->text(), QStringLiteral("40"));
        QCOMPARE(f.window().windowTitle(), kCaption);
    }

    // A refused entry stores nothing and leaves no step.
    void refusedEntryLeavesNoStep() {
        WindowFixture f;
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("300"));
        QCOMPARE(f.messages.texts(), QStringList{"Please insert a number between 0 to 255"});
        QVERIFY(!f.find<QAction>("Undo1")->isEnabled());
    }

    // While the text is typed Ctrl+Z undoes the typing; once the entry has
    // ended it undoes the stored change.
    void ctrlZUndoesTypingFirstThenTheStoredChange() {
        WindowFixture f;
        TEdit* period = f.edit("edtBS_Period");
        f.typeAndTab(period, QStringLiteral("20"));
        TEdit* duty = f.edit("edtBS_Duty");
        QCOMPARE(f.focused(), static_cast<QWidget*>(duty));
        f.type(duty, QStringLiteral("7"));
        f.key(duty, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(duty->text(), QString());
        QCOMPARE(f.image()[field::BS_Period], 20);
        f.key(duty, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.image()[field::BS_Period], 15);
        QCOMPARE(period->text(), QStringLiteral("15"));
        f.key(duty, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f.image()[field::BS_Period], 20);
        QVERIFY(f.messages.shown.empty());
    }

    // Select all, copy and paste are editing commands, not typed keys; a
    // pasted text is judged when the entry ends.
    void editingCommandsWorkInFields() {
        WindowFixture f;
        TEdit* period = f.edit("edtBS_Period");
        f.enter(period);
        f.type(period, QStringLiteral("25"));
        f.key(period, Qt::Key_A, Qt::ControlModifier);
        f.key(period, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("25"));
        f.key(period, Qt::Key_Tab);
        TEdit* delay = f.edit("edtRFDelay");
        f.enter(delay);
        f.key(delay, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(delay->text(), QStringLiteral("25"));
        f.key(delay, Qt::Key_Tab);
        QCOMPARE(f.image()[field::RFDelay], 25);
        QVERIFY(f.messages.shown.empty());

        QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
        f.enter(delay);
        f.key(delay, Qt::Key_V, Qt::ControlModifier);
        f.key(delay, Qt::Key_Tab);
        QCOMPARE(f.messages.texts(), QStringList{"'abc' is not a valid integer value."});
        QCOMPARE(f.image()[field::RFDelay], 25);
    }

    // A Read replaces the image: after a change it asks first; undo brings
    // the image before the Read back, without talking to the pager.
    void readAsksAndIsOneStep() {
        const ConfigImage memory =
            writtenPager([](ConfigImage& pager) { pager[field::BS_Period] = 77; });
        BoardEmulator board;
        board.setFirmware(1, 86);
        board.setMemory(memory);
        board.start();
        WindowFixture f({}, {{board.slavePath(), "emulated board"}});
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        const ConfigImage edited = f.image();

        f.key(&f.window(), Qt::Key_F3);
        QCOMPARE(f.messages.questions.size(), 1);
        QVERIFY(f.messages.shown.empty());
        QVERIFY(f.image() == edited);

        f.messages.saveAnswers = {SaveChoice::Discard};
        f.key(&f.window(), Qt::Key_F3);
        QCOMPARE(f.messages.texts(), QStringList{"Read Success !"});
        QCOMPARE(f.image()[field::BS_Period], 77);
        QCOMPARE(f.window().windowTitle(), kCaption);
        QVERIFY(f.find<QLabel>("StatusPanel3")->toolTip().endsWith("read from the pager"));

        board.stop();
        undo(f);
        QVERIFY(f.image() == edited);
        QCOMPARE(f.window().windowTitle(), kCaption + QLatin1Char('*'));
        redo(f);
        QCOMPARE(f.image()[field::BS_Period], 77);
    }

    void droppedTableFileOpens() {
        WindowFixture f;
        const QString path = tableWith(f.workFolder(), QStringLiteral("dropped.tbl"), 55);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = f.window().rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.window(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.window(), &drop);
        f.settle();
        QCOMPARE(f.image()[field::BS_Period], 55);
        QCOMPARE(f.edit("edtBS_Period")->text(), QStringLiteral("55"));

        QMimeData other;
        other.setUrls({QUrl::fromLocalFile(f.workFolder().filePath("notes.txt"))});
        QDragEnterEvent refused(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.window(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    // Files opened or saved are offered again after a restart, newest first;
    // a file that is gone is not.
    void recentFilesSurviveARestart() {
        const QTemporaryDir kept;
        const QString first = tableWith(QDir(kept.path()), QStringLiteral("first.tbl"), 21);
        const QString second = tableWith(QDir(kept.path()), QStringLiteral("second.tbl"), 22);
        const QString gone = tableWith(QDir(kept.path()), QStringLiteral("gone.tbl"), 23);
        {
            WindowFixture f;
            for (const QString& path : {gone, first, second}) {
                openWithCtrlO(f, path);
            }
        }
        QFile::remove(gone);
        WindowFixture f;
        auto* recent = f.find<QMenu>("OpenRecent1");
        emit recent->aboutToShow();
        const auto items = recent->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), second);
        QCOMPARE(items[1]->text(), first);
        items[1]->trigger();
        f.settle();
        QCOMPARE(f.image()[field::BS_Period], 21);
    }

    // The Edit menu follows File, with the keys desktop programs use.
    void editMenuFollowsFile() {
        WindowFixture f;
        const auto menus = f.window().menuBar()->actions();
        QCOMPARE(menus[0]->menu()->objectName(), QStringLiteral("FileF1"));
        QCOMPARE(menus[1]->menu()->objectName(), QStringLiteral("Edit1"));
        QCOMPARE(menus[1]->text(), QStringLiteral("Edit"));
        QCOMPARE(f.find<QAction>("Undo1")->shortcut(), QKeySequence(QKeySequence::Undo));
        QCOMPARE(f.find<QAction>("Redo1")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                      QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    }
};

PX520_GUI_TEST_MAIN(EditingSafetyTest)

#include "EditingSafetyTest.moc"
