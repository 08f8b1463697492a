#include "cli/CheckCommand.h"
#include "cli/Diagnostics.h"
#include "cli/DiffCommand.h"
#include "cli/ExitCodes.h"
#include "cli/PortsCommand.h"
#include "cli/SetCommand.h"
#include "cli/SetFromDocument.h"
#include "cli/ShowCommand.h"
#include "cli/TransferCommands.h"
#include "model/Version.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cerrno>
#include <csignal>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

int run(int argc, char** argv);

} // namespace

// Output to a closed pipe or a full disk is reported, and the exit code says
// so where the command itself succeeded; it never ends the program silently.
int main(int argc, char** argv) {
#ifdef _WIN32
    // Table bytes pass through standard input and output unchanged, and
    // lines end as they do on every other platform.
    ::_setmode(STDIN_FILENO, _O_BINARY);
    ::_setmode(STDOUT_FILENO, _O_BINARY);
#else
    std::signal(SIGPIPE, SIG_IGN);
#endif
    int code = kExitFile;
    try {
        code = run(argc, argv);
    } catch (const std::bad_alloc&) {
        // Inputs are bounded well below this; a machine short of memory still
        // gets a message rather than an abort, and the port its settings back.
        report("not enough memory to go on; the command stopped.");
    }
    std::cout.flush();
    if (!std::cout) {
        // The stream keeps no reason; the output is broken anyway, so one more
        // byte tells it (no space left, a closed pipe).
        const bool wrote = ::write(STDOUT_FILENO, "\n", 1) == 1;
        report(withSystemReason("cannot write the output", wrote ? EIO : errno));
        if (code == kExitSuccess) {
            code = kExitFile;
        }
    }
    return code;
}

