#pragma once

#include <QApplication>

class Messages;

// The application object: an exception that escapes an event handler is
// shown in a message box and the run goes on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);

    void setMessages(Messages* sink) { messages = sink; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Messages* messages = nullptr;
};
