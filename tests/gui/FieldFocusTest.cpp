// The editing convention's focus handling on a small window of byte fields:
// one message per refused entry, none for switching applications, no loop
// between fields and no hang on close.

#include "WindowFixture.h"

#include "window/FieldFocus.h"
#include "rules/KeyFilters.h"
#include "rules/NumberRules.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <stdexcept>

namespace {

// Three byte fields, a plain edit and the focus sink, wired as the main
// window wires its byte edits.
class ByteFieldsWindow : public QWidget {
public:
    explicit ByteFieldsWindow(Messages& messages)
        : sink(new QLineEdit(this)), focus(*this, *sink, messages) {
        auto* layout = new QVBoxLayout(this);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i] = new TEdit(this);
            fields[i]->setObjectName(QStringLiteral("field%1").arg(i));
            fields[i]->setText(QString::number(stored[i]));
            layout->addWidget(fields[i]);
            focus.watch(
                fields[i], [](TEdit* e) { e->clear(); }, [this, i](TEdit* e) { exit(e, i); });
            fields[i]->setHandlers([this](TEdit* e, char32_t& key) { keyPress(e, key); });
        }
        plain = new QLineEdit(this);
        layout->addWidget(plain);
        sink->setFixedSize(1, 1);
        layout->addWidget(sink);
    }

    void keyPress(TEdit* e, char32_t& key) {
        if (wholeNumberKey(key) == KeyDecision::EndEntry) {
            key = 0;
            if (!focus.exitInPlace(e)) {
                focus.focusToSink();
            }
        }
    }
    void exit(TEdit* e, std::size_t i) {
        ++exitRuns;
        const ExitResult r = byteExit(e->text().toStdString());
        if (r.kind == ExitKind::Empty) {
            e->setText(QString::number(stored[i]));
        } else if (r.kind == ExitKind::Accepted) {
            stored[i] = r.value;
        } else {
            focus.refuse(e, MessageKind::Exclamation, QStringLiteral("PX520"),
                         QString::fromStdString(r.message));
        }
    }

    std::array<TEdit*, 3> fields{};
    std::array<int, 3> stored{15, 1, 35};
    QLineEdit* plain = nullptr;
    QLineEdit* sink;
    FieldFocus focus;
    int exitRuns = 0;
};

const QString kRange = QStringLiteral("Please insert a number between 0 to 255");

} // namespace

class FieldFocusTest : public QObject {
    Q_OBJECT

    RecordingMessages messages;
    std::unique_ptr<ByteFieldsWindow> window;

    TEdit* field(std::size_t i) { return window->fields[i]; }
    void enter(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton);
        WindowFixture::settle();
    }
    void type(QWidget* w, const QString& text) {
        QTest::keyClicks(w, text);
        WindowFixture::settle();
    }
    void key(QWidget* w, Qt::Key k) {
        QTest::keyClick(w, k);
        WindowFixture::settle();
    }

