// Writes the seed corpora under the folder given: a handful of meaningful
// inputs per target, from the default image and replies a good board sends.
#include "fuzz/ReplyScript.h"
#include "link/Protocol.h"
#include "model/DefaultImage.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes frame(std::uint8_t target, std::span<const std::uint8_t> body) {
    Bytes bytes(kFrameOverhead + body.size());
    buildFrame(bytes, target, kOperationRead, body);
    return bytes;
}

Bytes script(std::initializer_list<ReplyKind> kinds) {
    Bytes bytes;
    for (const ReplyKind kind : kinds) {
        appendReply(bytes, kind);
    }
    return bytes;
}

Bytes fromMemory(std::size_t replies) {
    Bytes bytes(replies, static_cast<std::uint8_t>(ReplyKind::FromMemory));
    return bytes;
}

Bytes withSelector(std::uint8_t selector, const Bytes& replies) {
    Bytes bytes{selector};
    bytes.insert(bytes.end(), replies.begin(), replies.end());
    return bytes;
}

void tableFiles(const fs::path& folder) {
    const ConfigImage pager = freshPagerImage();
    writeFile(folder / "default-image.tbl", defaultImage());
    writeFile(folder / "pager.tbl", pager);
    writeFile(folder / "short.tbl", std::span(pager).first(16));
    Bytes longer(pager.begin(), pager.end());
    longer.insert(longer.end(), 16, 0xA5);
    writeFile(folder / "long.tbl", longer);
    writeFile(folder / "empty.tbl", Bytes{});
}

void boardReplies(const fs::path& folder) {
    const ConfigImage pager = freshPagerImage();
    writeFile(folder / "working-board", fromMemory(8));

    // The same good replies as raw bytes, in the order the exchanges ask.
    Bytes raw;
    appendReply(raw, ReplyKind::Raw, frame(kTargetPager, {}));
    appendReply(raw, ReplyKind::Raw, frame(kTargetPager, std::span(pager).subspan(1, 2)));
    appendReply(raw, ReplyKind::Raw, frame(kTargetPager, std::span(pager).subspan(240, 14)));
    appendReply(raw, ReplyKind::Raw, frame(kTargetBoard, Bytes{3, 2}));
    appendReply(raw, ReplyKind::Framed, std::span(pager).first(128));
    appendReply(raw, ReplyKind::Framed, std::span(pager).subspan(128, 128));
    appendReply(raw, ReplyKind::Framed, std::span(pager).first(128));
    appendReply(raw, ReplyKind::Raw, kStoreAcknowledgement);
    writeFile(folder / "good-replies", raw);

    Bytes faults;
    const Bytes probe = frame(kTargetPager, {});
    appendReply(faults, ReplyKind::Raw, std::span(probe).first(9));
    Bytes badSum = frame(kTargetPager, std::span(pager).subspan(1, 2));
    ++badSum.back();
    appendReply(faults, ReplyKind::Raw, badSum);
    appendReply(faults, ReplyKind::Framed, Bytes{'O', 'T', 'H', 'E', 'R'});
    appendReply(faults, ReplyKind::Silent);
    appendReply(faults, ReplyKind::Raw, frame(kTargetPager, Bytes{1, 2}));
    writeFile(folder / "cut-bad-sum-foreign-silent", faults);
}

void operations(const fs::path& folder) {
    enum : std::uint8_t { Read, Write, Verify, BoardTest, Search, BoardVersion };
    const Bytes working = fromMemory(40);
    writeFile(folder / "read", withSelector(Read, working));
    writeFile(folder / "write", withSelector(Write, working));
    writeFile(folder / "verify", withSelector(Verify, working));
    writeFile(folder / "board-test", withSelector(BoardTest, fromMemory(1)));
    writeFile(folder / "search", withSelector(Search, fromMemory(1)));
    writeFile(folder / "board-version", withSelector(BoardVersion, fromMemory(1)));
    writeFile(folder / "silent-board", withSelector(Read, script({ReplyKind::Silent})));

    Bytes otherModel = fromMemory(2);
    appendReply(otherModel, ReplyKind::Framed, Bytes{'P', 'X', '9', '9', '9'});
    writeFile(folder / "read-other-model", withSelector(Read, otherModel));

    Bytes badChecksum = fromMemory(4);
    appendReply(badChecksum, ReplyKind::Framed, Bytes(20, 0x01));
    appendReply(badChecksum, ReplyKind::Framed, Bytes{});
    writeFile(folder / "read-checksum-error", withSelector(Read, badChecksum));

    Bytes refusedStore = fromMemory(7);
    appendReply(refusedStore, ReplyKind::Framed, Bytes{0x15});
    writeFile(folder / "write-store-refused", withSelector(Write, refusedStore));

    Bytes differs = fromMemory(2);
    appendReply(differs, ReplyKind::Framed, Bytes{0xFF});
    writeFile(folder / "verify-differs", withSelector(Verify, differs));
}

void fieldEntries(const fs::path& folder) {
    const auto entry = [&](std::string_view name, std::uint8_t settings, std::string_view text) {
        Bytes bytes{settings};
        bytes.insert(bytes.end(), text.begin(), text.end());
        writeFile(folder / name, bytes);
    };
    // Settings byte: bit 0 user tones, bit 1 high band, bits 2-4 step item (7: none).
    constexpr std::uint8_t kAutoStep = 2 << 2;
    entry("readme-session", kAutoStep, "Freq=1590125\nT1[2]=1000\nSYSPrivacy=on");
    entry("user-tone", 1 | kAutoStep, "T2[1]=2500\nT3[4]=3499.9");
    entry("high-band", 2, "Freq=4500000\nCSpace=12.5 KHz");
    entry("captions", kAutoStep,
          "ResetCon=Time-Out RESET\nCSpace=Auto\nReminder=60 Second\nPTL=on");
    entry("refused", kAutoStep, "SYSPrivacy=on\nT1[1]=99999\nFreq=1");
    entry("numbers", 7 << 2, "ResetTime=12.5\nAlertLevel=0.75\nT1[1]=1e3\nT1[3]= 007 ");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: seed_corpus CORPUS_FOLDER\n";
        return 2;
    }
    const fs::path root = argv[1];
    tableFiles(root / "table_file");
    boardReplies(root / "board_replies");
    operations(root / "operations");
    fieldEntries(root / "field_entry");
    return 0;
}
