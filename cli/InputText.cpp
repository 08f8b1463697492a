#include "cli/InputText.h"

#include <array>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

#ifdef _WIN32
// Binary, or the C runtime would end the text at a byte 0x1A.
constexpr int kReadFlags = O_RDONLY | O_BINARY;
#else
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC;
#endif

} // namespace

InputText readInputText(const std::string& name, std::size_t limit) {
    InputText input;
    const int fd = name == "-" ? STDIN_FILENO : ::open(name.c_str(), kReadFlags);
    if (fd < 0) {
        input.error = errno;
        return input;
    }
    std::array<char, 65536> chunk{};
    while (true) {
        const auto n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            input.error = errno;
            break;
        }
        if (n == 0) {
            break;
        }
        if (input.text.size() + static_cast<std::size_t>(n) > limit) {
            input.tooLarge = true;
            break;
        }
        input.text.append(chunk.data(), static_cast<std::size_t>(n));
    }
    if (fd != STDIN_FILENO) {
        ::close(fd);
    }
    return input;
}

std::string tooLargeMessage(const std::string& name, std::size_t limit) {
    return name + " is larger than " + std::to_string(limit >> 20) + " MiB, more than a " +
           "configuration needs; nothing was taken.";
}
