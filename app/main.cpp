#include "link/GivenPorts.h"
#include "model/Version.h"
#include "link/PortList.h"
#include "window/FileDialogs.h"
#include "dialogs/Messages.h"
#include "window/TApplication.h"
#include "window/Unit1.h"

#include <QCommandLineParser>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Arguments {
    // `--port PATH`, repeatable: devices the port list does not show (an
    // emulated board's pseudo-terminal, a /dev/serial/by-id link) come first.
    std::vector<std::string> givenPorts;
    // A table file to open at start, as a file manager passes it.
    QString file;
};

Arguments parseArguments(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Programs the PX520 pager."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Puts the serial port PATH first in the port list; repeatable."),
        QStringLiteral("PATH"));
    parser.addOption(port);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Opens this table file in place of default.tbl."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    Arguments arguments;
    for (const QString& path : parser.values(port)) {
        arguments.givenPorts.push_back(path.toStdString());
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::cerr << "px520: one table file at most\n";
        std::exit(2);
    }
    if (!files.isEmpty()) {
        arguments.file = files.front();
    }
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    // Answered before the application object exists, which needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--version") {
            std::cout << "PX520 " << kVersion << '\n';
            return EXIT_SUCCESS;
        }
    }
    TApplication app(argc, argv);
    const Arguments arguments = parseArguments(app);
    MessageBoxes messages;
    QtFileDialogs fileDialogs;
    app.setMessages(&messages);
    try {
        TForm1 form1(messages, fileDialogs,
                     [&arguments] {
                         return withGivenPortsFirst(arguments.givenPorts, listCommPorts());
                     });
        form1.setStartFile(arguments.file);
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
