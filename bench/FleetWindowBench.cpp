// The fleet window with a large fleet: opens a sheet of N rows (10,000 by
// default) over the default configuration, scrolls the table from top to
// bottom a page at a time, and edits tones in rows spread over the sheet,
// each edit re-checking the tone plan; prints how long each took.
// Usage: bench_fleet_window [ROWS]   (offscreen unless QT_QPA_PLATFORM says)

#include "dialogs/Messages.h"
#include "fleet/FleetDocument.h"
#include "fleet/FleetFiles.h"
#include "fleet/FleetWindow.h"
#include "model/DefaultImage.h"
#include "model/TableSave.h"
#include "rules/ToneRules.h"
#include "rules/ToneTables.h"
#include "window/FileDialogs.h"
#include "window/TApplication.h"
#include "window/Unit1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultRows = 10'000;
constexpr int kEdits = 50;

// Counts what the window would show; nothing blocks.
class CountedMessages final : public Messages {
public:
    void show(MessageKind, const QString&, const QString&) override { ++shown; }
    SaveChoice askToSave(const QString&) override { return SaveChoice::Discard; }
    bool askToSaveAs(const QString&) override { return false; }
    bool askYesNo(const QString&) override { return false; }
    int shown = 0;
};

class NoFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFileName(const FileDialogSetup&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialogSetup&) override { return std::nullopt; }
};

// Row i: a pair of standard tones of its own, every pager at the default
// bandwidth.
QByteArray sheetOf(int rows) {
    QByteArray text = "label,T1[1],T2[1]\n";
    const auto n = static_cast<int>(StandardToneList.size());
    for (int i = 0; i < rows; ++i) {
        const ToneTenths t1 = StandardToneList[static_cast<std::size_t>(i % n)];
        const ToneTenths t2 = StandardToneList[static_cast<std::size_t>((i / n + 1 + i) % n)];
        text += "pager " + QByteArray::number(i + 1) + "," + formatTone(t1).c_str() + "," +
                formatTone(t2).c_str() + "\n";
    }
    return text;
}

double milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

struct Spread {
    double median;
    double most;
};

Spread spreadOf(std::vector<double> times) {
    std::ranges::sort(times);
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(2, std::atoi(argv[1])) : kDefaultRows;
    const QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    const QString base = QDir(folder.path()).filePath(QStringLiteral("base.tbl"));
    const QString sheet = QDir(folder.path()).filePath(QStringLiteral("fleet.csv"));
    QFile file(sheet);
    if (saveTableFile(base.toStdString(), defaultImage()) != 0 ||
        !file.open(QIODevice::WriteOnly) || file.write(sheetOf(rows)) < 0) {
        std::fprintf(stderr, "cannot write the fleet's files in %s\n", qPrintable(folder.path()));
        return 1;
    }
    file.close();

    CountedMessages messages;
    NoFileDialogs dialogs;
    TForm1 main(messages, dialogs, [] { return std::vector<SerialPortInfo>{}; });
    TFleetWindow fleet(main, messages, dialogs);
    fleet.resize(1000, 700);

    if (const QString error = recordBase(sheet, base); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    // Open: the sheet read, every row set on the base, the plan checked.
    QElapsedTimer timer;
    timer.start();
    if (!fleet.openFleetFile(sheet)) {
        std::fprintf(stderr, "the fleet did not open\n");
        return 1;
    }
    settle();
    const double openMs = milliseconds(timer);
    FleetModel& model = fleet.document().model();

    // Scroll: a page at a time to the end, each page painted.
    auto* table = fleet.findChild<QTableView*>(QStringLiteral("tblFleet"));
    QScrollBar* bar = table->verticalScrollBar();
    std::vector<double> pages;
    for (int at = 0; at <= bar->maximum(); at += std::max(1, bar->pageStep())) {
        timer.restart();
        bar->setValue(at);
        table->viewport()->repaint();
        pages.push_back(milliseconds(timer));
    }

    // Edits: a tone in rows spread over the fleet, then each undone.
    const QStringList tones{QStringLiteral("1006.9"), QStringLiteral("669.9")};
    std::vector<double> edits;
    std::vector<double> undos;
    for (int i = 0; i < kEdits; ++i) {
        const int row = static_cast<int>(static_cast<long>(i) * (rows - 1) / (kEdits - 1));
        timer.restart();
        fleet.document().enterCell(row, 1, tones[i % 2].toStdString());
        settle();
        edits.push_back(milliseconds(timer));
    }
    for (int i = 0; i < kEdits; ++i) {
        timer.restart();
        fleet.document().undoStack().undo();
        settle();
        undos.push_back(milliseconds(timer));
    }

    const Spread page = spreadOf(pages);
    const Spread edit = spreadOf(edits);
    const Spread undo = spreadOf(undos);
    std::printf("fleet of %d rows (%llu overlaps, %llu shared calls)\n", model.rowCount(),
                static_cast<unsigned long long>(model.planCheck().overlaps),
                static_cast<unsigned long long>(model.planCheck().shared));
    std::printf("open:   %8.1f ms\n", openMs);
    std::printf("scroll: %8.2f ms a page (median of %zu), %.2f ms at most\n", page.median,
                pages.size(), page.most);
    std::printf("edit:   %8.2f ms a cell with the plan re-checked (median of %d), %.2f ms at most\n",
                edit.median, kEdits, edit.most);
    std::printf("undo:   %8.2f ms a step (median of %d), %.2f ms at most\n", undo.median, kEdits,
                undo.most);
    return messages.shown == 0 ? 0 : 1;
}
