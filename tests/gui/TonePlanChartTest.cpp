// The tone-plan chart, drawn offscreen from a real tone-plan check.

#include "WindowFixture.h"

#include "fleet/TonePlanChart.h"

#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolTip>
#include <QVBoxLayout>

#include <set>

namespace {

// Units A and B answer each other's CALL #1 (1000 and 1005 Hz at 1.5 %);
// unit C is apart, with a group call.
std::vector<PlanPager> fleet() {
    return {
        {15, {{CallKind::Individual, 1, 10000, 7000}}},
        {15, {{CallKind::Individual, 1, 10050, 7000}}},
        {5, {{CallKind::Individual, 1, 20000, 15000}, {CallKind::Group, 1, 12000, 0}}},
    };
}

const std::vector<std::string> kNames{"row 1 (unit A)", "row 2 (unit B)", "row 3 (unit C)"};
const std::vector<std::string> kFindings{
    "overlap: row 1 (unit A) CALL #1 and row 2 (unit B) CALL #1",
    "1 overlap, 0 shared calls among 3 pagers."};

// The colours inside a mark, its outline and the tone's line left out.
std::set<QRgb> coloursInside(const QImage& image, const QRect& mark) {
    std::set<QRgb> colours;
    const QRect inside(mark.left() + 3, mark.top() + 3, mark.width() / 2 - 6, mark.height() - 6);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

} // namespace

class TonePlanChartTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        host = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(host.get());
        before = new QLineEdit(host.get());
        chart = new TonePlanChart(host.get());
        layout->addWidget(before);
        layout->addWidget(chart);
        const std::vector<PlanPager> pagers = fleet();
        chart->setPlan(kNames, pagers, checkTonePlan(pagers), kFindings);
        host->resize(640, 320);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    }
    void cleanup() { host.reset(); }

    void clickingAToneChoosesItsRow() {
        QSignalSpy chosen(chart, &TonePlanChart::rowChosen);
        const QRect group = chart->markRect(2, 1, 0);
        QVERIFY(!group.isEmpty());
        QTest::mouseClick(chart, Qt::LeftButton, {}, group.center());
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toInt(), 2);
        QCOMPARE(chart->selectedRow(), std::optional<int>(2));
        // Between the lanes' tones nothing is chosen.
        QTest::mouseClick(chart, Qt::LeftButton, {},
                          QPoint(chart->markRect(0, 0, 1).right() + 20, group.center().y()));
        QCOMPARE(chosen.count(), 0);
    }

    // The overlapping calls are hatched (more than one colour inside, not
    // colour alone); a tone apart is filled plain.
    void anOverlapIsDrawnHatched() {
        chart->setRange(985, 1025);
        const QImage zoomedOnA = chart->grab().toImage();
        for (int row : {0, 1}) {
            const QRect mark = chart->markRect(row, 0, 0);
            QVERIFY(mark.width() > 40);
            QVERIFY(coloursInside(zoomedOnA, mark).size() > 1);
        }
        chart->setRange(1990, 2010);
        const QImage zoomedOnC = chart->grab().toImage();
        const QRect apart = chart->markRect(2, 0, 0);
        QVERIFY(apart.width() > 40);
        QCOMPARE(coloursInside(zoomedOnC, apart).size(), std::size_t{1});
    }

    void hoveringAToneNamesItsPagerAndCall() {
        const QString expected = QStringLiteral(
            "row 2 (unit B): CALL #1 TONE1 1005.0 Hz, answered from 989.9 to 1020.1 Hz (1.5 %); "
            "overlaps another pager's call");
        QCOMPARE(chart->markText(1, 0, 0), expected);
        const QPoint at = chart->markRect(1, 0, 0).center();
        QHelpEvent hover(QEvent::ToolTip, at, chart->mapToGlobal(at));
        QApplication::sendEvent(chart, &hover);
        QTRY_COMPARE(QToolTip::text(), expected);
        QCOMPARE(chart->markText(2, 1, 0),
                 QStringLiteral("row 3 (unit C): Group CALL #1 1200.0 Hz, answered from 1194.0 to "
                                "1206.0 Hz (0.5 %)"));
    }

    // The wheel narrows the range around the frequency under the pointer;
    // + halves it; 0 shows the whole plan again.
    void zooming() {
        const double wholeLow = chart->lowHz();
        const double wholeHigh = chart->highHz();
        QVERIFY(wholeLow < 700 && wholeHigh > 2000);
        // Unit A's 1000 Hz stays under the pointer.
        const QPoint at = chart->markRect(0, 0, 0).center();
        QWheelEvent wheel(at, chart->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart, &wheel);
        QVERIFY(chart->highHz() - chart->lowHz() < (wholeHigh - wholeLow) * 0.7);
        QVERIFY(chart->lowHz() < 1000 && chart->highHz() > 1000);
        QVERIFY(std::abs(chart->markRect(0, 0, 0).center().x() - at.x()) <= 1);

        chart->setFocus();
        const double span = chart->highHz() - chart->lowHz();
        QTest::keyClick(chart, Qt::Key_Plus);
        QCOMPARE(chart->highHz() - chart->lowHz(), span / 2);
        QTest::keyClick(chart, Qt::Key_0);
        QCOMPARE(chart->lowHz(), wholeLow);
        QCOMPARE(chart->highHz(), wholeHigh);
    }

    // Tab reaches it; the arrows move between tones, Enter chooses; a screen
    // reader hears its name and the overlap list.
    void theKeyboardAndAScreenReaderReachIt() {
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), chart);
        QSignalSpy chosen(chart, &TonePlanChart::rowChosen);
        QTest::keyClick(chart, Qt::Key_Right); // the first tone: unit A's TONE1
        QTest::keyClick(chart, Qt::Key_Left);  // unit A's TONE2, lower
        QCOMPARE(chart->selectedRow(), std::optional<int>(0));
        QTest::keyClick(chart, Qt::Key_Down);
        QTest::keyClick(chart, Qt::Key_Down);
        QTest::keyClick(chart, Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toInt(), 2);

        QCOMPARE(chart->accessibleName(), QStringLiteral("Tone plan chart"));
        QCOMPARE(chart->accessibleDescription(),
                 QStringLiteral("overlap: row 1 (unit A) CALL #1 and row 2 (unit B) CALL #1\n"
                                "1 overlap, 0 shared calls among 3 pagers."));
    }

private:
    std::unique_ptr<QWidget> host;
    QLineEdit* before = nullptr;
    TonePlanChart* chart = nullptr;
};

PX520_GUI_TEST_MAIN(TonePlanChartTest)

#include "TonePlanChartTest.moc"
