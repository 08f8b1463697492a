#include "model/TableSave.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What stands at the path saved to, and what the save must leave there.
class TableSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("px520-save-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static void writeFile(const fs::path& p, std::size_t size, std::uint8_t fill) {
        std::ofstream out(p, std::ios::binary);
        const std::vector<char> bytes(size, static_cast<char>(fill));
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<std::uint8_t> readFile(const fs::path& p) {
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

TEST_F(TableSaveTest, ThroughALinkTheFileItNamesIsWrittenAndTheLinkStays) {
    writeFile(dir / "real.tbl", 256, 0x11);
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
    writeFile(dir / "a.tbl", 256, 0x11);
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

TEST_F(TableSaveTest, AFolderIsRefusedWithItsReason) {
    EXPECT_EQ(saveTableFile(dir, counting()), EISDIR);
}

TEST_F(TableSaveTest, ModeStaysWithoutSetIdBits) {
    writeFile(dir / "a.tbl", 256, 0x11);
    ::chmod((dir / "a.tbl").c_str(), 06640);
    ASSERT_EQ(saveTableFile(dir / "a.tbl", counting()), 0);
    EXPECT_EQ(statOf(dir / "a.tbl").st_mode & 07777, 0640U);
}

TEST_F(TableSaveTest, OwnerStaysWhereTheProcessMayKeepIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another owner";
    }
    writeFile(dir / "a.tbl", 256, 0x11);
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
    writeFile(dir / "a.tbl", 300, 0x11);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int error = saveTableFile(dir / "a.tbl", counting());
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(readFile(dir / "a.tbl"), std::vector<std::uint8_t>(300, 0x11));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

} // namespace
