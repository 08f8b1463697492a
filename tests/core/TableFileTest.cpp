#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"

#include "../support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <unistd.h>
#include <iterator>
#include <numeric>
#include <thread>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class TableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("px520-table-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    void writeFile(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> readFile(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static ConfigImage counting() {
        ConfigImage image;
        std::iota(image.begin(), image.end(), std::uint8_t{0});
        return image;
    }
    static bool holdsImage(const std::vector<std::uint8_t>& bytes) {
        const ConfigImage image = counting();
        return bytes.size() >= image.size() && std::equal(image.begin(), image.end(), bytes.begin());
    }
    static struct stat statOf(const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st;
    }

    fs::path dir;
};

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
    EXPECT_EQ(folder.systemError, EISDIR);
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

// What stands at the path saved to, and what the save must leave there.

TEST_F(TableFileTest, ThroughALinkTheFileItNamesIsWrittenAndTheLinkStays) {
    writeFile(dir / "real.tbl", std::vector<std::uint8_t>(256, 0x11));
    fs::create_symlink("real.tbl", dir / "link.tbl");
    ASSERT_EQ(saveTableFile(dir / "link.tbl", counting()), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.tbl"));
    EXPECT_TRUE(holdsImage(readFile(dir / "real.tbl")));
}

TEST_F(TableFileTest, ALinkToNoFileYetCreatesTheFileItNames) {
    fs::create_symlink("new.tbl", dir / "link.tbl");
    ASSERT_EQ(saveTableFile(dir / "link.tbl", counting()), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.tbl"));
    EXPECT_TRUE(holdsImage(readFile(dir / "new.tbl")));
}

TEST_F(TableFileTest, EveryHardLinkSeesTheNewBytes) {
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    fs::create_hard_link(dir / "a.tbl", dir / "b.tbl");
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_TRUE(holdsImage(readFile(dir / "b.tbl")));
    EXPECT_EQ(fs::hard_link_count(dir / "a.tbl"), 2U);
}

// A FIFO stands for any node that is not a file (/dev/stdout, a device).
TEST_F(TableFileTest, AFifoIsWrittenToNotReplaced) {
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::uint8_t> received;
    std::thread reader([&] { received = readFile(fifo); });
    const int error = saveTableFile(fifo, counting());
    reader.join();
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_EQ(received.size(), 256U);
    EXPECT_TRUE(holdsImage(received));
}

TEST_F(TableFileTest, AFolderIsRefusedWithItsReason) {
    EXPECT_EQ(saveTableFile(dir, counting()), EISDIR);
}

TEST_F(TableFileTest, ModeStaysWithoutSetIdBits) {
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    ::chmod((dir / "a.tbl").c_str(), 06640);
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_EQ(statOf(dir / "a.tbl").st_mode & 07777, 0640U);
}

TEST_F(TableFileTest, OwnerStaysWhereTheProcessMayKeepIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another owner";
    }
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    ASSERT_EQ(::chown((dir / "a.tbl").c_str(), 65534, 65534), 0);
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_EQ(statOf(dir / "a.tbl").st_uid, 65534U);
    EXPECT_EQ(statOf(dir / "a.tbl").st_gid, 65534U);
}

TEST_F(TableFileTest, AUmaskWithoutOwnerWriteStillSaves) {
    const mode_t previous = ::umask(0277);
    const int error = saveTableFile(dir / "a.tbl", counting());
    ::umask(previous);
    ASSERT_EQ(error, 0);
    EXPECT_TRUE(holdsImage(readFile(dir / "a.tbl")));
    EXPECT_EQ(statOf(dir / "a.tbl").st_mode & 0777, 0400U);
}

// A disk that fills mid-save (a file size limit here, which binds root too)
// leaves the old file whole and no temporary file beside it.
TEST_F(TableFileTest, AFailedSaveLeavesTheOldFileWhole) {
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(300, 0x11));
    int error = 0;
    {
        const FileSizeLimit full(100);
        error = saveTableFile(dir / "a.tbl", counting());
    }
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(readFile(dir / "a.tbl"), std::vector<std::uint8_t>(300, 0x11));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

} // namespace
