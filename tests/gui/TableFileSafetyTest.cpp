// The window and the files it is given: only regular files are opened, and
// nothing waits on a FIFO, whichever way the name arrives (start file, Open,
// Open Recent, a drop); a file its owner made read-only is not saved over,
// and Save As is offered.

#include "../support/OrdinaryUser.h"
#include "WindowFixture.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableSave.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCaption = QStringLiteral("PX520 V3.8.2");

QByteArray bytesOf(const ConfigImage& image) {
    return {reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size())};
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString tableWith(const QDir& folder, const QString& name, std::uint8_t batterySave) {
    ConfigImage image = defaultImage();
    image[field::BS_Period] = batterySave;
    const QString path = folder.filePath(name);
    if (saveTableFile(path.toStdString(), image) != 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// A FIFO that tells whether the window opened it. A helper keeps knocking
// from the other end, as a writer and as a reader, so that a window waiting
// in an open is let go, and seen, rather than hanging the test.
class WatchedFifo {
public:
    explicit WatchedFifo(const QString& path) : path_(path.toStdString()) {
        if (::mkfifo(path_.c_str(), 0600) != 0) {
            qFatal("cannot make the FIFO %s", path_.c_str());
        }
        knocker_ = std::thread([this] { knock(); });
    }
    ~WatchedFifo() {
        stop_ = true;
        knocker_.join();
    }
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    bool usedByTheWindow() const { return readerCame_ || bytesCame_; }

private:
    void knock() {
        using namespace std::chrono_literals;
        while (!stop_) {
            // Opens only while someone waits to read.
            if (const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
                readerCame_ = true;
                ::close(fd);
            }
            // Lets a writer that waits for a reader through, and takes its bytes.
            if (const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
                std::this_thread::sleep_for(20ms);
                char byte = 0;
                if (::read(fd, &byte, 1) > 0) {
                    bytesCame_ = true;
                }
                ::close(fd);
            }
        }
    }

    std::string path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> readerCame_{false};
    std::atomic<bool> bytesCame_{false};
    std::thread knocker_;
};

void drop(WindowFixture& f, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = f.window().rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.window(), &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.window(), &dropped);
    f.settle();
}

} // namespace

class TableFileSafetyTest : public QObject {
    Q_OBJECT

private slots:
    void aFifoNamedAtStartIsNamedAndNotOpened() {
        std::optional<WatchedFifo> fifo;
        WindowFixture f([&](const QDir& dir) { fifo.emplace(dir.filePath("pipe.tbl")); },
                        {{"ttyNONE0", ""}}, QStringLiteral("pipe.tbl"));
        QCOMPARE(f.startUpTexts(),
                 (QStringList{kBoardNotResponding, "pipe.tbl is a FIFO, not a table file."}));
        QCOMPARE(static_cast<int>(f.startUpMessages.back().kind),
                 static_cast<int>(MessageKind::Exclamation));
        QCOMPARE(f.window().currentSaveFileName(), QStringLiteral("default.tbl"));
        QVERIFY(!fifo->usedByTheWindow());
    }

    // Open, Open Recent and a drop take the same rule; the image stays.
    void onlyRegularFilesOpenWhicheverWayTheyCome() {
        WindowFixture f;
        const QString fifoPath = f.workFolder().filePath("pipe.tbl");
        const QString folder = f.workFolder().filePath("folder.tbl");
        QVERIFY(f.workFolder().mkdir("folder.tbl"));
        // Listed while it was a file, a FIFO by the time it is chosen.
        const QString recent = tableWith(f.workFolder(), QStringLiteral("recent.tbl"), 21);
        f.dialogs.answers = {recent};
        f.find<QAction>("OpenO1")->trigger();
        auto* recentMenu = f.find<QMenu>("OpenRecent1");
        emit recentMenu->aboutToShow();
        QVERIFY(QFile::remove(recent));
        WatchedFifo fifo(fifoPath);
        WatchedFifo becameFifo(recent);
        const ConfigImage before = f.image();

        struct Way {
            const char* name;
            QString path;
            std::function<void()> open;
            QString node;
        };
        const std::vector<Way> ways{
            {"Open, a FIFO", fifoPath,
             [&] {
                 f.dialogs.answers = {fifoPath};
                 f.find<QAction>("OpenO1")->trigger();
             },
             "a FIFO"},
            {"Open, a folder", folder,
             [&] {
                 f.dialogs.answers = {folder};
                 f.find<QAction>("OpenO1")->trigger();
             },
             "a directory"},
            {"Open Recent", recent, [&] { recentMenu->actions().front()->trigger(); }, "a FIFO"},
            {"a drop", fifoPath, [&] { drop(f, fifoPath); }, "a FIFO"},
        };
        for (const Way& way : ways) {
            f.messages.shown.clear();
            way.open();
            f.settle();
            QVERIFY2(f.messages.texts() ==
                         QStringList{way.path + " is " + way.node + ", not a table file."},
                     way.name);
            QVERIFY2(f.image() == before, way.name);
        }
        QVERIFY(!fifo.usedByTheWindow());
        QVERIFY(!becameFifo.usedByTheWindow());
    }

