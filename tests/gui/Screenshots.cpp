// Not a test: pictures of the window for people to look at. Saves a PNG of
// every tab of the main window, and of the window at the message of a Read
// from the emulated board, offscreen, into the folder given.

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
    return pictures.anyFailed() ? 1 : 0;
}
