#include "window/WindowLayout.h"

#include "window/ElidedLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>

namespace {

// Height kept free for the title bar a window manager adds; a smaller
// screen gets a shorter window whose controls scroll.
constexpr int kTitleBarAllowance = 64;

} // namespace

// Qt lays out a tab page, and each box on it, when it is first shown; the
// others get their places now, so that every control has its place from
// the start. Outer layouts go first: they size the boxes inside.
void layOutPages(QTabWidget& pages) {
    QSize size;
    for (int i = 0; i < pages.count(); ++i) {
        size = size.expandedTo(pages.widget(i)->sizeHint());
    }
    for (int i = 0; i < pages.count(); ++i) {
        QWidget* page = pages.widget(i);
        page->resize(size);
        QList<QWidget*> boxes{page};
        boxes << page->findChildren<QWidget*>();
        for (QWidget* box : boxes) {
            if (box->layout() != nullptr) {
                box->layout()->activate();
            }
        }
    }
}

void scrollControls(QMainWindow& window) {
    QWidget* controls = window.takeCentralWidget();
    // A hidden control keeps its place: one shown later moves nothing, and
    // each has its place beside its label.
    for (QWidget* control : controls->findChildren<QWidget*>()) {
        const bool page = qobject_cast<QStackedWidget*>(control->parentWidget()) != nullptr;
        const bool hidden =
            control->isHidden() && control->testAttribute(Qt::WA_WState_ExplicitShowHide);
        if (hidden && !page) {
            QSizePolicy policy = control->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            control->setSizePolicy(policy);
        }
    }
    // Below the size the layout needs, the area scrolls.
    auto* scroller = new QScrollArea(&window);
    scroller->setObjectName(QStringLiteral("ScrollBox1"));
    // Tab goes to the controls, not to the area around them.
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(controls);
    window.setCentralWidget(scroller);
}

void placeOnScreen(QMainWindow& window) {
    // The controls keep the height they have in an 833 x 700 window; a
    // shorter window scrolls them.
    QWidget* controls = static_cast<QScrollArea*>(window.centralWidget())->widget();
    controls->setMinimumHeight(
        std::max(controls->minimumSizeHint().height(),
                 window.height() - window.menuBar()->sizeHint().height() - window.statusBar()->sizeHint().height()));
    const QRect area = window.screen()->availableGeometry();
    QSize fitted = window.size().boundedTo(QSize(area.width(), area.height() - kTitleBarAllowance));
    if (fitted.height() < window.height()) {
        // Room for the vertical scroll bar, so that nothing scrolls sideways.
        fitted.setWidth(
            std::min(area.width(), window.width() + window.style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
    }
    window.resize(fitted);
    window.move(area.center() - window.rect().center());
}

StatusPanels buildStatusBar(QStatusBar& statusBar) {
    QStatusBar* bar = &statusBar;
    // Status bar: progress bar, status text, file name.
    auto* progressPanel = new QWidget(bar);
    progressPanel->setObjectName(QStringLiteral("StatusPanel0"));
    progressPanel->setFixedWidth(320);
    auto* progressLayout = new QHBoxLayout(progressPanel);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    auto* PB1 = new QProgressBar(progressPanel);
    PB1->setObjectName(QStringLiteral("PB1"));
    PB1->setRange(0, 100);
    PB1->setTextVisible(false);
    PB1->hide();
    progressLayout->addWidget(PB1);
    auto* statusText = new QLabel(QStringLiteral("  Ready ......"), bar);
    statusText->setObjectName(QStringLiteral("StatusPanel1"));
    statusText->setFixedWidth(330);
    auto* statusFileName = new QLabel(bar);
    statusFileName->setObjectName(QStringLiteral("StatusPanel2"));
    statusFileName->setMinimumWidth(50);
    // Where Save writes and where the image came from, beside the others.
    auto* statusOrigin = new ElidedLabel(bar);
    statusOrigin->setObjectName(QStringLiteral("StatusPanel3"));
    bar->addWidget(progressPanel);
    bar->addWidget(statusText);
    bar->addWidget(statusFileName, 1);
    bar->addWidget(statusOrigin, 3);
    return {PB1, statusText, statusFileName, statusOrigin};
}
