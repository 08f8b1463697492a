// Not a test: pictures of the window for people to look at. Saves a PNG of
// every tab of the main window, of the window at the message of a Read from
// the emulated board, and of the fleet window with an overlap, offscreen,
// into the folder given.

#include "FleetFixture.h"
#include "WindowFixture.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/FirmwareVersion.h"
#include "model/VersionTag.h"
#include "model/WritePreparation.h"
#include "sim/BoardEmulator.h"

#include <QTabWidget>

#include <cstdio>

namespace {

class Pictures {
public:
    explicit Pictures(const QDir& folder) : folder(folder) {}

    void save(QWidget& widget, const QString& name) {
        const QString file = folder.filePath(name);
        if (widget.grab().save(file)) {
            std::printf("%s\n", qPrintable(file));
        } else {
            fail(QStringLiteral("cannot write ") + file);
        }
    }
    void fail(const QString& why) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        failed = true;
    }
    bool anyFailed() const { return failed; }

private:
    QDir folder;
    bool failed = false;
};

void everyTab(Pictures& pictures) {
    WindowFixture f;
    f.window().setAdvanceUnlocked(true);
    auto* pages = f.find<QTabWidget>("PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        f.settle();
        pictures.save(
            f.window(),
            QStringLiteral("tab%1-%2.png").arg(i + 1).arg(pages->widget(i)->objectName()));
    }
}

void readAtItsMessage(Pictures& pictures) {
    ConfigImage memory = defaultImage();
    memory[field::VersionMajor] = 1;
    memory[field::VersionMinor] = 86;
    prepareImageForWrite(memory, FirmwareVersion{1, 86}, makeVersionTag(kWindowCaption));
    BoardEmulator board;
    board.setMemory(memory);
    board.start();
    WindowFixture f({}, {{board.slavePath(), "emulated board"}});
    f.messages.onShow = [&](const RecordedMessage& shown) {
        if (shown.text != QStringLiteral("Read Success !")) {
            pictures.fail(QStringLiteral("the Read ended with: ") + shown.text);
            return;
        }
        pictures.save(f.window(), QStringLiteral("read-at-its-message.png"));
    };
    f.key(&f.window(), Qt::Key_F3);
    if (f.messages.shown.empty()) {
        pictures.fail(QStringLiteral("the Read showed no message"));
    }
}

void fleetWithAnOverlap(Pictures& pictures) {
    FleetFixture f;
    if (!f.open("label,T1[1],T2[1],BandWidth\n"
                "unit A,669.9,707.3,1.5\n"
                "unit B,667.5,712.5,0.3\n"
                "unit C,1006.9,766.2,\n"
                "unit D,1513.5,707.3,\n")) {
        pictures.fail(QStringLiteral("the fleet did not open"));
        return;
    }
    f.fleet.resize(900, 560);
    WindowFixture::settle();
    pictures.save(f.fleet, QStringLiteral("fleet-window.png"));
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    Pictures pictures(folder);
    everyTab(pictures);
    readAtItsMessage(pictures);
    fleetWithAnOverlap(pictures);
    return pictures.anyFailed() ? 1 : 0;
}
