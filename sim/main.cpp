// px520-sim: a programmer board with a PX520 pager in it, on a pseudo-terminal.
// Prints the port to open, serves until SIGINT or SIGTERM, then saves the
// pager memory when asked.

#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/Version.h"
#include "model/VersionTag.h"
#include "sim/BoardEmulator.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

struct Options {
    std::optional<std::string> link;
    std::optional<std::string> load;
    std::optional<std::string> save;
    std::optional<std::string> firmware;
    std::string boardVersion = "1.0";
    std::optional<std::string> model;
    bool paced = false;
    unsigned replyLatencyMs = 0;
    BoardFaults faults;
    std::pair<unsigned, std::size_t> cut{0, 0};
    std::pair<unsigned, std::size_t> garbage{0, 0};
    std::optional<int> differ;
};

// "1.90" -> 1 and 90, as the pager reports its version.
std::optional<std::pair<std::uint8_t, std::uint8_t>> parseVersion(const std::string& text) {
    unsigned major = 0;
    unsigned minor = 0;
    char dot = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%u%c%u%c", &major, &dot, &minor, &rest) != 3 || dot != '.' ||
        major > 255 || minor > 255) {
        return std::nullopt;
    }
    return std::pair{static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)};
}

class SymbolicLink {
public:
    SymbolicLink(std::filesystem::path link, const std::string& target) : link_(std::move(link)) {
        if (std::filesystem::is_symlink(link_)) {
            std::filesystem::remove(link_);
        }
        std::filesystem::create_symlink(target, link_);
    }
    ~SymbolicLink() {
        std::error_code ignored;
        std::filesystem::remove(link_, ignored);
    }
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;

private:
    std::filesystem::path link_;
};

int serve(const Options& options) {
    BoardEmulator board;
    ConfigImage memory = freshPagerImage();
    if (options.load) {
        if (const TableLoad load = loadTable(*options.load, memory);
            load.status != TableStatus::Loaded) {
            std::cerr << "px520-sim: cannot read " << *options.load << ": "
                      << std::strerror(load.systemError) << "\n";
            return 1;
        }
    }
    if (options.firmware) {
        const auto version = parseVersion(*options.firmware);
        memory[field::VersionMajor] = version->first;
        memory[field::VersionMinor] = version->second;
    }
    if (options.model) {
        VersionTag tag{};
        std::copy_n(options.model->begin(), std::min(options.model->size(), tag.size()),
                    tag.begin());
        storeVersionTag(memory, tag);
        writeWord(memory, field::Checksum, imageChecksum(memory));
    }
    board.setMemory(memory);
    const auto boardVersion = parseVersion(options.boardVersion);
    board.setBoardVersion(boardVersion->first, boardVersion->second);
    board.setPaced(options.paced);
    board.setReplyLatency(std::chrono::milliseconds(options.replyLatencyMs));
    board.setFaults(options.faults);

    // Signals arrive as readable bytes on a descriptor the board polls.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signals = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signals < 0) {
        std::perror("px520-sim: signalfd");
        return 1;
    }

    std::optional<SymbolicLink> link;
    if (options.link) {
        link.emplace(*options.link, board.slavePath());
    }
    std::cout << board.slavePath() << std::endl;

    board.run(signals);
    ::close(signals);
    if (board.hungUp()) {
        std::cerr << "px520-sim: hung up after exchange " << options.faults.hangUpAfter << "\n";
    }
    if (const int error = options.save ? saveTableFile(*options.save, board.memory()) : 0;
        error != 0) {
        std::cerr << "px520-sim: cannot write " << *options.save << ": "
                  << (error == kTableReadOnly ? "read-only" : std::strerror(error)) << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"px520-sim: a programmer board with a PX520 pager in it, on a pseudo-terminal. "
                 "Prints the port for the tool to open and serves until SIGINT or SIGTERM.",
                 "px520-sim"};
    app.set_version_flag("--version", std::string(kVersion));
    Options options;
    const auto version = [](const std::string& text) {
        return parseVersion(text) ? std::string{} : "expected MAJOR.MINOR such as 1.90";
    };
    app.add_option("--link", options.link, "Also make this symbolic link to the port.");
    app.add_option("--load", options.load, "Start with the pager memory of this table file.");
    app.add_option("--save", options.save, "Save the pager memory to this table file on exit.");
    app.add_option("--firmware", options.firmware,
                   "The firmware version the pager reports (bytes 1 and 2), such as 1.90.")
        ->check(version);
    app.add_option("--board-version", options.boardVersion, "The board's own version.")
        ->check(version)
        ->capture_default_str();
    app.add_option("--model", options.model,
                   "The version tag at 240-253, such as \"KX300 V1.0\" or \"\"; the checksum "
                   "follows it.");
    app.add_flag("--pace", options.paced, "Take and send bytes at the pace of 9600 baud.");
    app.add_option("--reply-latency", options.replyLatencyMs,
                   "Hold reply bytes back as a USB serial adapter does: passed on when 62 "
                   "have gathered or MS milliseconds after the first (16 is the common "
                   "adapters' default under Linux).")
        ->option_text("MS");
    app.add_flag("--silent", options.faults.silent, "Never answer.");
    app.add_option("--cut", options.cut, "Exchange K's reply stops after N bytes.")
        ->type_name("K N");
    app.add_option("--bad-checksum", options.faults.badChecksumExchange,
                   "Exchange K's reply has a wrong sum.");
    app.add_option("--bad-ack", options.faults.badAckStore, "Store block K is refused.");
    app.add_option("--differ", options.differ, "Reads show this pager address inverted.")
        ->check(CLI::Range(0, 255));
    app.add_option("--garbage", options.garbage, "N bytes of noise before exchange K's reply.")
        ->type_name("K N");
    app.add_option("--hang-up", options.faults.hangUpAfter,
                   "The line goes dead once exchange K is over.");
    app.footer("Exchanges count every request from 1 since the start; store blocks count "
               "store requests only.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }

    std::tie(options.faults.cutExchange, options.faults.cutAfter) = options.cut;
    std::tie(options.faults.garbageExchange, options.faults.garbageBytes) = options.garbage;
    if (options.differ) {
        options.faults.differingAddress = static_cast<std::uint8_t>(*options.differ);
    }
    try {
        return serve(options);
    } catch (const std::exception& e) {
        std::cerr << "px520-sim: " << e.what() << "\n";
        return 1;
    }
}
