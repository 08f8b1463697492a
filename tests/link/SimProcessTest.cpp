#include "link/Operations.h"
#include "model/ByteMap.h"
#include "model/TableFile.h"
#include "tests/link/RecordingView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Messages = std::vector<RecordingView::Message>;

// px520-sim run as a user runs it, in a process of its own.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> arguments) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        arguments.insert(arguments.begin(), PX520_SIM_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        const int spawned =
            ::posix_spawn(&pid_, PX520_SIM_PROGRAM, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        output_ = out[0];
        if (spawned != 0) {
            ::close(output_);
            throw std::runtime_error("cannot start px520-sim");
        }
    }
    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(output_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line the program prints, or empty after five seconds.
    std::string firstLine() const {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd entry{output_, POLLIN, 0};
            if (::poll(&entry, 1, 100) <= 0) {
                continue;
            }
            if (::read(output_, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

    // Asks the program to stop and returns its exit status.
    int terminate() {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(std::exchange(pid_, -1), &status, 0);
        return status;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

TEST(SimProcessTest, ReadWriteVerifyAgainstTheProgram) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("px520-sim-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto saved = dir / "pager.tbl";
    const auto link = dir / "ttyPX520";

    SimProcess sim({"--firmware", "1.86", "--save", saved.string(), "--link", link.string()});
    const std::string slave = sim.firstLine();
    ASSERT_TRUE(slave.starts_with("/dev/pts/")) << slave;
    EXPECT_EQ(std::filesystem::read_symlink(link), slave);

    TCommPort port;
    RecordingView view;
    const std::string portName = link.string();
    ConfigImage image{};
    PagerOperations operations{port, view, image};

    EXPECT_TRUE(operations.readPager(portName).succeeded());
    ASSERT_EQ(view.messages, (Messages{{ViewMessage::Information, "Read Success !"}}));
    EXPECT_EQ(view.versionText, "1.86");

    image[field::RSSI] = 77;
    EXPECT_TRUE(operations.writePager(portName).succeeded());
    EXPECT_TRUE(operations.verifyPager(portName).succeeded());
    EXPECT_EQ(view.messages, (Messages{{ViewMessage::Information, "Read Success !"},
                                       {ViewMessage::Information, "Write Sucess !"},
                                       {ViewMessage::Information, "Verify Sucess !"}}));

    const int status = sim.terminate();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ConfigImage stored{};
    EXPECT_EQ(loadTable(saved, stored).status, TableStatus::Loaded);
    EXPECT_EQ(stored, image);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    std::filesystem::remove_all(dir);
}

} // namespace
