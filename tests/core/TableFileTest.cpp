#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"

#include "TableFileFixture.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

TEST_F(TableFileTest, SaveThenLoadRestoresEveryByte) {
    const ConfigImage saved = counting();
    ASSERT_EQ(saveTableFile(dir / "a.tbl", saved), 0);
    EXPECT_EQ(fs::file_size(dir / "a.tbl"), 256u);
    ConfigImage loaded{};
    const auto r = loadTable(dir / "a.tbl", loaded);
    EXPECT_EQ(r.status, TableStatus::Loaded);
    EXPECT_EQ(r.bytesRead, 256u);
    EXPECT_EQ(loaded, saved);
}

TEST_F(TableFileTest, ShortFileReplacesOnlyItsLeadingBytes) {
    writeFile(dir / "short.tbl", std::vector<std::uint8_t>(100, 0xAA));
    ConfigImage image = counting();
    const auto r = loadTable(dir / "short.tbl", image);
    EXPECT_EQ(r.status, TableStatus::Loaded);
    EXPECT_EQ(r.bytesRead, 100u);
    EXPECT_EQ(image[99], 0xAA);
    EXPECT_EQ(image[100], 100);
    EXPECT_EQ(image[255], 255);
}

TEST_F(TableFileTest, LongFileLoadsItsFirst256Bytes) {
    std::vector<std::uint8_t> bytes(300, 0x11);
    bytes[255] = 0x22;
    writeFile(dir / "long.tbl", bytes);
    ConfigImage image{};
    EXPECT_EQ(loadTable(dir / "long.tbl", image).bytesRead, 256u);
    EXPECT_EQ(image[255], 0x22);
}

TEST_F(TableFileTest, UnreadableFileLeavesTheImageAloneAndSaysWhy) {
    ConfigImage image = counting();
    const TableLoad missing = loadTable(dir / "missing.tbl", image);
    EXPECT_EQ(missing.status, TableStatus::CannotOpen);
    EXPECT_EQ(missing.systemError, ENOENT);
    const TableLoad folder = loadTable(dir, image);
    EXPECT_EQ(folder.status, TableStatus::CannotOpen);
#ifdef _WIN32
    // The Windows C runtime refuses to open a folder as a file.
    EXPECT_EQ(folder.systemError, EACCES);
#else
    EXPECT_EQ(folder.systemError, EISDIR);
#endif
    EXPECT_EQ(image, counting());
}

// A tail longer than the copy's buffer arrives whole and in order.
TEST_F(TableFileTest, SaveKeepsTheTailOfALongerFile) {
    std::vector<std::uint8_t> bytes(256 + 200'000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    writeFile(dir / "long.tbl", bytes);
    ASSERT_EQ(saveTableFile(dir / "long.tbl", counting()), 0);
    const auto after = readFile(dir / "long.tbl");
    ASSERT_EQ(after.size(), bytes.size());
    EXPECT_TRUE(holdsImage(after));
    EXPECT_TRUE(std::equal(after.begin() + 256, after.end(), bytes.begin() + 256));
}

TEST_F(TableFileTest, SaveFailsWhereNoFileCanBeWritten) {
    EXPECT_NE(saveTableFile(dir / "no-such-dir" / "a.tbl", counting()), 0);
    EXPECT_NE(saveTableFile(dir, counting()), 0);
}

TEST_F(TableFileTest, DefaultTableNeedsThePX520Tag) {
    ConfigImage image = defaultImage();
    EXPECT_EQ(loadDefaultTable(dir / "default.tbl", image).status, TableStatus::Missing);

    ConfigImage other = counting();
    const VersionTag tag = makeVersionTag("PX520 V9.9");
    storeVersionTag(other, tag);
    writeFile(dir / "default.tbl", std::vector<std::uint8_t>(other.begin(), other.end()));
    EXPECT_EQ(loadDefaultTable(dir / "default.tbl", image).status, TableStatus::Loaded);
    EXPECT_EQ(image, other);

    other[field::VersionTag] = 'Q';
    writeFile(dir / "default.tbl", std::vector<std::uint8_t>(other.begin(), other.end()));
    image = defaultImage();
    EXPECT_EQ(loadDefaultTable(dir / "default.tbl", image).status, TableStatus::WrongModel);
    EXPECT_EQ(image, defaultImage());
}

TEST_F(TableFileTest, ShortDefaultTableIsZeroFilledAndRefused) {
    writeFile(dir / "default.tbl", std::vector<std::uint8_t>(100, 0x50));
    ConfigImage image = defaultImage();
    EXPECT_EQ(loadDefaultTable(dir / "default.tbl", image).status, TableStatus::WrongModel);
    EXPECT_EQ(image, defaultImage());
}

TEST_F(TableFileTest, ADefaultTableThatIsNoFileIsReported) {
    fs::create_directories(dir / "default.tbl");
    ConfigImage image = defaultImage();
    EXPECT_EQ(loadDefaultTable(dir / "default.tbl", image).status, TableStatus::NotAFile);
    EXPECT_EQ(image, defaultImage());
}

// A window takes regular files only and says what else stands there; it
// never opens a FIFO, which would wait for a writer.
TEST_F(TableFileTest, RegularFilesOnlyNamesWhatElseStandsThere) {
    struct Case {
        fs::path path;
        std::string_view node;
    };
    std::vector<Case> cases{{dir, "a directory"}};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe.tbl").c_str(), 0600), 0);
    cases.push_back({dir / "pipe.tbl", "a FIFO"});
    cases.push_back({"/dev/null", "a character device"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        ConfigImage image = counting();
        const TableLoad load = loadTable(c.path, image, TableSource::RegularFile);
        EXPECT_EQ(load.status, TableStatus::NotAFile);
        EXPECT_EQ(load.node, c.node);
        EXPECT_EQ(nonFileNode(c.path), c.node);
        EXPECT_EQ(image, counting());
    }
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    EXPECT_EQ(nonFileNode(dir / "a.tbl"), "");
    EXPECT_EQ(nonFileNode(dir / "missing.tbl"), "");
    ConfigImage image{};
    EXPECT_EQ(loadTable(dir / "a.tbl", image, TableSource::RegularFile).status,
              TableStatus::Loaded);
}

TEST_F(TableFileTest, AFolderIsRefusedWithItsReason) {
    EXPECT_EQ(saveTableFile(dir, counting()), EISDIR);
}

} // namespace
