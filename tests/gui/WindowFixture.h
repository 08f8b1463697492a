#pragma once

// Shared fixture of the window tests: the real TForm1, shown offscreen in a
// fresh working folder, with recorded messages and scripted file dialogs.

#include "link/Protocol.h"
#include "window/FileDialogs.h"
#include "dialogs/Messages.h"
#include "window/TApplication.h"
#include "window/TEdit.h"
#include "window/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>

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
        if (onShow) {
            onShow(shown.back());
        }
    }
    // The questions asked about unsaved changes, answered in order (Cancel
    // when no answer is left).
    SaveChoice askToSave(const QString& text) override {
        questions << text;
        if (saveAnswers.empty()) {
            return SaveChoice::Cancel;
        }
        const SaveChoice answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    // The offers of Save As, answered in order (Cancel when no answer is left).
    bool askToSaveAs(const QString& text) override {
        questions << text;
        if (saveAsAnswers.empty()) {
            return false;
        }
        const bool answer = saveAsAnswers.front();
        saveAsAnswers.pop_front();
        return answer;
    }
    // The yes-or-no questions, answered in order (No when no answer is left).
    bool askYesNo(const QString& text) override {
        questions << text;
        if (yesNoAnswers.empty()) {
            return false;
        }
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    QStringList questions;
    std::deque<SaveChoice> saveAnswers;
    std::deque<bool> saveAsAnswers;
    std::deque<bool> yesNoAnswers;

    QStringList texts() const {
        QStringList all;
        for (const auto& m : shown) {
            all << m.text;
        }
        return all;
    }
    std::vector<RecordedMessage> shown;
    // Sees each message as it is shown, to look at the window at that moment.
    std::function<void(const RecordedMessage&)> onShow;
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
        // Copied into the result before the pop: a named optional here
        // trips GCC 12's false -Wmaybe-uninitialized when optimising.
        const auto pop = qScopeGuard([this] { answers.pop_front(); });
        return answers.front();
    }
};

// A board that keeps silent costs a test a fraction of a second.
inline constexpr LinkTiming kTestLinkTiming{101, std::chrono::milliseconds(2)};

// The board's answer when the start-up search finds none.
inline const QString kBoardNotResponding = QStringLiteral(
    "The Board is not responding ! \nPlease check your programer ready \nand COM port connect "
    "properly !");

class WindowFixture {
public:
    // prepare runs in the empty working folder before the window is built
    // (to put a "default.tbl" there, for example); ports stand for the
    // machine's serial ports. The default ones do not exist, so the board
    // search at start fails at once without touching a real line. startFile
    // is the table file named on the command line.
    explicit WindowFixture(const std::function<void(const QDir&)>& prepare = {},
                           std::vector<SerialPortInfo> ports = {{"ttyNONE0", ""},
                                                                {"ttyNONE1",
                                                                 "FT232R USB UART (ttyNONE1)"}},
                           const QString& startFile = {})
        : previousFolder(QDir::currentPath()) {
        QDir::setCurrent(folder.path());
        if (prepare) {
            prepare(QDir(folder.path()));
        }
        if (auto* app = qobject_cast<TApplication*>(QApplication::instance())) {
            app->setMessages(&messages);
        }
        machinePorts = std::move(ports);
        form = std::make_unique<TForm1>(
            messages, dialogs, [this] { return machinePorts; }, kTestLinkTiming);
        form->setStartFile(startFile);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        settle();
        // The start-up's messages are kept apart, so that every test starts
        // with none.
        startUpMessages = std::move(messages.shown);
        messages.shown.clear();
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
    // Runs the event loop long enough for a loop of deferred work to show:
    // each hand-over of a focus ping-pong between fields waits for the next
    // pass, so within these passes one would pile up messages.
    static void runDeferredWork() {
        for (int pass = 0; pass < 50; ++pass) {
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
    // What the machine lists as its serial ports now: a test changes it to
    // plug a port in or pull one out.
    std::vector<SerialPortInfo> machinePorts;
    std::vector<RecordedMessage> startUpMessages;
    QStringList startUpTexts() const {
        QStringList all;
        for (const auto& m : startUpMessages) {
            all << m.text;
        }
        return all;
    }

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
        /* The user's settings (recent files) stay out of the tests' way, in */                    \
        /* a file of their own where Windows would use the registry. */                            \
        const QTemporaryDir settings;                                                              \
        QSettings::setDefaultFormat(QSettings::IniFormat);                                         \
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());           \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