    // Save writes no FIFO either: default.tbl is one, and Save refuses it
    // as a file it cannot write.
    void saveNeverWaitsOnAFifo() {
        std::optional<WatchedFifo> fifo;
        WindowFixture f([&](const QDir& dir) { fifo.emplace(dir.filePath("default.tbl")); });
        QCOMPARE(f.startUpTexts(), (QStringList{kBoardNotResponding, "Open default.tbl error!"}));
        QTest::keyClick(&f.window(), Qt::Key_S, Qt::ControlModifier);
        f.settle();
        QCOMPARE(f.messages.texts(), QStringList{"Save Error!"});
        QVERIFY(!fifo->usedByTheWindow());
    }

    // The owner is told and offered Save As; the file stays as it was.
    // Root saves it as cp writes it. Each is tested as what runs the test.
    void aReadOnlyFileIsNotSavedOverButSaveAsIsOffered() {
        WindowFixture f([](const QDir& dir) { tableWith(dir, QStringLiteral("shop.tbl"), 21); },
                        {{"ttyNONE0", ""}}, QStringLiteral("shop.tbl"));
        const QString shop = f.workFolder().filePath("shop.tbl");
        QVERIFY(QFile::setPermissions(shop, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
        OrdinaryUser::give(f.workFolder().path().toStdString());
        OrdinaryUser::give(shop.toStdString());
        const QByteArray before = fileBytes(shop);
        const QString question =
            QStringLiteral("shop.tbl is read-only.\nSave the configuration under another name?");
        f.typeAndTab(f.edit("edtBS_Period"), QStringLiteral("20"));
        {
            const OrdinaryUser owner;
            // Cancel: nothing saved, the changes still marked.
            QTest::keyClick(&f.window(), Qt::Key_S, Qt::ControlModifier);
            f.settle();
            QCOMPARE(f.messages.questions, QStringList{question});
            QCOMPARE(f.window().windowTitle(), kCaption + QLatin1Char('*'));
            // Save As: the image goes where the user chose.
            f.messages.saveAsAnswers = {true};
            f.dialogs.answers = {f.workFolder().filePath("copy.tbl")};
            QTest::keyClick(&f.window(), Qt::Key_S, Qt::ControlModifier);
            f.settle();
        }
        QCOMPARE(f.messages.questions, (QStringList{question, question}));
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(fileBytes(shop), before);
        QCOMPARE(fileBytes(f.workFolder().filePath("copy.tbl")), bytesOf(f.image()));
        QCOMPARE(f.window().currentSaveFileName(), f.workFolder().filePath("copy.tbl"));
        QCOMPARE(f.window().windowTitle(), kCaption);

        if (::geteuid() == 0) {
            WindowFixture asRoot([](const QDir& dir) { tableWith(dir, "shop.tbl", 21); },
                                 {{"ttyNONE0", ""}}, QStringLiteral("shop.tbl"));
            const QString rootShop = asRoot.workFolder().filePath("shop.tbl");
            QVERIFY(QFile::setPermissions(rootShop, QFileDevice::ReadOwner));
            asRoot.typeAndTab(asRoot.edit("edtBS_Period"), QStringLiteral("20"));
            QTest::keyClick(&asRoot.window(), Qt::Key_S, Qt::ControlModifier);
            asRoot.settle();
            QVERIFY(asRoot.messages.questions.isEmpty());
            QCOMPARE(fileBytes(rootShop), bytesOf(asRoot.image()));
            struct stat st {};
            QCOMPARE(::stat(rootShop.toLocal8Bit().constData(), &st), 0);
            QCOMPARE(st.st_mode & 07777, 0400U);
        }
    }
};

PX520_GUI_TEST_MAIN(TableFileSafetyTest)

#include "TableFileSafetyTest.moc"
