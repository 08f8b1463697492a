#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"

#include "TableFileFixture.h"

#include <cerrno>

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

TEST_F(TableFileTest, SaveKeepsTheTailOfALongerFile) {
    std::vector<std::uint8_t> bytes(300, 0x33);
    writeFile(dir / "long.tbl", bytes);
    ASSERT_EQ(saveTableFile(dir / "long.tbl", counting()), 0);
    const auto after = readFile(dir / "long.tbl");
    ASSERT_EQ(after.size(), 300u);
    EXPECT_EQ(after[0], 0);
    EXPECT_EQ(after[255], 255);
    EXPECT_EQ(after[256], 0x33);
    EXPECT_EQ(after[299], 0x33);
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

TEST_F(TableFileTest, UnreadableDefaultTableIsReported) {
    fs::create_directories(dir / "default.tbl");
    ConfigImage image = defaultImage();
    EXPECT_EQ(loadDefaultTable(dir / "default.tbl", image).status, TableStatus::CannotOpen);
    EXPECT_EQ(image, defaultImage());
}

TEST_F(TableFileTest, AFolderIsRefusedWithItsReason) {
    EXPECT_EQ(saveTableFile(dir, counting()), EISDIR);
}

} // namespace
