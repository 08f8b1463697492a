#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Runs a dialog modally and drives it from a timer once it is the active
// modal widget, so no test blocks on it. A dialog still open after five
// seconds is rejected and the test sees the wrong result.
inline int execDriven(QDialog& dialog, std::function<void()> drive) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&poll, &dialog, &drive] {
        if (QApplication::activeModalWidget() == &dialog) {
            poll.stop();
            drive();
        }
    });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, &dialog, [&dialog] { dialog.done(-1); });
    poll.start();
    failsafe.start(5000);
    return dialog.exec();
}
