// The menu's accelerators from inside the fields. CTest runs this offscreen
// and on an X screen, where Qt's line edit takes the X11 key bindings
// (Ctrl+E: end of line).

#include "WindowFixture.h"

#include <QAction>
#include <QFile>

class AcceleratorsTest : public QObject {
    Q_OBJECT

private slots:
    // The menu's accelerators are the window's, whichever control has the
    // focus; a line edit would take Ctrl+E as "end of line".
    void menuKeysWorkWhateverHasTheFocus_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::newRow("Exit, edtFreq") << "edtFreq" << int(Qt::Key_E);
        QTest::newRow("Exit, edtBS_Period") << "edtBS_Period" << int(Qt::Key_E);
        QTest::newRow("Exit, focus sink") << "edtNull" << int(Qt::Key_E);
        QTest::newRow("Open, edtT11") << "edtT11" << int(Qt::Key_O);
        QTest::newRow("Save, edtRFDelay") << "edtRFDelay" << int(Qt::Key_S);
    }
    void menuKeysWorkWhateverHasTheFocus() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        WindowFixture f;
        QWidget* target = f.find<QWidget>(focus.toLatin1().constData());
        f.showPageOf(target);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, static_cast<Qt::Key>(key), Qt::ControlModifier);
        switch (key) {
        case Qt::Key_E:
            QTRY_VERIFY(!f.window().isVisible());
            break;
        case Qt::Key_O:
            QTRY_COMPARE(f.dialogs.asked.size(), std::size_t{1});
            break;
        case Qt::Key_S:
            QTRY_VERIFY(QFile::exists(f.workFolder().filePath("default.tbl")));
            break;
        }
        QVERIFY(f.messages.shown.empty());
    }
};

PX520_GUI_TEST_MAIN(AcceleratorsTest)

#include "AcceleratorsTest.moc"
