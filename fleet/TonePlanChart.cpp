#include "fleet/TonePlanChart.h"

#include "window/QtText.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Tones the pagers take, for a plan without any.
constexpr double kLowestTone = 280;
constexpr double kHighestTone = 3500;
// The narrowest range and the outer bounds a zoom may reach.
constexpr double kNarrowestHz = 1;
constexpr double kOuterLowHz = 0;
constexpr double kOuterHighHz = 20000;
// Room around the plan's tones when it is shown whole.
constexpr double kWholeMargin = 0.04;
constexpr double kWheelStep = 0.8;
constexpr double kKeyZoom = 0.5;

// Pixels: a tone's mark is never narrower than this, tick labels are about
// this far apart, lanes are this tall at most and in the size hint.
constexpr int kLeastMarkWidth = 5;
constexpr int kTickSpacing = 80;
constexpr int kTallestLane = 28;
constexpr int kHintLane = 16;
constexpr int kMostLabelWidth = 140;

double toneHz(ToneTenths tenths) {
    return tenths / 10.0;
}

QString hzText(double hz) {
    return QString::number(hz, 'f', 1);
}

QString percentText(int tenths) {
    return QStringLiteral("%1.%2 %").arg(tenths / 10).arg(tenths % 10);
}

QString callName(const PlanCall& call, int tone) {
    if (call.kind == CallKind::Group) {
        return QStringLiteral("Group CALL #%1").arg(call.call);
    }
    return QStringLiteral("CALL #%1 TONE%2").arg(call.call).arg(tone + 1);
}

// 1, 2 or 5 times a power of ten, at least `least`.
double niceStep(double least) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(least)));
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * magnitude >= least) {
            return multiple * magnitude;
        }
    }
    return 10 * magnitude;
}

} // namespace

TonePlanChart::TonePlanChart(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Tone plan chart"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    resetZoom();
}

void TonePlanChart::setPlan(std::vector<std::string> pagerNames, std::vector<PlanPager> pagers,
                            const TonePlanCheck& check, const std::vector<std::string>& findings) {
    std::optional<int> chosenRow = selectedRow();
    names = std::move(pagerNames);
    pagerCount = static_cast<int>(pagers.size());
    marks.clear();
    selected.reset();
    for (std::size_t p = 0; p < pagers.size(); ++p) {
        const PlanPager& pager = pagers[p];
        for (std::size_t c = 0; c < pager.calls.size(); ++c) {
            const PlanCall& call = pager.calls[c];
            const auto meets = [&](FindingKind kind) {
                return std::ranges::any_of(check.findings, [&](const PlanFinding& f) {
                    return f.kind == kind && ((f.pagerA == p && f.callA == call) ||
                                              (f.pagerB == p && f.callB == call));
                });
            };
            const bool overlap = meets(FindingKind::Overlap);
            const bool shared = meets(FindingKind::Shared);
            const int tones = call.kind == CallKind::Group ? 1 : 2;
            for (int t = 0; t < tones; ++t) {
                const double hz = toneHz(t == 0 ? call.tone1 : call.tone2);
                marks.push_back({static_cast<int>(p), c, call, t, hz, pager.bandwidth,
                                 hz * pager.bandwidth / 1000.0, overlap, shared});
            }
        }
    }
    QStringList lines;
    for (const std::string& line : findings) {
        lines << qText(line);
    }
    setAccessibleDescription(lines.join(QLatin1Char('\n')));
    resetZoom();
    if (chosenRow && *chosenRow < pagerCount) {
        selectRow(*chosenRow);
    }
    updateGeometry();
    update();
}