namespace {

int run(int argc, char** argv) {
    // Named, so usage lines show the program's name rather than its path.
    CLI::App app{"px520-cli: reads, writes and verifies PX520 pagers on the programmer board, "
                 "and shows, compares and edits table files.",
                 std::string(kProgramName)};
    // The subcommands take the footer and the failure message from here.
    app.footer(std::string(kExitCodesHelp) + "\n\n" + std::string(kProgramName) + " " +
               std::string(kVersion));
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return prefixed(error.what()) + "\n" +
               prefixed("run with --help for more information.") + "\n";
    });
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string(kProgramName) + " " + std::string(kVersion));
    // Options of the program may also follow the subcommand.
    app.fallthrough();

    TransferOptions transfer;
    app.add_option("--trace", transfer.trace,
                   "Write every byte sent and received, with a millisecond time stamp and its "
                   "direction, to this file.");

    std::string file;
    std::string fileB;
    bool json = false;
    std::vector<std::string> assignments;
    std::optional<std::string> out;
    bool userTones = false;

    auto* ports =
        app.add_subcommand("ports", "The serial ports the window lists, with descriptions.");

    bool repeat = false;
    auto* read = app.add_subcommand(
        "read", "Reads the pager into FILE (written only when the Read succeeds).");
    auto* write = app.add_subcommand(
        "write", "Writes FILE into the pager (version tag, marks, checksum) and verifies it.");
    auto* verify = app.add_subcommand(
        "verify", "Compares the pager byte for byte with FILE as the window takes it on Open.");
    for (auto* command : {read, write, verify}) {
        command->add_option("FILE", file, "The table file (.tbl).")->required();
        command
            ->add_option("-p,--port", transfer.port,
                         "The serial port of the programmer board: ttyUSB0 or a path.")
            ->required();
    }
    bool raw = false;
    read->add_flag("--raw", raw,
                   "Writes the pager's bytes untouched, for a backup, instead of what the "
                   "window's Save writes after a Read (synthesizer words and linked settings "
                   "normalised).");
    bool asWritten = false;
    verify->add_flag("--as-written", asWritten,
                     "Compares with FILE as a Write stores it (marks, version tag and checksum "
                     "for the pager's firmware), so a file written before verifies.");
    write->add_flag("--repeat", repeat,
                    "One pager after another: after each, seat the next and press Enter (q "
                    "stops); a log line per pager on stdout and a summary at the end.");
    BatchOptions batch;
    auto* each = write->add_option(
        "--each", batch.each,
        "With --repeat: a CSV sheet, one row a pager, whose header names fields as set and "
        "show do (an optional first column label is free text); each row's values are set on "
        "FILE by set's rules. Every row is checked before the first pager is written.");
    write->add_option("--from-row", batch.fromRow, "With --each: start at this row (1 = the first)")
        ->needs(each);
    write->add_flag("--user-tones", batch.userTones,
                    "With --each: tones in User Mode, taken as typed, not snapped to the list.")
        ->needs(each);
    write->add_flag("--allow-overlap", batch.allowOverlap,
                    "With --each: write a sheet whose rows' calls overlap (another pager would "
                    "answer them) all the same.")
        ->needs(each);
    write
        ->add_option("--record", batch.record,
                     "With --each: append each pager's result (verified or failed, when, "
                     "its firmware) to this record file, and a line naming FILE first when "
                     "the record is new; the fleet window reads it to tell the rows done.")
        ->needs(each);

    auto* show = app.add_subcommand("show", "Every field of a table file in the window's units.");
    show->add_option("FILE", file, "The table file (.tbl).")->required();
    show->add_flag("--json", json, "JSON keyed by the field names; per-call fields are arrays.");

    auto* diff = app.add_subcommand(
        "diff", "Field-level differences of two table files, or of a table file and the pager "
                "on --port, read as the window reads it (exit 0 equal, 1 different).");
    diff->add_option("A", file, "The first table file.")->required();
    auto* diffB = diff->add_option("B", fileB, "The second table file.");
    auto* diffPort = diff->add_option("-p,--port", transfer.port,
                                      "Compare A with the pager on this port; nothing is written.");
    diffB->excludes(diffPort);
    diffPort->excludes(diffB);
    diff->add_flag("--json", json, "JSON: {field: {a, b}} for each difference.");

    std::vector<std::string> checkFiles;
    CheckOptions check;
    auto* checkCommand = app.add_subcommand(
        "check", "Lists the calls of one pager that another would answer (overlaps) and the "
                 "calls pagers share, among table files or the rows of a sheet (exit 0 none "
                 "overlap, 1 some do).");
    checkCommand->add_option("FILE", checkFiles, "Table files, one a pager; with --each, one.")
        ->required();
    checkCommand->add_option("--each", check.each,
                             "A CSV sheet as write --each takes it: one pager a row, FILE with "
                             "the row's values.");
    checkCommand->add_flag("--json", check.json, "JSON: the overlaps and the shared calls.");
    checkCommand->add_flag("--user-tones", check.userTones,
                           "With --each: tones in User Mode, taken as typed.");

    auto* set = app.add_subcommand(
        "set", "Changes fields by name with the window's rules; a refused value changes nothing.");
    set->add_option("FILE", file, "The table file (.tbl).")->required();
    set->add_option("NAME=VALUE", assignments,
                    "Fields by their names in show: Freq=1590125, T1[2]=1000, "
                    "\"ResetCon=Time-Out RESET\", SYSSV=off, RSSI=0.71. With none, FILE "
                    "is saved as the window saves it after Open.");
    std::string document;
    auto* from = set->add_option("--from", document,
                                 "Apply a document in the shape show --json prints (- for "
                                 "stdin): the values that differ go through the same rules.");
    set->get_option("NAME=VALUE")->excludes(from);
    set->add_option("-o,--output", out, "Write the result here and leave FILE as it is.");
    set->add_flag("--user-tones", userTones,
                  "User Mode: tones 280 to 3500.0 Hz taken as typed, not snapped to the list.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitSuccess : kExitUsage;
    }

    if (*ports) {
        return runPorts();
    }
    if (*read) {
        return runRead(file, transfer, raw);
    }
    if (*write) {
        if (*each && !repeat) {
            report("write: --each needs --repeat.");
            return kExitUsage;
        }
        return runWrite(file, transfer, repeat, batch);
    }
    if (*verify) {
        return runVerify(file, transfer, asWritten);
    }
    if (*show) {
        return runShow(file, json);
    }
    if (*diff) {
        if (*diffPort) {
            return runDiffWithPager(file, transfer, json);
        }
        if (fileB.empty()) {
            report("diff: give a second table file B or --port.");
            return kExitUsage;
        }
        return runDiff(file, fileB, json);
    }
    if (*checkCommand) {
        return runCheck(checkFiles, check);
    }
    if (*from) {
        return runSetFromDocument(file, document, out, userTones);
    }
    return runSet(file, assignments, out, userTones);
}

} // namespace
