#include "cli/TransferCommands.h"

#include "cli/CheckCommand.h"
#include "cli/Diagnostics.h"
#include "cli/DiffCommand.h"
#include "cli/ExitCodes.h"
#include "cli/FieldJson.h"
#include "cli/Interruption.h"
#include "cli/PagerSheet.h"
#include "cli/TableFiles.h"
#include "cli/TerminalView.h"
#include "cli/TraceFile.h"
#include "cli/VerifyReport.h"
#include "link/FleetWrite.h"
#include "link/LineSettings.h"
#include "link/OperationMessages.h"
#include "link/OperationOutcome.h"
#include "link/Operations.h"
#include "model/FleetRecord.h"
#include "model/TextEncoding.h"
#include "model/WritePreparation.h"
#include "rules/DisplayPass.h"

#include <chrono>
#include <ctime>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

#include <unistd.h>

namespace {

int exitCodeOf(const OperationOutcome& outcome) {
    switch (outcome.result) {
    case OperationResult::Success:
        return kExitSuccess;
    case OperationResult::OpenFailed:
        return kExitPort;
    case OperationResult::BoardSilent:
        return kExitBoardSilent;
    case OperationResult::OtherModel:
    case OperationResult::ReadError:
    case OperationResult::ChecksumError:
    case OperationResult::ReminderRule:
    case OperationResult::WriteError:
    case OperationResult::VerifyError:
    case OperationResult::PortFailed:
        break;
    }
    return kExitTransferFailed;
}

// Once the rest of a reply is seen coming, a gap longer than any inside a
// reply (a USB adapter holds bytes up to 16 ms); and the time of the longest
// reply, a read block, at 9600 baud.
constexpr std::chrono::milliseconds kQuietLine{40};
constexpr std::chrono::milliseconds kLongestReply{300};

// The port, the view, the trace and the interruption of one command. The
// port is opened once by check() and held to the end of the command, so no
// other program can take it between two steps; it gets its own settings
// back when the session ends.
class Session {
public:
    explicit Session(const TransferOptions& options)
        : portName_(options.port), view_(::isatty(STDERR_FILENO) == 1, options.port) {
        if (options.trace) {
            tracePath_ = *options.trace;
            trace_ = std::make_unique<TraceFile>(*options.trace);
        }
    }
    // A trace that could not be written to its end is reported; the
    // command's own result stands.
    ~Session() {
        if (trace_ && trace_->openError() == 0 && !trace_->finish()) {
            report(withSystemReason("cannot write the trace file " + escaped(tracePath_),
                                    trace_->writeError()));
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Checks that the trace can be written and opens the port, so that a
    // missing or busy port is told apart from a board that does not answer.
    int check(const TransferOptions& options) {
        if (trace_ && !trace_->isOpen()) {
            report(withSystemReason("cannot write the trace file " + escaped(*options.trace),
                                    trace_->openError()));
            return kExitFile;
        }
        try {
            port_.reopen(kBaud, options.port, kFrameMode8N1);
            // A command killed just before may have left the board still
            // answering it: the line is quiet before the first request. A
            // quiet line costs one gap between bytes.
            port_.settle(kQuietLine, kLongestReply);
        } catch (const ECommError& error) {
            report(portOpenFailure(error, options.port));
            return kExitPort;
        }
        if (trace_) {
            port_.setTrace(trace_->observer());
        }
        return kExitSuccess;
    }

    using Operation = std::function<OperationOutcome(PagerOperations&, const std::string& port)>;

    // Runs one operation on the image. A write is finished after a first
    // interruption and abandoned after a second; anything else is abandoned
    // at once. Abandoning throws EInterrupted.
    OperationOutcome run(ConfigImage& image, const Operation& operation, bool writing = false) {
        view_.startOperation(image);
        PagerOperations operations(port_, view_, image, makeVersionTag(kWindowCaption), {},
                                   [this, writing] { checkInterruption(writing); });
        operations.holdPort(true);
        try {
            const OperationOutcome outcome = operation(operations, portName_);
            view_.endLine();
            return outcome;
        } catch (const EInterrupted&) {
            view_.endLine();
            throw;
        }
    }

    bool interrupted() const { return interruption_.count() > 0; }
    int interruptedExitCode() const { return interruption_.exitCode(); }

private:
    void checkInterruption(bool writing) {
        const int count = interruption_.count();
        if (count == 0) {
            return;
        }
        if (!writing || count > 1) {
            throw EInterrupted{};
        }
        if (!toldFinishing_) {
            view_.endLine();
            report("interrupted: finishing the pager in progress (interrupt again to abandon "
                   "it)");
            toldFinishing_ = true;
        }
    }

    std::string portName_;
    std::string tracePath_;
    std::unique_ptr<TraceFile> trace_;
    Interruption interruption_;
    TCommPort port_;
    TerminalView view_;
    bool toldFinishing_ = false;
};

constexpr std::string_view kWriteAbandoned =
    "write abandoned: the pager now holds a partial configuration and must be written again.";
constexpr std::string_view kStoppedAfterPager =
    "stopped after the pager in progress was finished.";
// The log line's and the record's words for a write abandoned half way.
constexpr std::string_view kAbandonedLog = "abandoned: partial configuration, write it again";

// A Write stores the file as prepared for the pager's firmware (marks,
// version tag, checksum): the image to compare with. The firmware query is
// an exchange of its own, and a port failure in it ends the verify as one in
// any other step does. A board that does not answer is left to the verify's
// own board test, which reports it.
std::optional<OperationOutcome> prepareAsWritten(PagerOperations& operations,
                                                 const std::string& port, ConfigImage& image) {
    if (!operations.testBoard(port).succeeded()) {
        return std::nullopt;
    }
    try {
        if (const auto firmware = operations.protocol().queryFirmwareVersion(image)) {
            prepareImageForWrite(image, *firmware, makeVersionTag(kWindowCaption));
        }
        return std::nullopt;
    } catch (const ECommError& error) {
        OperationOutcome failed{OperationKind::Verify};
        failed.result = OperationResult::PortFailed;
        failed.failedStep = OperationStep::VersionQuery;
        failed.error = error;
        if (const auto message = outcomeMessage(failed)) {
            report(message->text);
        }
        return failed;
    }
}

std::string now() {
    const std::time_t t = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
    return text;
}

// The first line of the outcome's message, for a one-line log.
std::string firstLine(const OperationOutcome& outcome) {
    const auto message = outcomeMessage(outcome);
    return message ? message->text.substr(0, message->text.find('\n')) : std::string{};
}

// A Write that failed while storing blocks leaves the pager half-written.
OperationOutcome writeToPager(PagerOperations& operations, const std::string& port) {
    OperationOutcome outcome = operations.writePager(port);
    if (!outcome.succeeded() && outcome.failedStep == OperationStep::StoreBlocks) {
        report(kPartlyWritten);
    }
    return outcome;
}

// Asks for the next pager; false when the user stops (q or end of input).
bool nextPager(const std::string& prompt) {
    std::cerr << prompt << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::cerr << '\n';
        return false;
    }
    return answer != "q" && answer != "Q";
}

struct Tally {
    int written = 0;
    int failed = 0;
};

// A sheet row's pager as a fleet writes it; its result goes to the record
// when there is one (recorded is false when the record could not take it).
struct RowWrite {
    OperationOutcome outcome;
    bool recorded = true;
};

RowWrite writeRow(Session& session, ConfigImage& image, const SheetPager& row,
                  FleetRecord* record) {
    FleetPagerWrite written;
    try {
        session.run(
            image,
            [&written, &row](PagerOperations& operations, const std::string& port) {
                written = writeFleetPager(operations, port, row.row, row.label);
                if (written.partlyWritten()) {
                    report(kPartlyWritten);
                }
                return written.outcome;
            },
            true);
    } catch (const EInterrupted&) {
        if (record != nullptr) {
            const FleetRecordLine abandoned{row.row,      row.label, RecordResult::Failed,
                                            recordTime(), "",        std::string(kAbandonedLog)};
            if (!record->append(abandoned)) {
                report(record->error());
            }
        }
        throw;
    }
    return {written.outcome, record == nullptr || record->append(written.line)};
}

// One pager after another: the file's configuration, or with a sheet each
// row's own, each prepared for its pager's firmware. Without a sheet it runs
// until the user stops; with one, until its last row. With a record, each
// row's result is appended to it; a record that cannot be written stops the
// batch.
int writeRepeatedly(Session& session, const ConfigImage& configuration,
                    std::span<const SheetPager> sheet, int sheetRows, FleetRecord* record) {
    std::map<std::string, Tally> byFirmware;
    Tally total;
    int firstFailure = kExitSuccess;
    for (std::size_t pager = 1;; ++pager) {
        const SheetPager* row = sheet.empty() ? nullptr : &sheet[pager - 1];
        ConfigImage image = row != nullptr ? row->image : configuration;
        const std::string where = row != nullptr ? "  " + rowName(*row) : std::string{};
        RowWrite written;
        try {
            written = row != nullptr ? writeRow(session, image, *row, record)
                                     : RowWrite{session.run(image, writeToPager, true)};
        } catch (const EInterrupted&) {
            std::cout << now() << "  pager " << pager << where << "  " << kAbandonedLog << '\n';
            report(kWriteAbandoned);
            ++total.failed;
            break;
        }
        const OperationOutcome& outcome = written.outcome;
        const int code = exitCodeOf(outcome);
        const std::string firmware = outcome.firmware ? outcome.firmware->text() : "-";
        Tally& tally = byFirmware[firmware];
        if (code == kExitSuccess) {
            ++tally.written;
            ++total.written;
        } else {
            ++tally.failed;
            ++total.failed;
            if (firstFailure == kExitSuccess) {
                firstFailure = code;
            }
        }
        std::string result = code == kExitSuccess ? "written" : "failed: " + firstLine(outcome);
        if (outcome.mismatch) {
            result += " " + describeMismatch(image, *outcome.mismatch);
        }
        std::cout << now() << "  pager " << pager << where << "  firmware " << firmware << "  "
                  << result << '\n'
                  << std::flush;
        if (!written.recorded) {
            report(record->error() + "; stopped after this pager.");
            if (firstFailure == kExitSuccess) {
                firstFailure = kExitFile;
            }
            break;
        }
        if (session.interrupted()) {
            report(kStoppedAfterPager);
            break;
        }
        if (row != nullptr && pager == sheet.size()) {
            break;
        }
        const std::string prompt =
            row == nullptr
                ? "Seat the next pager and press Enter (q to stop): "
                : "Seat pager " + std::to_string(sheet[pager].row) + " of " +
                      std::to_string(sheetRows) +
                      (sheet[pager].label.empty() ? ""
                                                  : " (" + shortened(sheet[pager].label) + ")") +
                      " and press Enter, q to stop: ";
        if (!nextPager(prompt)) {
            break;
        }
    }
    std::cout << "Summary: " << total.written + total.failed << " pagers, " << total.written
              << " written, " << total.failed << " failed\n";
    for (const auto& [firmware, tally] : byFirmware) {
        std::cout << "  firmware " << firmware << ": " << tally.written << " written, "
                  << tally.failed << " failed\n";
    }
    return session.interrupted() ? session.interruptedExitCode() : firstFailure;
}

// The window's Read into image; the exit code when it did not succeed.
std::optional<int> readFromPager(Session& session, ConfigImage& image,
                                 const std::string& whenInterrupted) {
    try {
        const OperationOutcome outcome = session.run(
            image, [](PagerOperations& o, const std::string& port) { return o.readPager(port); });
        if (!outcome.succeeded()) {
            return exitCodeOf(outcome);
        }
        return std::nullopt;
    } catch (const EInterrupted&) {
        report(whenInterrupted);
        return session.interruptedExitCode();
    }
}

// The trace would overwrite the command's own table file.
bool traceIsTheTable(const TransferOptions& options, const std::string& table) {
    std::error_code error;
    if (!options.trace || !std::filesystem::equivalent(*options.trace, table, error)) {
        return false;
    }
    report("--trace " + escaped(*options.trace) +
           " is the table file itself; give the trace its own file.");
    return true;
}

} // namespace

int runRead(const std::string& path, const TransferOptions& options, bool raw) {
    if (traceIsTheTable(options, path)) {
        return kExitUsage;
    }
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    ConfigImage image{};
    if (const auto failed = readFromPager(
            session, image, "read interrupted; " + escaped(path) + " was not written.")) {
        return *failed;
    }
    // The window shows what it read, and its display pass normalises it;
    // Save then writes that.
    if (!raw) {
        applyDisplayPass(image);
    }
    return saveTableAtomically(path, image) ? kExitSuccess : kExitFile;
}

int runWrite(const std::string& path, const TransferOptions& options, bool repeat,
             const BatchOptions& batch) {
    if (traceIsTheTable(options, path)) {
        return kExitUsage;
    }
    const auto configuration = openTable(path, true);
    if (!configuration) {
        return kExitFile;
    }
    // Every row is checked before the first pager is written.
    std::vector<SheetPager> sheet;
    int sheetRows = 0;
    if (batch.each) {
        bool refused = false;
        auto pagers = readPagerSheet(*batch.each, configuration->image,
                                     batch.userTones ? ToneMode::User : ToneMode::Standard,
                                     refused);
        if (!pagers) {
            return refused ? kExitRefused : kExitFile;
        }
        sheetRows = static_cast<int>(pagers->size());
        if (sheetRows == 0) {
            report(escaped(*batch.each) +
                   " has no pager rows below its header; nothing was written.");
            return kExitFile;
        }
        if (!batch.allowOverlap && !sheetWithoutOverlaps(*pagers)) {
            return kExitRefused;
        }
        if (batch.fromRow < 1 || batch.fromRow > sheetRows) {
            report(escaped(*batch.each) + " has no row " + std::to_string(batch.fromRow) +
                   " (rows 1 to " + std::to_string(sheetRows) + ").");
            return kExitUsage;
        }
        sheet.assign(std::make_move_iterator(pagers->begin() + (batch.fromRow - 1)),
                     std::make_move_iterator(pagers->end()));
    }
    // A record that cannot be written is found before the first pager.
    std::optional<FleetRecord> record;
    if (batch.record) {
        record.emplace(*batch.record);
        if (!record->load() || (record->empty() && !record->appendBase(path))) {
            report(record->error() + "; nothing was written.");
            return kExitFile;
        }
    }
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    if (repeat) {
        return writeRepeatedly(session, configuration->image, sheet, sheetRows,
                               record ? &*record : nullptr);
    }
    ConfigImage image = configuration->image;
    try {
        const int code = exitCodeOf(session.run(image, writeToPager, true));
        if (session.interrupted()) {
            report(kStoppedAfterPager);
            return session.interruptedExitCode();
        }
        return code;
    } catch (const EInterrupted&) {
        report(kWriteAbandoned);
        return session.interruptedExitCode();
    }
}

int runVerify(const std::string& path, const TransferOptions& options, bool asWritten) {
    if (traceIsTheTable(options, path)) {
        return kExitUsage;
    }
    const auto opened = openTable(path);
    if (!opened) {
        return kExitFile;
    }
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    ConfigImage image = opened->image;
    try {
        return exitCodeOf(session.run(
            image, [&image, asWritten](PagerOperations& o, const std::string& port) {
                if (asWritten) {
                    if (auto failed = prepareAsWritten(o, port, image)) {
                        return *failed;
                    }
                }
                return o.verifyPager(port);
            }));
    } catch (const EInterrupted&) {
        report("verify interrupted.");
        return session.interruptedExitCode();
    }
}

int runDiffWithPager(const std::string& path, const TransferOptions& options, bool json) {
    if (traceIsTheTable(options, path)) {
        return kExitUsage;
    }
    const auto opened = openTable(path);
    if (!opened) {
        return kExitFile;
    }
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    ConfigImage pager{};
    if (const auto failed = readFromPager(session, pager, "read interrupted.")) {
        return *failed;
    }
    applyDisplayPass(pager);
    if (json) {
        std::cout << jsonText(differencesJson(opened->image, pager)) << '\n';
    } else {
        printDifferences(opened->image, pager, std::cout);
    }
    return opened->image == pager ? kExitSuccess : kExitDiffer;
}