void TonePlanChart::setRange(double lowHz, double highHz) {
    if (!(highHz - lowHz >= kNarrowestHz)) {
        const double middle = (lowHz + highHz) / 2;
        lowHz = middle - kNarrowestHz / 2;
        highHz = middle + kNarrowestHz / 2;
    }
    const double span = std::min(highHz - lowHz, kOuterHighHz - kOuterLowHz);
    lowHz = std::clamp(lowHz, kOuterLowHz, kOuterHighHz - span);
    low = lowHz;
    high = lowHz + span;
    update();
    emit rangeChanged(low, high);
}

void TonePlanChart::resetZoom() {
    if (marks.empty()) {
        setRange(kLowestTone, kHighestTone);
        return;
    }
    double lowest = kOuterHighHz;
    double highest = kOuterLowHz;
    for (const Mark& mark : marks) {
        lowest = std::min(lowest, mark.hz - mark.halfWidth);
        highest = std::max(highest, mark.hz + mark.halfWidth);
    }
    const double margin = std::max((highest - lowest) * kWholeMargin, 10.0);
    setRange(lowest - margin, highest + margin);
}

void TonePlanChart::zoom(double factor, double aroundHz) {
    setRange(aroundHz - (aroundHz - low) * factor, aroundHz + (high - aroundHz) * factor);
}

std::optional<int> TonePlanChart::selectedRow() const {
    if (!selected) {
        return std::nullopt;
    }
    return marks[*selected].row;
}

void TonePlanChart::selectRow(int row) {
    const auto first = std::ranges::find(marks, row, &Mark::row);
    if (first != marks.end()) {
        select(static_cast<std::size_t>(first - marks.begin()));
    }
}

QRect TonePlanChart::markRect(int row, std::size_t call, int tone) const {
    const auto mark = findMark(row, call, tone);
    if (!mark) {
        return {};
    }
    return rectOf(marks[*mark]).intersected(plotArea());
}

QString TonePlanChart::markText(int row, std::size_t call, int tone) const {
    const auto mark = findMark(row, call, tone);
    return mark ? textOf(marks[*mark]) : QString();
}

QSize TonePlanChart::sizeHint() const {
    const int lanes = std::clamp(pagerCount, 1, 20);
    return {480, lanes * kHintLane + 2 * fontMetrics().height() + 8};
}

QSize TonePlanChart::minimumSizeHint() const {
    return {160, 4 * fontMetrics().height()};
}

QRect TonePlanChart::plotArea() const {
    const int line = fontMetrics().height();
    // Names beside the lanes when the lanes are tall enough to hold them.
    const bool named = pagerCount > 0 && height() - line - 8 >= pagerCount * line;
    const int left = named ? std::min(width() / 4, kMostLabelWidth) : 4;
    // The axis right under the lanes, however tall the widget.
    const int room = height() - line - 12;
    const int lanes = pagerCount > 0 ? std::min(room, pagerCount * kTallestLane) : room;
    return QRect(left, 4, width() - 8 - left, lanes);
}

double TonePlanChart::laneHeight() const {
    return plotArea().height() / static_cast<double>(std::max(pagerCount, 1));
}

double TonePlanChart::xOf(double hz) const {
    const QRect plot = plotArea();
    return plot.left() + (hz - low) / (high - low) * plot.width();
}

QRect TonePlanChart::rectOf(const Mark& mark) const {
    const double lane = laneHeight();
    const double top = plotArea().top() + mark.row * lane + lane * 0.15;
    const double left = xOf(mark.hz - mark.halfWidth);
    const double right = xOf(mark.hz + mark.halfWidth);
    const double centre = (left + right) / 2;
    const double half = std::max((right - left) / 2, kLeastMarkWidth / 2.0);
    return QRectF(QPointF(centre - half, top), QSizeF(2 * half, std::max(lane * 0.7, 2.0)))
        .toAlignedRect();
}

std::optional<std::size_t> TonePlanChart::markAt(const QPoint& point) const {
    const QRect plot = plotArea();
    if (!plot.contains(point)) {
        return std::nullopt;
    }
    // The narrowest mark under the point: a tone inside a wide window stays
    // reachable.
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const QRect rect = rectOf(marks[i]);
        if (rect.contains(point) && (!found || rect.width() < rectOf(marks[*found]).width())) {
            found = i;
        }
    }
    return found;
}

