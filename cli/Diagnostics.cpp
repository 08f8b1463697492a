#include "cli/Diagnostics.h"

#include "link/CommErrorText.h"
#include "link/SystemErrorText.h"
#include "model/TextEncoding.h"

#include <cstring>
#include <iostream>

std::string prefixed(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        out += kProgramName;
        out += ": ";
        // A control character of a refused value is shown, not sent to the terminal.
        out += escaped(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return out;
        }
        out += '\n';
        start = end + 1;
    }
}

void report(std::string_view text) {
    std::cerr << prefixed(text) << '\n' << std::flush;
}

std::string withSystemReason(std::string_view what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

std::string portOpenFailure(const ECommError& error, std::string_view portName) {
    const std::string device = escaped(error.Device.empty() ? portName : error.Device);
    std::string text = error.SystemError != 0
                           ? device + ": " + systemErrorText(error.SystemError)
                           : device + ": cannot be opened";
    if (const std::string advice = openFailureAdvice(error); !advice.empty()) {
        text += "\n" + advice;
    }
    return text;
}
