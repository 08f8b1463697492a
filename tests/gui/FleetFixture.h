#pragma once

// The fleet window beside the real main window, as the program builds them:
// a base table file (the default configuration) in the working folder, sheets
// written there and opened, cells edited with keys in the real table.

#include "WindowFixture.h"

#include "fleet/FleetDocument.h"
#include "fleet/FleetWindow.h"
#include "model/DefaultImage.h"
#include "model/TableSave.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableView>

class FleetFixture {
public:
    // ports: the machine's serial ports, as the main window lists them.
    explicit FleetFixture(std::vector<SerialPortInfo> ports = {{"ttyNONE0", ""}})
        : main({}, std::move(ports)), fleet(main.window(), main.messages, main.dialogs) {
        basePath = main.workFolder().filePath(QStringLiteral("base.tbl"));
        if (saveTableFile(basePath.toStdString(), defaultImage()) != 0) {
            qFatal("cannot write the base table file");
        }
    }

    // Writes the sheet as job.csv and opens it over base.tbl, chosen when
    // the sheet's record names no base.
    bool open(const QByteArray& sheet, const QString& name = QStringLiteral("job.csv")) {
        const QString path = write(name, sheet);
        main.dialogs.answers.push_back(basePath);
        const bool opened = fleet.openFleetFile(path);
        main.dialogs.answers.clear();
        show();
        return opened;
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = main.workFolder().filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void show() {
        fleet.show();
        fleet.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&fleet));
        WindowFixture::settle();
    }

    template <typename T = QWidget> T* find(const char* name) {
        T* widget = fleet.findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s in the fleet window", name);
        }
        return widget;
    }
    QTableView* table() { return find<QTableView>("tblFleet"); }
    QListWidget* findings() { return find<QListWidget>("lstFindings"); }
    FleetModel& model() { return fleet.document().model(); }
    QString shown(int row, int column) {
        return model().index(row, column).data().toString();
    }
    QString rowHeader(int row) {
        return model().headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
    }
    QStringList findingTexts() {
        QStringList texts;
        for (int i = 0; i < findings()->count(); ++i) {
            texts << findings()->item(i)->text();
        }
        return texts;
    }

    // Puts the cell current, opens its editor with F2, types the text over
    // what it shows and ends the entry with the key.
    void editCell(int row, int column, const QString& text, Qt::Key end = Qt::Key_Return) {
        QTableView* view = table();
        view->setFocus();
        view->setCurrentIndex(model().index(row, column));
        QTest::keyClick(view, Qt::Key_F2);
        WindowFixture::settle();
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != nullptr && editor != view);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, end);
        WindowFixture::runDeferredWork();
    }
    // The window's own keys, as the user presses them with the table focused.
    void press(QKeySequence keys) {
        table()->setFocus();
        QTest::keySequence(table(), keys);
        WindowFixture::settle();
    }

    WindowFixture main;
    TFleetWindow fleet;
    QString basePath;
};