std::optional<std::size_t> TonePlanChart::findMark(int row, std::size_t call, int tone) const {
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (marks[i].row == row && marks[i].callIndex == call && marks[i].tone == tone) {
            return i;
        }
    }
    return std::nullopt;
}

QString TonePlanChart::textOf(const Mark& mark) const {
    const QString name = static_cast<std::size_t>(mark.row) < names.size()
                             ? qText(names[static_cast<std::size_t>(mark.row)])
                             : QStringLiteral("pager %1").arg(mark.row + 1);
    QString text = QStringLiteral("%1: %2 %3 Hz, answered from %4 to %5 Hz (%6)")
                       .arg(name, callName(mark.call, mark.tone), hzText(mark.hz),
                            hzText(mark.hz - mark.halfWidth), hzText(mark.hz + mark.halfWidth),
                            percentText(mark.bandwidth));
    if (mark.overlap) {
        text += QStringLiteral("; overlaps another pager's call");
    } else if (mark.shared) {
        text += QStringLiteral("; shared with another pager");
    }
    return text;
}

void TonePlanChart::select(std::size_t mark) {
    selected = mark;
    // A chosen tone out of view brings the view to it.
    const Mark& chosen = marks[mark];
    if (chosen.hz < low || chosen.hz > high) {
        const double span = high - low;
        setRange(chosen.hz - span / 2, chosen.hz + span / 2);
    }
    update();
}

std::optional<std::size_t> TonePlanChart::besideInLane(int step) const {
    const int row = marks[*selected].row;
    std::vector<std::size_t> lane;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (marks[i].row == row) {
            lane.push_back(i);
        }
    }
    std::ranges::sort(lane, [this](std::size_t a, std::size_t b) {
        return marks[a].hz != marks[b].hz ? marks[a].hz < marks[b].hz : a < b;
    });
    const auto at = std::ranges::find(lane, *selected) - lane.begin();
    const auto next = at + step;
    if (next < 0 || next >= static_cast<std::ptrdiff_t>(lane.size())) {
        return std::nullopt;
    }
    return lane[static_cast<std::size_t>(next)];
}

std::optional<std::size_t> TonePlanChart::inNextLane(int step) const {
    const Mark& from = marks[*selected];
    for (int row = from.row + step; row >= 0 && row < pagerCount; row += step) {
        std::optional<std::size_t> best;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            if (marks[i].row == row &&
                (!best || std::abs(marks[i].hz - from.hz) < std::abs(marks[*best].hz - from.hz))) {
                best = i;
            }
        }
        if (best) {
            return best;
        }
    }
    return std::nullopt;
}

bool TonePlanChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const auto mark = markAt(help->pos())) {
            QToolTip::showText(help->globalPos(), textOf(marks[*mark]), this, rectOf(marks[*mark]));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void TonePlanChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect plot = plotArea();
    painter.fillRect(rect(), palette().base());
    const double lane = laneHeight();
    const bool named = plot.left() > 4;
    for (int row = 0; row < pagerCount; ++row) {
        const QRectF band(plot.left(), plot.top() + row * lane, plot.width(), lane);
        if (row % 2 == 1) {
            painter.fillRect(band, palette().alternateBase());
        }
        if (named && static_cast<std::size_t>(row) < names.size()) {
            const QRectF name(0, band.top(), plot.left() - 4, lane);
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(name, Qt::AlignRight | Qt::AlignVCenter,
                             fontMetrics().elidedText(qText(names[static_cast<std::size_t>(row)]),
                                                      Qt::ElideRight,
                                                      static_cast<int>(name.width())));
        }
    }
    paintAxis(painter, plot);
    painter.setClipRect(plot);
    for (const Mark& mark : marks) {
        paintMark(painter, mark);
    }
    if (selected) {
        QPen pen(palette().color(QPalette::Text), hasFocus() ? 3 : 1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rectOf(marks[*selected]).adjusted(-2, -2, 2, 2));
    }
}

