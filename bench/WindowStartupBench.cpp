// Launches px520 several times, each in an empty folder so no default table
// is read, and prints how long each launch took until the main window had
// painted its first frame, with the median. A Qt generic plugin loaded into
// px520 reports that moment and ends the run; px520 itself is unchanged.

#include "bench/StartupProbeLine.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kDefaultRuns = 9;
constexpr int kShownTimeoutMs = 20'000;
constexpr int kExitTimeoutMs = 5'000;
constexpr std::string_view kDefaultPlatform = "offscreen";

struct Options {
    int runs = kDefaultRuns;
    std::filesystem::path program = PX520_PROGRAM;
};

struct Launch {
    double appReadyMs = 0;
    double shownMs = 0;
};

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }
    int get() const { return fd; }
    void reset() {
        if (fd >= 0) {
            ::close(fd);
        }
        fd = -1;
    }

private:
    int fd;
};

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "px520-startup-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder: " +
                                     std::string(std::strerror(errno)));
        }
        path = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    const std::filesystem::path& get() const { return path; }

private:
    std::filesystem::path path;
};

// A launched px520 that is killed and reaped if it outlives the measurement.
class Child {
public:
    explicit Child(pid_t pid) : pid(pid) {}
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    // The wait status when it ended by itself within the time given.
    std::optional<int> waitForExit(int timeoutMs) {
        for (int waited = 0; waited <= timeoutMs; waited += 10) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return status;
            }
            ::usleep(10'000);
        }
        return std::nullopt;
    }

private:
    pid_t pid;
};

double millisecondsSince(std::int64_t start, std::int64_t end) {
    return static_cast<double>(end - start) / 1e6;
}

std::vector<std::string> childEnvironment() {
    std::vector<std::string> env;
    std::string pluginPath = PX520_PROBE_PLUGIN_ROOT;
    bool platformSet = false;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable = *entry;
        if (variable.starts_with("QT_PLUGIN_PATH=")) {
            pluginPath += ':';
            pluginPath += variable.substr(variable.find('=') + 1);
        } else if (!variable.starts_with("QT_QPA_GENERIC_PLUGINS=")) {
            platformSet = platformSet || variable.starts_with("QT_QPA_PLATFORM=");
            env.emplace_back(variable);
        }
    }
    if (!platformSet) {
        env.push_back("QT_QPA_PLATFORM=" + std::string(kDefaultPlatform));
    }
    env.push_back("QT_PLUGIN_PATH=" + pluginPath);
    env.push_back("QT_QPA_GENERIC_PLUGINS=" + std::string(startup_probe::kPluginKey));
    return env;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<std::int64_t> valueAfter(std::string_view output, std::string_view tag) {
    const std::size_t at = output.find(tag);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = output.substr(at + tag.size());
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [next, error] = std::from_chars(rest.data(), rest.data() + end, value);
    if (error != std::errc{} || next != rest.data() + end) {
        return std::nullopt;
    }
    return value;
}

Launch launchOnce(const Options& options, const std::vector<std::string>& env) {
    const TempFolder folder;
    const std::filesystem::path errorLog = folder.get() / "stderr.txt";

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    const UniqueFd errorFd(::open(errorLog.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (errorFd.get() < 0) {
        throw std::runtime_error("cannot create " + errorLog.string());
    }

    // Everything the child needs is prepared before fork, so the child only
    // makes async-signal-safe calls.
    const std::string program = options.program.string();
    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
    std::vector<char*> envp;
    for (const std::string& variable : env) {
        envp.push_back(const_cast<char*>(variable.c_str()));
    }
    envp.push_back(nullptr);
    const std::string folderPath = folder.get().string();

    const std::int64_t start = startup_probe::monotonicNanoseconds();
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork: " + std::string(std::strerror(errno)));
    }
    if (pid == 0) {
        if (::chdir(folderPath.c_str()) != 0 || ::dup2(writeEnd.get(), STDOUT_FILENO) < 0 ||
            ::dup2(errorFd.get(), STDERR_FILENO) < 0) {
            ::_exit(127);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    Child child(pid);
    writeEnd.reset();

    std::string output;
    std::optional<std::int64_t> shown;
    for (;;) {
        const std::int64_t elapsedMs = (startup_probe::monotonicNanoseconds() - start) / 1'000'000;
        pollfd ready{readEnd.get(), POLLIN, 0};
        if (elapsedMs >= kShownTimeoutMs ||
            ::poll(&ready, 1, static_cast<int>(kShownTimeoutMs - elapsedMs)) <= 0) {
            throw std::runtime_error("no window within " + std::to_string(kShownTimeoutMs) +
                                     " ms\n" + readFile(errorLog));
        }
        char buffer[512];
        const ssize_t got = ::read(readEnd.get(), buffer, sizeof buffer);
        if (got <= 0) {
            throw std::runtime_error("px520 ended before its window was shown\n" +
                                     readFile(errorLog));
        }
        output.append(buffer, static_cast<std::size_t>(got));
        shown = valueAfter(output, startup_probe::kShownTag);
        if (shown) {
            break;
        }
    }
    const std::optional<std::int64_t> appReady = valueAfter(output, startup_probe::kAppReadyTag);
    if (!appReady) {
        throw std::runtime_error("the start-up probe did not report the application object");
    }
    if (*appReady < start || *shown < *appReady) {
        throw std::runtime_error("the start-up probe's times do not follow the launch");
    }
    // The figure stands either way, but a run that does not end cleanly is
    // worth a look.
    const std::optional<int> status = child.waitForExit(kExitTimeoutMs);
    if (!status) {
        std::fprintf(stderr, "px520 did not end after its window was shown; killed\n");
    } else if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0) {
        std::fprintf(stderr, "px520 ended with wait status %d after its window was shown\n%s",
                     *status, readFile(errorLog).c_str());
    }
    return {millisecondsSince(start, *appReady), millisecondsSince(start, *shown)};
}

double median(std::vector<double> values) {
    std::ranges::sort(values);
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--runs" && i + 1 < args.size()) {
            const std::string_view value = args[++i];
            const auto [next, error] =
                std::from_chars(value.data(), value.data() + value.size(), options.runs);
            if (error != std::errc{} || next != value.data() + value.size() || options.runs < 1) {
                throw std::invalid_argument("--runs needs a whole number of at least 1");
            }
        } else if (args[i] == "--program" && i + 1 < args.size()) {
            options.program = args[++i];
        } else {
            throw std::invalid_argument("usage: window_startup_bench [--runs N] [--program PATH]");
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parseOptions(argc, argv);
        const std::vector<std::string> env = childEnvironment();
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        std::printf("px520 window start-up: %d launches of %s, QT_QPA_PLATFORM=%s, empty working "
                    "folder\n",
                    options.runs, options.program.c_str(),
                    platform != nullptr ? platform : kDefaultPlatform.data());
        std::vector<double> appReady;
        std::vector<double> shown;
        for (int run = 1; run <= options.runs; ++run) {
            const Launch launch = launchOnce(options, env);
            appReady.push_back(launch.appReadyMs);
            shown.push_back(launch.shownMs);
            std::printf(
                "launch %d: window shown after %.1f ms (application object after %.1f ms)\n", run,
                launch.shownMs, launch.appReadyMs);
            std::fflush(stdout);
        }
        std::printf("median: window shown after %.1f ms (application object after %.1f ms)\n",
                    median(shown), median(appReady));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window_startup_bench: %s\n", error.what());
        return 1;
    }
}
