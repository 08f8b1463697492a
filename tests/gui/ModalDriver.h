#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
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

// Drives each modal dialog that a handler opens and runs itself, while the
// handler waits in it: drive runs once each time a dialog becomes the active
// modal widget. One still open five seconds after it was driven is rejected.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QDialog&)> drive) : drive(std::move(drive)) {
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [this] { look(); });
        poll.start();
    }
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    // Class names of the dialogs driven so far, in order.
    QStringList seen;

private:
    void look() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (dialog == current) {
            if (driven.hasExpired(5000)) {
                dialog->done(-1);
            }
            return;
        }
        current = dialog;
        // The same dialog may open again before the next look.
        QObject::connect(
            dialog, &QDialog::finished, &poll, [this] { current = nullptr; },
            Qt::SingleShotConnection);
        driven.start();
        seen << QString::fromLatin1(dialog->metaObject()->className());
        drive(*dialog);
    }

    std::function<void(QDialog&)> drive;
    QTimer poll;
    QElapsedTimer driven;
    QPointer<QDialog> current;
};

// Closes every modal dialog that opens while it lives, as Esc would.
class ModalCloser : public ModalWatcher {
public:
    ModalCloser() : ModalWatcher([](QDialog& dialog) { dialog.reject(); }) {}
};
