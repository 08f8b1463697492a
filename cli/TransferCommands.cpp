#include "cli/TransferCommands.h"

#include "cli/ExitCodes.h"
#include "cli/TableFiles.h"
#include "cli/TerminalView.h"
#include "cli/TraceFile.h"
#include "link/LineSettings.h"
#include "link/OperationMessages.h"
#include "link/OperationOutcome.h"
#include "link/Operations.h"
#include "model/WritePreparation.h"
#include "rules/DisplayPass.h"

#include <ctime>
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

// The port, the view and the trace of one command.
class Session {
public:
    explicit Session(const TransferOptions& options)
        : portName_(options.port), view_(::isatty(STDERR_FILENO) == 1) {
        if (options.trace) {
            trace_ = std::make_unique<TraceFile>(*options.trace);
        }
    }

    // Checks that the trace can be written and the port opened, so that a
    // missing port is told apart from a board that does not answer.
    int check(const TransferOptions& options) {
        if (trace_ && !trace_->isOpen()) {
            std::cerr << "px520-cli: cannot write the trace file " << *options.trace << '\n';
            return kExitFile;
        }
        try {
            port_.reopen(kBaud, options.port, kFrameMode8N1);
            port_.closeDevice();
        } catch (const ECommError& error) {
            std::cerr << withReason(openErrorHeadline(error), error) << '\n';
            return kExitPort;
        }
        if (trace_) {
            port_.setTrace(trace_->observer());
        }
        return kExitSuccess;
    }

    using Operation = std::function<OperationOutcome(PagerOperations&, const std::string& port)>;

    // Runs one operation on the image.
    OperationOutcome run(ConfigImage& image, const Operation& operation) {
        view_.startOperation();
        PagerOperations operations(port_, view_, image);
        const OperationOutcome outcome = operation(operations, portName_);
        view_.endLine();
        return outcome;
    }

private:
    std::string portName_;
    std::unique_ptr<TraceFile> trace_;
    TCommPort port_;
    TerminalView view_;
};

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

OperationOutcome writeToPager(PagerOperations& operations, const std::string& port) {
    return operations.writePager(port);
}

// Asks for the next pager; false when the user stops (q or end of input).
bool nextPager() {
    std::cerr << "Seat the next pager and press Enter (q to stop): " << std::flush;
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

int writeRepeatedly(Session& session, const ConfigImage& configuration) {
    std::map<std::string, Tally> byFirmware;
    Tally total;
    int firstFailure = kExitSuccess;
    for (int pager = 1;; ++pager) {
        // Every pager gets the file's configuration, prepared for its own firmware.
        ConfigImage image = configuration;
        const OperationOutcome outcome = session.run(image, writeToPager);
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
        std::cout << now() << "  pager " << pager << "  firmware " << firmware << "  "
                  << (code == kExitSuccess ? "written" : "failed: " + firstLine(outcome)) << '\n'
                  << std::flush;
        if (!nextPager()) {
            break;
        }
    }
    std::cout << "Summary: " << total.written + total.failed << " pagers, " << total.written
              << " written, " << total.failed << " failed\n";
    for (const auto& [firmware, tally] : byFirmware) {
        std::cout << "  firmware " << firmware << ": " << tally.written << " written, "
                  << tally.failed << " failed\n";
    }
    return firstFailure;
}

} // namespace

int runRead(const std::string& path, const TransferOptions& options, bool raw) {
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    ConfigImage image{};
    const OperationOutcome outcome = session.run(
        image, [](PagerOperations& o, const std::string& port) { return o.readPager(port); });
    if (!outcome.succeeded()) {
        return exitCodeOf(outcome);
    }
    // The window shows what it read, and its display pass normalises it;
    // Save then writes that.
    if (!raw) {
        applyDisplayPass(image);
    }
    return saveTableAtomically(path, image) ? kExitSuccess : kExitFile;
}

int runWrite(const std::string& path, const TransferOptions& options, bool repeat) {
    const auto configuration = openTable(path);
    if (!configuration) {
        return kExitFile;
    }
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    if (repeat) {
        return writeRepeatedly(session, configuration->image);
    }
    ConfigImage image = configuration->image;
    return exitCodeOf(session.run(image, writeToPager));
}

int runVerify(const std::string& path, const TransferOptions& options, bool asWritten) {
    const auto opened = openTable(path);
    if (!opened) {
        return kExitFile;
    }
    Session session(options);
    if (const int code = session.check(options); code != kExitSuccess) {
        return code;
    }
    ConfigImage image = opened->image;
    return exitCodeOf(
        session.run(image, [&image, asWritten](PagerOperations& o, const std::string& port) {
            // A Write stores the file as prepared for the pager's firmware
            // (marks, version tag, checksum); compare with that image instead
            // of the file.
            if (asWritten && o.testBoard(port).succeeded()) {
                if (const auto firmware = o.protocol().queryFirmwareVersion(image)) {
                    prepareImageForWrite(image, *firmware, makeVersionTag(kWindowCaption));
                }
            }
            return o.verifyPager(port);
        }));
}
