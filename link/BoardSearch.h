#pragma once

#include "link/ECommError.h"
#include "link/OperationView.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

struct BoardSearchResult {
    // The port whose board answered.
    std::optional<std::size_t> portIndex;
    // The last port refused for want of permission among those a search port
    // by port would have tried: the ones before the answering port, or all.
    std::optional<ECommError> refused;
};

// The start-up search over every listed port at once: each port that opens
// gets the probe, then one wait serves them all, each port with the probe's
// time-out per byte. The port chosen is the first in list order whose board
// answered, the one a search port by port would choose; the wait ends as
// soon as that is certain, and the other ports are closed.
class BoardSearch {
public:
    BoardSearch(OperationView& view, LinkTiming timing, LinkWait wait);

    // `port` must be closed; it carries on with the chosen port's open line.
    BoardSearchResult run(TCommPort& port, std::span<const std::string> portNames);

private:
    struct ProbeLine;

    void sendProbe(ProbeLine& line, const std::string& portName) const;
    void waitForReplies(std::span<ProbeLine> lines) const;
    void takeReply(ProbeLine& line) const;

    OperationView& view_;
    LinkTiming timing_;
    LinkWait wait_;
};
