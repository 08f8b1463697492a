#pragma once

class ElidedLabel;
class QLabel;
class QMainWindow;
class QProgressBar;
class QStatusBar;
class QTabWidget;

// The layout the designer file cannot express: pages laid out before they are
// first shown, the controls in a scroll area, the window fitted to the screen
// and the status bar's panels.

// Qt lays out a tab page, and each box on it, when it is first shown; the
// others get their places now, so that every control has its place from the
// start.
void layOutPages(QTabWidget& pages);

// Puts the window's controls into a scroll area: below the size the layout
// needs, they scroll.
void scrollControls(QMainWindow& window);

// The window inside the screen's free area, centred; the controls keep the
// height they have at the window's designed size.
void placeOnScreen(QMainWindow& window);

// Progress bar, status text, file name and the file's origin.
struct StatusPanels {
    QProgressBar* progress;
    QLabel* status;
    QLabel* fileName;
    ElidedLabel* origin;
};
StatusPanels buildStatusBar(QStatusBar& bar);
