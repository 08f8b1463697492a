#include "model/TableSave.h"

#include "../support/FileSizeLimit.h"
#include "TableFileFixture.h"

#include <sys/stat.h>

#include <cerrno>
#include <thread>

// What stands at the path saved to, and what the save must leave there: links,
// nodes that are not files, the mode and owner, the umask and a full disk.

namespace fs = std::filesystem;

namespace {

using TableSaveTest = TableFileTest;

struct stat statOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st;
}

TEST_F(TableSaveTest, ThroughALinkTheFileItNamesIsWrittenAndTheLinkStays) {
    writeFile(dir / "real.tbl", std::vector<std::uint8_t>(256, 0x11));
    fs::create_symlink("real.tbl", dir / "link.tbl");
    ASSERT_EQ(saveTableFile(dir / "link.tbl", counting()), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.tbl"));
    EXPECT_TRUE(holdsImage(readFile(dir / "real.tbl")));
}

TEST_F(TableSaveTest, ALinkToNoFileYetCreatesTheFileItNames) {
    fs::create_symlink("new.tbl", dir / "link.tbl");
    ASSERT_EQ(saveTableFile(dir / "link.tbl", counting()), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.tbl"));
    EXPECT_TRUE(holdsImage(readFile(dir / "new.tbl")));
}

TEST_F(TableSaveTest, EveryHardLinkSeesTheNewBytes) {
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    fs::create_hard_link(dir / "a.tbl", dir / "b.tbl");
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_TRUE(holdsImage(readFile(dir / "b.tbl")));
    EXPECT_EQ(fs::hard_link_count(dir / "a.tbl"), 2U);
}

// A FIFO stands for any node that is not a file (/dev/stdout, a device).
TEST_F(TableSaveTest, AFifoIsWrittenToNotReplaced) {
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

TEST_F(TableSaveTest, ModeStaysWithoutSetIdBits) {
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    ::chmod((dir / "a.tbl").c_str(), 06640);
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_EQ(statOf(dir / "a.tbl").st_mode & 07777, 0640U);
}

TEST_F(TableSaveTest, OwnerStaysWhereTheProcessMayKeepIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another owner";
    }
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    ASSERT_EQ(::chown((dir / "a.tbl").c_str(), 65534, 65534), 0);
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_EQ(statOf(dir / "a.tbl").st_uid, 65534U);
    EXPECT_EQ(statOf(dir / "a.tbl").st_gid, 65534U);
}

TEST_F(TableSaveTest, AUmaskWithoutOwnerWriteStillSaves) {
    const mode_t previous = ::umask(0277);
    const int error = saveTableFile(dir / "a.tbl", counting());
    ::umask(previous);
    ASSERT_EQ(error, 0);
    EXPECT_TRUE(holdsImage(readFile(dir / "a.tbl")));
    EXPECT_EQ(statOf(dir / "a.tbl").st_mode & 0777, 0400U);
}

// A disk that fills mid-save (a file size limit here, which binds root too)
// leaves the old file whole and no temporary file beside it.
TEST_F(TableSaveTest, AFailedSaveLeavesTheOldFileWhole) {
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
