#pragma once

#include "rules/TonePlan.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A fleet's tone plan drawn on a frequency axis: one lane per pager, in it
// each tone of each enabled call with the window its decoder bandwidth opens
// around the tone. A call that meets another pager's (an overlap) is hatched
// and outlined; one shared on purpose has a dashed outline. Hovering a tone
// names its pager and call; clicking it, or Enter on the one chosen with the
// arrow keys, chooses its pager's row. The wheel, + and - zoom, 0 shows the
// whole plan again. The lanes shrink with the widget, so it fits a small
// screen; for a screen reader its description is the overlap list.
class TonePlanChart : public QWidget {
    Q_OBJECT

public:
    explicit TonePlanChart(QWidget* parent = nullptr);

    // names[i] names pager i as the findings do ("row 3 (unit C)"); pagers
    // and check as the tone-plan check took and gave them; findings: the
    // overlap list's lines, the chart's text for a screen reader.
    void setPlan(std::vector<std::string> names, std::vector<PlanPager> pagers,
                 const TonePlanCheck& check, const std::vector<std::string>& findings);

    // The frequencies shown, in Hz.
    double lowHz() const { return low; }
    double highHz() const { return high; }
    void setRange(double lowHz, double highHz);
    // The whole plan.
    void resetZoom();
    // Narrows (factor < 1) or widens the range, keeping `aroundHz` in place.
    void zoom(double factor, double aroundHz);

    // The pager (index in the plan) whose tone is chosen; none at first.
    std::optional<int> selectedRow() const;
    // Chooses the pager's first tone, as the table's current row changes.
    void selectRow(int row);

    // Where tone `tone` (0: TONE 1 or a group call's tone, 1: TONE 2) of the
    // pager's call `call` (index in its enabled calls) is drawn; empty when
    // it is out of view or there is no such tone.
    QRect markRect(int row, std::size_t call, int tone) const;
    // What hovering it says.
    QString markText(int row, std::size_t call, int tone) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A tone was clicked, or Enter pressed on it: its pager's index.
    void rowChosen(int row);
    void rangeChanged(double lowHz, double highHz);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Mark {
        int row = 0;
        std::size_t callIndex = 0;
        PlanCall call;
        int tone = 0;
        double hz = 0;
        int bandwidth = 0;    // tenths of a per cent
        double halfWidth = 0; // Hz either side the decoder answers
        bool overlap = false;
        bool shared = false;
    };

    QRect plotArea() const;
    double laneHeight() const;
    double xOf(double hz) const;
    QRect rectOf(const Mark& mark) const;
    std::optional<std::size_t> markAt(const QPoint& point) const;
    std::optional<std::size_t> findMark(int row, std::size_t call, int tone) const;
    QString textOf(const Mark& mark) const;
    void select(std::size_t mark);
    // The chosen tone's neighbour in its lane (step -1 or 1), or the nearest
    // in the next lane with tones (lane step -1 or 1).
    std::optional<std::size_t> besideInLane(int step) const;
    std::optional<std::size_t> inNextLane(int step) const;
    void paintAxis(QPainter& painter, const QRect& plot) const;
    void paintMark(QPainter& painter, const Mark& mark) const;

    std::vector<std::string> names;
    std::vector<Mark> marks; // by pager, call and tone
    int pagerCount = 0;
    std::optional<std::size_t> selected;
    double low = 0;
    double high = 1;
};
