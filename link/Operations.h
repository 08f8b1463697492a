#pragma once

#include "link/OperationView.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"
#include "model/ConfigImage.h"
#include "model/VersionTag.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

// The Pager menu's Read, Write and Verify, the board tests and the board
// version, as sequences over the port, the working image and a view. Each
// operation opens the port and closes it at its end; a port failure in the
// middle of a transfer is reported and ends the operation the normal way.
class PagerOperations {
public:
    PagerOperations(TCommPort& port, OperationView& view, ConfigImage& image,
                    VersionTag tag = makeVersionTag(kWindowCaption), LinkTiming timing = {},
                    LinkWait wait = {});

    BoardProtocol& protocol() { return protocol_; }

    // Opens the selected port and probes the board; the port stays open.
    bool testBoard();
    // Probes each listed port in turn; the index of the first that answers,
    // whose port stays open.
    std::optional<std::size_t> findBoard(std::span<const std::string> portNames);
    // The last port the latest search could not open for want of permission:
    // the likeliest reason why no board answered.
    const std::optional<ECommError>& searchPermissionRefusal() const {
        return searchPermissionRefusal_;
    }

    void readPager();
    void writePager();
    void verifyPager();

    // The board's own version, also put into the view; the port stays open.
    std::optional<BoardVersion> boardVersion();

private:
    enum class Kind { Read, Write, Verify };

    // The common start, the transfer, then the common end.
    void run(Kind kind, void (PagerOperations::*transfer)());
    bool start(Kind kind);
    void readTransfer();
    void writeTransfer();
    void verifyTransfer();
    bool verifyBlocks(bool advanceBySoFar);
    void finish(Kind kind);
    void reopenSelected();
    void closeQuietly();

    TCommPort& port_;
    OperationView& view_;
    ConfigImage& image_;
    VersionTag tag_;
    BoardProtocol protocol_;
    // Why the last board test could not open the port, when that was why.
    std::optional<ECommError> testOpenFailure_;
    std::optional<ECommError> searchPermissionRefusal_;
};
