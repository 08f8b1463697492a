#include "model/TableSave.h"

#include "../support/FileSizeLimit.h"
#include "../support/OrdinaryUser.h"
#include "TableFileFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <string>
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

// The rename would go around the file's own protection: its owner is told,
// as an editor or cp tells them, and the file stays as it was.
TEST_F(TableSaveTest, AFileItsOwnerMadeReadOnlyIsRefused) {
    const std::vector<std::uint8_t> before(300, 0x11);
    writeFile(dir / "a.tbl", before);
    ::chmod((dir / "a.tbl").c_str(), 0444);
    OrdinaryUser::give(dir);
    OrdinaryUser::give(dir / "a.tbl");
    int error = 0;
    {
        const OrdinaryUser owner;
        error = saveTableFile(dir / "a.tbl", counting());
    }
    EXPECT_EQ(error, kTableReadOnly);
    EXPECT_EQ(readFile(dir / "a.tbl"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(TableSaveTest, RootWritesAReadOnlyFileAsCpDoes) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may write a file that is read-only to it";
    }
    writeFile(dir / "a.tbl", std::vector<std::uint8_t>(256, 0x11));
    ::chmod((dir / "a.tbl").c_str(), 0444);
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_TRUE(holdsImage(readFile(dir / "a.tbl")));
    EXPECT_EQ(statOf(dir / "a.tbl").st_mode & 07777, 0444U);
}

// The tail of a long file is copied extent by extent: a gigabyte of hole
// stays a hole, and the bytes beyond it arrive.
TEST_F(TableSaveTest, TheTailKeepsItsHoles) {
    const fs::path file = dir / "sparse.tbl";
    writeFile(file, std::vector<std::uint8_t>(300, 0x11));
    constexpr off_t kFar = off_t{1} << 30;
    const std::string end = "end";
    {
        const int fd = ::open(file.c_str(), O_WRONLY);
        ASSERT_EQ(::pwrite(fd, end.data(), end.size(), kFar), 3);
        ::close(fd);
    }
    const blkcnt_t blocksBefore = statOf(file).st_blocks;
    if (blocksBefore * 512 > (1 << 20)) {
        GTEST_SKIP() << "the temporary folder's file system keeps no holes";
    }
    ASSERT_EQ(saveTableFile(file, counting()), 0);
    const struct stat after = statOf(file);
    EXPECT_EQ(after.st_size, kFar + 3);
    EXPECT_LE(after.st_blocks * 512, 1 << 20);
    const int fd = ::open(file.c_str(), O_RDONLY);
    std::array<std::uint8_t, 300> head{};
    std::array<char, 3> far{};
    std::array<std::uint8_t, 1> middle{0xFF};
    ASSERT_EQ(::pread(fd, head.data(), head.size(), 0), 300);
    ASSERT_EQ(::pread(fd, far.data(), far.size(), kFar), 3);
    ASSERT_EQ(::pread(fd, middle.data(), middle.size(), kFar / 2), 1);
    ::close(fd);
    EXPECT_TRUE(holdsImage({head.begin(), head.end()}));
    EXPECT_EQ(std::vector<std::uint8_t>(head.begin() + 256, head.end()),
              std::vector<std::uint8_t>(44, 0x11));
    EXPECT_EQ(std::string(far.begin(), far.end()), end);
    EXPECT_EQ(middle[0], 0);
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
