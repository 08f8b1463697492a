#include "cli/TerminalView.h"

#include "cli/Diagnostics.h"
#include "cli/VerifyReport.h"
#include "link/OperationMessages.h"
#include "model/TextEncoding.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace {

constexpr int kBarWidth = 32;
constexpr int kQuarters = 4;

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

} // namespace

TerminalView::TerminalView(bool drawBar, std::string portName)
    : drawBar_(drawBar), portName_(std::move(portName)) {}

void TerminalView::startOperation(const ConfigImage& image) {
    image_ = &image;
    status_.clear();
    maximum_ = 0;
    position_ = 0;
    shownQuarter_ = 0;
}

void TerminalView::setStatusText(StatusPanel panel, std::string_view text) {
    const std::string status = trimmed(text);
    if (panel != StatusPanel::Status || status == status_) {
        return;
    }
    status_ = status;
    if (drawBar_) {
        draw();
    } else if (!status_.empty()) {
        printLine(status_);
    }
}

void TerminalView::setProgressRange(int /*minimum*/, int maximum) {
    maximum_ = maximum;
    shownQuarter_ = 0;
}

void TerminalView::setProgressPosition(int position) {
    position_ = position;
    if (maximum_ <= 0) {
        return;
    }
    if (drawBar_) {
        draw();
        return;
    }
    // Plain lines at each quarter, so a log shows the transfer moving.
    const int quarter = std::min(position_, maximum_) * kQuarters / maximum_;
    if (quarter > shownQuarter_) {
        shownQuarter_ = quarter;
        printLine(status_ + " " + std::to_string(std::min(position_, maximum_)) + "/" +
                  std::to_string(maximum_));
    } else if (position_ == 0) {
        shownQuarter_ = 0;
    }
}

void TerminalView::repaintProgress() {
    if (drawBar_) {
        draw();
    }
}

void TerminalView::showFirmwareVersion(const FirmwareVersion& version) {
    printLine("Firmware version " + version.text());
}

void TerminalView::showOutcome(const OperationOutcome& outcome) {
    if (const auto message = outcomeMessage(outcome)) {
        printLine(message->text);
    }
    if (outcome.mismatch && image_ != nullptr) {
        printLine(describeMismatch(*image_, *outcome.mismatch));
    }
    if (outcome.result == OperationResult::BoardSilent) {
        printLine("no answer from the programmer board on " + escaped(portName_) + ".");
    }
}

void TerminalView::endLine() {
    if (barShown_) {
        std::cerr << "\r\033[K" << std::flush;
        barShown_ = false;
    }
}

void TerminalView::printLine(std::string_view text) {
    endLine();
    std::cerr << prefixed(text) << '\n' << std::flush;
    if (drawBar_) {
        draw();
    }
}

void TerminalView::draw() {
    std::string line = "\r\033[K" + prefixed(status_);
    if (maximum_ > 0) {
        const int shown = std::clamp(position_, 0, maximum_);
        const int filled = shown * kBarWidth / maximum_;
        line += " [" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] " +
                std::to_string(shown) + "/" + std::to_string(maximum_);
    }
    std::cerr << line << std::flush;
    barShown_ = true;
}
