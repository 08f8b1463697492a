#include "link/BoardSearch.h"

#include "link/LineSettings.h"
#include "link/OperationMessages.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

enum class ProbeState { Waiting, Answered, Failed };

} // namespace

// One listed port while the search runs.
struct BoardSearch::ProbeLine {
    TCommPort port;
    std::array<std::uint8_t, kProbeReplySize> reply{};
    std::size_t received = 0;
    // When the silence before the next byte has lasted the time-out.
    Clock::time_point deadline{};
    ProbeState state = ProbeState::Failed;
    std::optional<ECommError> refused;

    void fail(const ECommError& error) {
        if (isPermissionFailure(error)) {
            refused = error;
        }
        drop();
    }
    void drop() {
        state = ProbeState::Failed;
        try {
            port.closeDevice();
        } catch (const ECommError&) {
            // The descriptor is released either way; the port just has no board.
        }
    }
};

BoardSearch::BoardSearch(OperationView& view, LinkTiming timing, LinkWait wait)
    : view_(view), timing_(timing), wait_(wait ? std::move(wait) : [] {}) {}

BoardSearchResult BoardSearch::run(TCommPort& port, std::span<const std::string> portNames) {
    std::vector<ProbeLine> lines(portNames.size());
    view_.repaintProgress();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        sendProbe(lines[i], portNames[i]);
    }
    BoardSearchResult result;
    for (;;) {
        // Ports behind the first undecided one cannot change the choice.
        const auto first = std::ranges::find_if(
            lines, [](const ProbeLine& line) { return line.state != ProbeState::Failed; });
        if (first == lines.end() || first->state == ProbeState::Answered) {
            for (auto line = lines.begin(); line != first; ++line) {
                if (line->refused) {
                    result.refused = line->refused;
                }
            }
            if (first != lines.end()) {
                result.portIndex = static_cast<std::size_t>(first - lines.begin());
                port.takeOver(first->port);
            }
            return result;
        }
        wait_();
        waitForReplies(lines);
    }
}

void BoardSearch::sendProbe(ProbeLine& line, const std::string& portName) const {
    FrameBuffer frame{};
    const std::size_t size = buildProbeFrame(frame);
    try {
        line.port.reopen(kBaud, portName, kFrameMode8N1);
        line.port.purgeQueues();
        line.port.sendBytes(std::span(frame).first(size));
        line.state = ProbeState::Waiting;
        line.deadline = Clock::now() + timing_.pollInterval * timing_.pollCount;
    } catch (const ECommError& error) {
        // A port that cannot be opened or fails is a port without a board.
        line.fail(error);
    }
}

// One slice of at most the poll interval, over every port still waiting.
void BoardSearch::waitForReplies(std::span<ProbeLine> lines) const {
    std::vector<TCommPort*> ports;
    std::vector<ProbeLine*> waiting;
    auto until = Clock::now() + timing_.pollInterval;
    for (ProbeLine& line : lines) {
        if (line.state == ProbeState::Waiting) {
            ports.push_back(&line.port);
            waiting.push_back(&line);
            until = std::min(until, line.deadline);
        }
    }
    TCommPort::waitForAny(ports, until - Clock::now());
    for (ProbeLine* line : waiting) {
        takeReply(*line);
    }
}

void BoardSearch::takeReply(ProbeLine& line) const {
    try {
        bool took = false;
        while (line.received < line.reply.size() && line.port.bytesWaiting() > 0) {
            line.reply[line.received++] = line.port.readByte();
            took = true;
        }
        const auto now = Clock::now();
        if (line.received == line.reply.size()) {
            if (probeAnswered(line.reply)) {
                line.state = ProbeState::Answered;
            } else {
                line.drop();
            }
        } else if (took) {
            line.deadline = now + timing_.pollInterval * timing_.pollCount;
        } else if (line.port.lineGone() || now >= line.deadline) {
            // A line that hung up sends nothing more.
            line.drop();
        }
    } catch (const ECommError& error) {
        line.fail(error);
    }
}