void TonePlanChart::paintAxis(QPainter& painter, const QRect& plot) const {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    const double span = high - low;
    const double step = niceStep(span / std::max(1, plot.width() / kTickSpacing));
    const int decimals = step < 1 ? 1 : 0;
    const int line = fontMetrics().height();
    const QString unit = QStringLiteral("Hz");
    const int unitWidth = fontMetrics().horizontalAdvance(unit);
    // Under the names where they are shown, else at the axis' end.
    const QRect unitArea =
        plot.left() - 4 >= unitWidth
            ? QRect(plot.left() - 4 - unitWidth, plot.bottom() + 5, unitWidth, line)
            : QRect(plot.right() + 8 - unitWidth, plot.bottom() + 5, unitWidth, line);
    painter.drawText(unitArea, Qt::AlignRight | Qt::AlignVCenter, unit);
    for (double hz = std::ceil(low / step) * step; hz <= high; hz += step) {
        const int x = static_cast<int>(std::lround(xOf(hz)));
        painter.drawLine(x, plot.bottom(), x, plot.bottom() + 4);
        const QString label = QString::number(hz, 'f', decimals);
        const int half = fontMetrics().horizontalAdvance(label) / 2;
        const QRect area(x - half - 2, plot.bottom() + 5, 2 * half + 4, line);
        if (!area.intersects(unitArea)) {
            painter.drawText(area, Qt::AlignCenter, label);
        }
    }
}

// A plain window in the highlight's colour; an overlap hatched in red with a
// solid red outline, a shared call with a dashed outline; the tone itself a
// line in the middle.
void TonePlanChart::paintMark(QPainter& painter, const Mark& mark) const {
    const QRect area = rectOf(mark);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlpha(mark.overlap ? 255 : 110);
    if (mark.overlap) {
        painter.fillRect(area, palette().base());
        painter.setBrush(QBrush(QColor(Qt::darkRed), Qt::BDiagPattern));
        painter.setPen(QPen(QColor(Qt::darkRed), 2));
    } else {
        painter.setBrush(fill);
        painter.setPen(QPen(palette().color(QPalette::Highlight).darker(), 1,
                            mark.shared ? Qt::DashLine : Qt::SolidLine));
    }
    painter.drawRect(area);
    const int x = static_cast<int>(std::lround(xOf(mark.hz)));
    painter.setPen(QPen(palette().color(QPalette::Text), 1));
    painter.drawLine(x, area.top(), x, area.bottom());
}

void TonePlanChart::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (const auto mark = markAt(event->position().toPoint())) {
        select(*mark);
        emit rowChosen(marks[*mark].row);
    }
}

void TonePlanChart::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    const QRect plot = plotArea();
    const double at = low + (event->position().x() - plot.left()) / plot.width() * (high - low);
    zoom(std::pow(kWheelStep, notches), at);
    event->accept();
}

void TonePlanChart::keyPressEvent(QKeyEvent* event) {
    const double middle = selected ? marks[*selected].hz : (low + high) / 2;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoom(kKeyZoom, middle);
        return;
    case Qt::Key_Minus:
        zoom(1 / kKeyZoom, middle);
        return;
    case Qt::Key_0:
    case Qt::Key_Home:
        resetZoom();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (selected) {
            emit rowChosen(marks[*selected].row);
        }
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (marks.empty()) {
        return;
    }
    if (!selected) {
        select(0);
        return;
    }
    const int step = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up ? -1 : 1;
    const bool acrossLanes = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (const auto next = acrossLanes ? inNextLane(step) : besideInLane(step)) {
        select(*next);
    }
}
