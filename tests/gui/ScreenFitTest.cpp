// The window on a real X screen without a window manager: CTest runs this
// under xvfb-run at common screen sizes and scales (QT_SCALE_FACTOR), and
// once offscreen. Each run on X leaves a screenshot of the screen in the
// build folder's screenshots/.

#include "FleetFixture.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

namespace {

// What a window manager needs above and below the window: a title bar and
// its border.
constexpr int kDecorationRoom = 60;

// The specified size, kept wherever the screen has room for it.
constexpr QSize kSpecifiedSize(833, 700);

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString settingName(const QScreen& screen) {
    const QSize pixels = screen.size() * screen.devicePixelRatio();
    return QStringLiteral("%1x%2-%3pct")
        .arg(pixels.width())
        .arg(pixels.height())
        .arg(qRound(screen.devicePixelRatio() * 100));
}

// A caption that its control cuts, as "name: needs WxH, has WxH".
QString cutCaption(const QWidget& control) {
    QSize needs = control.sizeHint();
    if (const auto* label = qobject_cast<const QLabel*>(&control); label && label->wordWrap()) {
        needs = QSize(0, label->heightForWidth(label->width()));
    } else if (qobject_cast<const QGroupBox*>(&control) != nullptr) {
        // A group box's own hint follows its children; its title is in the minimum.
        needs = QSize(control.minimumSizeHint().width(), 0);
    }
    if (needs.width() <= control.width() && needs.height() <= control.height()) {
        return {};
    }
    return QStringLiteral("%1: needs %2x%3, has %4x%5")
        .arg(control.objectName())
        .arg(needs.width())
        .arg(needs.height())
        .arg(control.width())
        .arg(control.height());
}

// The cut captions of one window's own controls; the tab bar's scroll
// buttons are Qt's own.
QStringList cutCaptions(const QWidget& window) {
    QStringList cut;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const bool caption =
            qobject_cast<const QLabel*>(control) || qobject_cast<const QAbstractButton*>(control) ||
            qobject_cast<const QComboBox*>(control) || qobject_cast<const QGroupBox*>(control);
        if (!caption || control->window() != &window ||
            qobject_cast<const QTabBar*>(control->parentWidget()) != nullptr) {
            continue;
        }
        const QString problem = cutCaption(*control);
        if (!problem.isEmpty()) {
            cut << window.objectName() + QLatin1Char('.') + problem;
        }
    }
    return cut;
}

// The title the X server holds for the window, as a window manager reads it.
QString titleOnScreen(const QWidget& window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished()) {
        return QStringLiteral("(xprop did not run)");
    }
    const QString answer = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QString before = QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"");
    if (!answer.startsWith(before) || !answer.endsWith(QLatin1Char('"'))) {
        return answer;
    }
    return answer.mid(before.size(), answer.size() - before.size() - 1);
}

} // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT

private slots:
    void windowAndMenuLieInsideTheScreenWithRoomForATitleBar() {
        WindowFixture f;
        TForm1& w = f.window();
        const QScreen& screen = *w.screen();
        const QRect area = screen.availableGeometry();
        const QRect frame = w.frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("window %1,%2 %3x%4 on %5x%6")
                                                      .arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())
                                                      .arg(area.width())
                                                      .arg(area.height())));
        QVERIFY(area.height() - frame.height() >= kDecorationRoom);
        auto* menu = w.menuBar();
        QVERIFY(menu->isVisible());
        QVERIFY(area.contains(QRect(menu->mapToGlobal(QPoint(0, 0)), menu->size())));

        const bool roomy = area.width() >= kSpecifiedSize.width() &&
                           area.height() - kDecorationRoom >= kSpecifiedSize.height();
        auto* scroller = f.find<QScrollArea>("ScrollBox1");
        if (roomy) {
            QCOMPARE(w.size(), kSpecifiedSize);
            QCOMPARE(scroller->verticalScrollBar()->maximum(), 0);
        } else {
            // Shorter: the controls scroll up and down, never sideways.
            QVERIFY(w.height() < kSpecifiedSize.height());
            QVERIFY(scroller->verticalScrollBar()->maximum() > 0);
        }
        QCOMPARE(scroller->horizontalScrollBar()->maximum(), 0);

        if (onX11()) {
            QDir().mkpath(PX520_SCREEN_FIT_SHOTS);
            const QString file =
                QStringLiteral(PX520_SCREEN_FIT_SHOTS "/screen-%1.png").arg(settingName(screen));
            QVERIFY(w.screen()->grabWindow(0).save(file));
        }
    }

    // With the platform's fonts, every label, button, check box, combo box
    // and group box title of the window and of its dialogs, as they open,
    // has the room its text needs.
    void everyCaptionHasTheRoomItsTextNeeds() {
        WindowFixture f;
        f.window().setAdvanceUnlocked(true);
        QStringList cut;
        QList<QWidget*> windows{&f.window()};
        for (QDialog* dialog : f.window().findChildren<QDialog*>()) {
            dialog->show();
            windows << dialog;
        }
        f.settle();
        for (QWidget* window : windows) {
            cut << cutCaptions(*window);
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String("; "))));
    }

    // The fleet window, with a fleet open, lies whole inside the screen with
    // room for a title bar, and its captions have the room they need.
    void fleetWindowFitsTheScreen() {
        FleetFixture f;
        QVERIFY(f.open("label,T1[1],T2[1],BandWidth\nunit A,669.9,707.3,1.5\n"
                       "unit B,667.5,712.5,0.3\nunit C,669.9,707.3,\n"));
        const QRect area = f.fleet.screen()->availableGeometry();
        const QRect frame = f.fleet.frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("fleet window %1,%2 %3x%4 on %5x%6")
                                                      .arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())
                                                      .arg(area.width())
                                                      .arg(area.height())));
        QVERIFY(area.height() - frame.height() >= kDecorationRoom);
        const QStringList cut = cutCaptions(f.fleet);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String("; "))));
        if (onX11()) {
            QDir().mkpath(PX520_SCREEN_FIT_SHOTS);
            const QString file = QStringLiteral(PX520_SCREEN_FIT_SHOTS "/fleet-%1.png")
                                     .arg(settingName(*f.fleet.screen()));
            QVERIFY(f.fleet.screen()->grabWindow(0).save(file));
        }
    }

    // Qt would add the application's display name to every title bar.
    void titleBarsShowTheCaptionsAlone() {
        if (!onX11()) {
            QSKIP("reads the titles from the X server");
        }
        WindowFixture f;
        QCOMPARE(titleOnScreen(f.window()), QStringLiteral("PX520 V3.8.2"));
        for (QDialog* dialog : f.window().findChildren<QDialog*>()) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QCOMPARE(titleOnScreen(*dialog), dialog->windowTitle());
            dialog->hide();
        }
    }
};

PX520_GUI_TEST_MAIN(ScreenFitTest)

#include "ScreenFitTest.moc"
