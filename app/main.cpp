#include "link/GivenPorts.h"
#include "link/PortList.h"
#include "window/FileDialogs.h"
#include "dialogs/Messages.h"
#include "window/TApplication.h"
#include "window/Unit1.h"

#include <QCommandLineParser>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

// `--port PATH`, repeatable: devices the port list does not show (an
// emulated board's pseudo-terminal, a /dev/serial/by-id link) come first.
std::vector<std::string> givenPorts(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Programs the PX520 pager."));
    parser.addHelpOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Puts the serial port PATH first in the port list; repeatable."),
        QStringLiteral("PATH"));
    parser.addOption(port);
    parser.process(app);
    std::vector<std::string> paths;
    for (const QString& path : parser.values(port)) {
        paths.push_back(path.toStdString());
    }
    return paths;
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    const std::vector<std::string> given = givenPorts(app);
    MessageBoxes messages;
    QtFileDialogs fileDialogs;
    app.setMessages(&messages);
    try {
        TForm1 form1(messages, fileDialogs,
                     [&given] { return withGivenPortsFirst(given, listCommPorts()); });
        messages.setParentWindow(&form1);
        fileDialogs.setParentWindow(&form1);
        form1.show();
        return TApplication::exec();
    } catch (const std::exception& error) {
        // Escaped the event loop itself: say so and end.
        messages.setParentWindow(nullptr);
        messages.error(QString::fromLocal8Bit(error.what()));
        std::cerr << "px520: " << error.what() << '\n';
        return 1;
    }
}