private slots:
    void init() {
        messages.shown.clear();
        window = std::make_unique<ByteFieldsWindow>(messages);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    void enteringEmptiesAndLeavingEmptyShowsTheStoredValue() {
        enter(field(0));
        QCOMPARE(field(0)->text(), QString());
        key(field(0), Qt::Key_Tab);
        QCOMPARE(field(0)->text(), QStringLiteral("15"));
        QCOMPARE(QApplication::focusWidget(), field(1));
        QCOMPARE(field(1)->text(), QString());
        QVERIFY(messages.shown.empty());
    }

    void acceptedValueIsStoredAndTheNextFieldEntered() {
        enter(field(0));
        type(field(0), QStringLiteral("007"));
        key(field(0), Qt::Key_Tab);
        QCOMPARE(window->stored[0], 7);
        QCOMPARE(field(0)->text(), QStringLiteral("007"));
        QCOMPARE(QApplication::focusWidget(), field(1));
        QVERIFY(messages.shown.empty());
    }

    // Every way of leaving a field with 256 in it: exactly one message, the
    // field has the focus again, emptied as a new entry, nothing stored.
    void refusedValueGivesOneMessageAndTheFocusBack_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Tab") << "tab";
        QTest::newRow("Backtab") << "backtab";
        QTest::newRow("click on the next field") << "click";
        QTest::newRow("click on a plain edit") << "plain";
        QTest::newRow("focus sink") << "sink";
        QTest::newRow("Enter") << "enter";
    }
    void refusedValueGivesOneMessageAndTheFocusBack() {
        QFETCH(QString, how);
        enter(field(1));
        type(field(1), QStringLiteral("256"));
        if (how == "tab") {
            key(field(1), Qt::Key_Tab);
        } else if (how == "backtab") {
            key(field(1), Qt::Key_Backtab);
        } else if (how == "click") {
            enter(field(2));
        } else if (how == "plain") {
            enter(window->plain);
        } else if (how == "sink") {
            window->focus.focusToSink();
        } else {
            key(field(1), Qt::Key_Return);
        }
        WindowFixture::runDeferredWork();
        QCOMPARE(messages.texts(), QStringList{kRange});
        QCOMPARE(messages.shown.front().kind, MessageKind::Exclamation);
        QCOMPARE(QApplication::focusWidget(), field(1));
        QCOMPARE(window->stored[1], 1);
        // Enter keeps the text (the focus never left); the others re-enter.
        QCOMPARE(field(1)->text(), how == "enter" ? QStringLiteral("256") : QString());
        // The field the user went for was never entered, so never emptied.
        QCOMPARE(field(2)->text(), QStringLiteral("35"));
        QCOMPARE(field(0)->text(), QStringLiteral("15"));

        // Leaving it empty now shows the stored value, with no second message.
        if (how == "enter") {
            field(1)->clear();
        }
        key(field(1), Qt::Key_Tab);
        WindowFixture::runDeferredWork();
        QCOMPARE(messages.shown.size(), std::size_t{1});
        QCOMPARE(field(1)->text(), QStringLiteral("1"));
    }

    // Two refused fields in a row do not hand the focus back and forth.
    void twoRefusedFieldsDoNotPingPong() {
        enter(field(0));
        type(field(0), QStringLiteral("300"));
        enter(field(1));
        WindowFixture::runDeferredWork();
        QCOMPARE(messages.shown.size(), std::size_t{1});
        type(field(0), QStringLiteral("999"));
        enter(field(1));
        WindowFixture::runDeferredWork();
        QCOMPARE(messages.shown.size(), std::size_t{2});
        QCOMPARE(QApplication::focusWidget(), field(0));
        QCOMPARE(window->exitRuns, 2);
    }

    void switchingToAnotherWindowAndBackIsNoEntryOrExit() {
        enter(field(0));
        type(field(0), QStringLiteral("256"));
        QWidget other;
        other.resize(100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        WindowFixture::runDeferredWork();
        QVERIFY(messages.shown.empty());
        QCOMPARE(window->exitRuns, 0);
        QCOMPARE(QApplication::focusWidget(), field(0));
        QCOMPARE(field(0)->text(), QStringLiteral("256"));
    }

    void closingWithARefusedValueNeitherHangsNorReports() {
        enter(field(0));
        type(field(0), QStringLiteral("256"));
        window->close();
        window.reset();
        WindowFixture::runDeferredWork();
        QVERIFY(messages.shown.empty());
    }

    void closingWhileTheCheckIsPendingNeitherHangsNorReports() {
        enter(field(0));
        type(field(0), QStringLiteral("256"));
        QTest::mouseClick(field(1), Qt::LeftButton); // check deferred, not run yet
        window->focus.shutDown();
        window.reset();
        WindowFixture::runDeferredWork();
        QVERIFY(messages.shown.empty());
    }

    void exceptionInAHandlerIsReportedAndTheRunGoesOn() {
        auto* app = qobject_cast<TApplication*>(QApplication::instance());
        QVERIFY(app != nullptr);
        app->setMessages(&messages);
        QPushButton button(QStringLiteral("fails"));
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&clicks] {
            ++clicks;
            throw std::runtime_error("Port busy");
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        app->setMessages(nullptr);
        QCOMPARE(clicks, 2);
        QCOMPARE(messages.texts(), (QStringList{"Port busy.", "Port busy."}));
        QCOMPARE(messages.shown.front().kind, MessageKind::Stop);
        QCOMPARE(messages.shown.front().caption, Messages::applicationTitle());
    }
};

PX520_GUI_TEST_MAIN(FieldFocusTest)

#include "FieldFocusTest.moc"
