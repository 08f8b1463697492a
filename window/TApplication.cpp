#include "window/TApplication.h"

#include "dialogs/Messages.h"
#include "model/Version.h"
#include "window/QtText.h"

#include <QIcon>

#include <exception>

namespace {

// As the message boxes of the tool say it: the text ends with a full stop.
QString withFullStop(QString text) {
    if (!text.endsWith(QLatin1Char('.'))) {
        text += QLatin1Char('.');
    }
    return text;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: X11 and Wayland would append it to every window title,
    // and the message boxes take the application name as their caption.
    setApplicationName(QStringLiteral("PX520"));
    setApplicationVersion(qText(kVersion));
    // Ties the windows to the installed desktop entry (its icon, on Wayland).
    setDesktopFileName(QStringLiteral("io.github.px520.PX520"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/px520-%1.png").arg(size));
    }
    setWindowIcon(icon);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (messages != nullptr) {
            messages->error(withFullStop(QString::fromLocal8Bit(error.what())));
        }
    } catch (...) {
        if (messages != nullptr) {
            messages->error(QStringLiteral("Unknown error."));
        }
    }
    return false;
}
