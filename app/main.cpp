#include "fleet/FleetWindow.h"
#include "link/GivenPorts.h"
#include "model/Version.h"
#include "link/PortList.h"
#include "window/FileDialogs.h"
#include "dialogs/Messages.h"
#include "window/TApplication.h"
#include "window/Unit1.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Arguments {
    // `--port PATH`, repeatable: devices the port list does not show (an
    // emulated board's pseudo-terminal, a /dev/serial/by-id link) come first.
    std::vector<std::string> givenPorts;
    // A table file to open at start, as a file manager passes it.
    QString file;
};

// The command line is read before the window's application object exists,
// which needs a display: --help, --version and a wrong option are answered
// in a terminal, display or not. Nothing when the program ends here, with
// its exit code.
std::optional<Arguments> parseArguments(int& argc, char** argv, int& exitCode) {
    const QCoreApplication reading(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("px520"));
    QCommandLineParser parser;
    // "-platform offscreen", as the toolkit spells its options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Programs the PX520 pager."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Puts the serial port PATH first in the port list; repeatable."),
        QStringLiteral("PATH"));
    parser.addOption(port);
    // The toolkit's own options, which the window's application object takes.
    for (const char* name : {"platform", "style", "stylesheet", "qwindowgeometry",
                             "qwindowtitle", "display"}) {
        QCommandLineOption toolkit(QString::fromLatin1(name), QString(), QStringLiteral("VALUE"));
        toolkit.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(toolkit);
    }
    QCommandLineOption reverse(QStringLiteral("reverse"));
    reverse.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(reverse);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Opens this table file in place of default.tbl."),
                                 QStringLiteral("[FILE]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        std::cerr << "px520: " << parser.errorText().toStdString() << "\n"
                  << parser.helpText().toStdString();
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::cout << parser.helpText().toStdString();
        exitCode = EXIT_SUCCESS;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        std::cout << "PX520 " << kVersion << '\n';
        exitCode = EXIT_SUCCESS;
        return std::nullopt;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::cerr << "px520: one table file at most\n" << parser.helpText().toStdString();
        exitCode = 2;
        return std::nullopt;
    }
    Arguments arguments;
    for (const QString& path : parser.values(port)) {
        arguments.givenPorts.push_back(path.toStdString());
    }
    if (!files.isEmpty()) {
        arguments.file = files.front();
    }
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    int exitCode = EXIT_SUCCESS;
    const std::optional<Arguments> arguments = parseArguments(argc, argv, exitCode);
    if (!arguments) {
        return exitCode;
    }
    TApplication app(argc, argv);
    MessageBoxes messages;
    QtFileDialogs fileDialogs;
    app.setMessages(&messages);
    try {
        TForm1 form1(messages, fileDialogs,
                     [&arguments] {
                         return withGivenPortsFirst(arguments->givenPorts, listCommPorts());
                     });
        form1.setStartFile(arguments->file);
        // Offers itself in form1's File menu; shown when a fleet is begun or opened.
        TFleetWindow fleet(form1, messages, fileDialogs);
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
