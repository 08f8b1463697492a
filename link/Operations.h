#pragma once

#include "link/BoardSearch.h"
#include "link/OperationOutcome.h"
#include "link/OperationView.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"
#include "model/ConfigImage.h"
#include "model/VersionTag.h"

#include <optional>
#include <span>
#include <string>

// The Pager menu's Read, Write and Verify, the board tests and the board
// version, as sequences over the port, the working image and a view. Each
// operation opens the named port and closes it at its end; a port failure in
// the middle of a transfer ends the operation the normal way. Each returns
// its outcome; Read, Write and Verify also show it on the view as soon as it
// is known.
class PagerOperations {
public:
    PagerOperations(TCommPort& port, OperationView& view, ConfigImage& image,
                    VersionTag tag = makeVersionTag(kWindowCaption), LinkTiming timing = {},
                    LinkWait wait = {});

    BoardProtocol& protocol() { return protocol_; }

    // Opens the port and probes the board; the port stays open.
    // A held port is opened once and stays open from one step and one
    // operation to the next, so no other program can take it in between;
    // a port failure still closes it, and the next step opens it again.
    void holdPort(bool hold) { holdPort_ = hold; }

    OperationOutcome testBoard(const std::string& portName);
    // Probes every listed port at once; the first in list order that answers
    // stays open.
    OperationOutcome findBoard(std::span<const std::string> portNames);

    OperationOutcome readPager(const std::string& portName);
    OperationOutcome writePager(const std::string& portName);
    OperationOutcome verifyPager(const std::string& portName);

    // The board's own version; the port stays open.
    std::optional<BoardVersion> boardVersion(const std::string& portName);

private:
    using Transfer = void (PagerOperations::*)(OperationOutcome&);

    // The common start, the transfer, then the common end.
    OperationOutcome run(OperationKind kind, const std::string& portName, Transfer transfer);
    bool start(OperationOutcome& outcome, const std::string& portName);
    void readTransfer(OperationOutcome& outcome);
    void writeTransfer(OperationOutcome& outcome);
    void verifyTransfer(OperationOutcome& outcome);
    void verifyBlocks(OperationOutcome& outcome, bool advanceBySoFar);
    void finish(OperationOutcome& outcome);
    void openFresh(const std::string& portName);
    // Ends the transfer with the result at the step it is in.
    void fail(OperationOutcome& outcome, OperationResult result) const;
    void reopen(const std::string& portName);
    void closeQuietly();

    TCommPort& port_;
    OperationView& view_;
    ConfigImage& image_;
    VersionTag tag_;
    BoardProtocol protocol_;
    BoardSearch search_;
    // Where the running transfer is, for a port failure to name.
    OperationStep step_ = OperationStep::BoardTest;
    bool holdPort_ = false;
};
