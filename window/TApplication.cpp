#include "window/TApplication.h"

#include "dialogs/Messages.h"

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
    setApplicationName(QStringLiteral("PX520"));
    setApplicationDisplayName(QStringLiteral("PX520"));
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
