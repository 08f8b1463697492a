#pragma once

// Shared fixture of the window tests: the real TForm1, shown offscreen in a
// fresh working folder, with recorded messages and scripted file dialogs.

#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/TApplication.h"
#include "ui/TEdit.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct RecordedMessage {
    MessageKind kind;
    QString caption;
    QString text;
};

class RecordingMessages final : public Messages {
public:
    void show(MessageKind kind, const QString& caption, const QString& text) override {
        shown.push_back({kind, caption, text});
    }
    QStringList texts() const {
        QStringList all;
        for (const auto& m : shown) {
            all << m.text;
        }
        return all;
    }
    std::vector<RecordedMessage> shown;
};

// Answers the dialogs in order; an empty answer list means Cancel.
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFileName(const FileDialogSetup& setup) override {
        return answer(setup);
    }
    std::optional<QString> saveFileName(const FileDialogSetup& setup) override {
        return answer(setup);
    }
    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogSetup> asked;

private:
    std::optional<QString> answer(const FileDialogSetup& setup) {
        asked.push_back(setup);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto next = answers.front();
        answers.pop_front();
        return next;
    }
};

class WindowFixture {
public:
    // prepare runs in the empty working folder before the window is built
    // (to put a "default.tbl" there, for example); ports stand for the
    // machine's serial ports.
    explicit WindowFixture(const std::function<void(const QDir&)>& prepare = {},
                           std::vector<SerialPortInfo> ports = {{"ttyS0", ""},
                                                                {"ttyUSB0",
                                                                 "FT232R USB UART (ttyUSB0)"}})
        : previousFolder(QDir::currentPath()) {
        QDir::setCurrent(folder.path());
        if (prepare) {
            prepare(QDir(folder.path()));
        }
        if (auto* app = qobject_cast<TApplication*>(QApplication::instance())) {
            app->setMessages(&messages);
        }
        form = std::make_unique<TForm1>(messages, dialogs, std::move(ports));
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        settle();
    }
    ~WindowFixture() {
        form.reset();
        if (auto* app = qobject_cast<TApplication*>(QApplication::instance())) {
            app->setMessages(nullptr);
        }
        QDir::setCurrent(previousFolder);
    }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    TForm1& window() { return *form; }
    QDir workFolder() const { return QDir(folder.path()); }
    ConfigImage& image() { return form->configImage(); }

    template <typename T = QWidget> T* find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }
    TEdit* edit(const char* name) { return find<TEdit>(name); }

    // Lets deferred focus work and queued calls run.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
        }
    }
    // Shows the tab page that holds the widget.
    void showPageOf(QWidget* widget) {
        for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
            if (w->objectName().startsWith(QLatin1String("TabSheet"))) {
                find<QTabWidget>("PageControl1")->setCurrentWidget(w);
                break;
            }
        }
        settle();
    }
    // The user clicks into the field (its entry handler runs).
    void enter(QWidget* field) {
        showPageOf(field);
        QTest::mouseClick(field, Qt::LeftButton);
        settle();
    }
    // Types text into the field that has the focus, key by key.
    void type(QWidget* field, const QString& text) {
        QTest::keyClicks(field, text);
        settle();
    }
    void key(QWidget* field, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(field, key, modifiers);
        settle();
    }
    // Enters the field, types the text and leaves with Tab.
    void typeAndTab(QWidget* field, const QString& text) {
        enter(field);
        type(field, text);
        key(field, Qt::Key_Tab);
    }
    QWidget* focused() const { return QApplication::focusWidget(); }

    RecordingMessages messages;
    ScriptedFileDialogs dialogs;

private:
    QString previousFolder;
    QTemporaryDir folder;
    std::unique_ptr<TForm1> form;
};

// main() of a window test program: the tool's application object, so that
// exceptions escaping a handler are reported as in the program.
#define PX520_GUI_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv) {                                                              \
        TApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
