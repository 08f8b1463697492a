#include "bench/StartupProbe.h"

#include "bench/StartupProbeLine.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <cstdio>
#include <string>

namespace {

void printLine(std::string_view tag) {
    const std::string line =
        std::string(tag) + std::to_string(startup_probe::monotonicNanoseconds()) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace

StartupProbe::StartupProbe() {
    printLine(startup_probe::kAppReadyTag);
    QCoreApplication::instance()->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject* watched, QEvent* event) {
    if (painted || !watched->inherits("TForm1")) {
        return false;
    }
    // The window queues its start-up work (default table, board search) to
    // itself when shown, and Qt runs that before the first expose. It is not
    // part of showing the window; the run ends before it would be needed.
    if (event->type() == QEvent::MetaCall) {
        return true;
    }
    // A splash or message box painted first is not the main window.
    if (event->type() == QEvent::Paint) {
        painted = true;
        // Queued, so the time is taken once the whole first frame is painted
        // and flushed, not when its first widget starts.
        QMetaObject::invokeMethod(this, &StartupProbe::reportShown, Qt::QueuedConnection);
    }
    return false;
}

void StartupProbe::reportShown() {
    printLine(startup_probe::kShownTag);
    QCoreApplication::exit(0);
}
