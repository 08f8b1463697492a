#include "link/PortList.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/TApplication.h"
#include "ui/Unit1.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    MessageBoxes messages;
    QtFileDialogs fileDialogs;
    app.setMessages(&messages);
    try {
        TForm1 form1(messages, fileDialogs, listCommPorts());
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
