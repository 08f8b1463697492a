#include "link/Operations.h"

#include "link/LineSettings.h"
#include "link/OperationMessages.h"
#include "model/ByteMap.h"
#include "model/WritePreparation.h"

namespace {

constexpr int kImageEnd = static_cast<int>(kImageSize);
constexpr std::size_t kReadBlock = 128;
constexpr std::size_t kStoreBlock = 8;
constexpr int kStorePauseMs = 10;

} // namespace

PagerOperations::PagerOperations(TCommPort& port, OperationView& view, ConfigImage& image,
                                 VersionTag tag, LinkTiming timing, LinkWait wait)
    : port_(port), view_(view), image_(image), tag_(tag), protocol_(port, view, timing, wait),
      search_(view, timing, wait) {}

void PagerOperations::reopen(const std::string& portName) {
    port_.reopen(kBaud, portName, kFrameMode8N1);
    port_.purgeQueues();
}

// The window closes the port and opens it again for each step; a held port
// stays open and only has its queues purged, unless its line has gone.
void PagerOperations::openFresh(const std::string& portName) {
    if (holdPort_ && port_.isOpen() && port_.portName() == portName && !port_.lineGone()) {
        port_.purgeQueues();
        return;
    }
    port_.closeDevice();
    reopen(portName);
}

// After a failure the port only has to end up closed; should even that fail,
// the next open reports it.
void PagerOperations::closeQuietly() {
    try {
        port_.closeDevice();
    } catch (const ECommError&) {
        return;
    }
}

void PagerOperations::fail(OperationOutcome& outcome, OperationResult result) const {
    outcome.result = result;
    outcome.failedStep = step_;
}

OperationOutcome PagerOperations::testBoard(const std::string& portName) {
    OperationOutcome outcome{OperationKind::BoardTest};
    step_ = OperationStep::BoardTest;
    view_.setProgressRange(0, 0);
    view_.setProgressPosition(0);
    try {
        openFresh(portName);
    } catch (const ECommError& error) {
        closeQuietly();
        fail(outcome, OperationResult::OpenFailed);
        outcome.error = error;
        return outcome;
    }
    try {
        if (protocol_.probeBoard()) {
            return outcome;
        }
        // The port stays open; the caller closes it.
    } catch (const ECommError& error) {
        closeQuietly();
        outcome.error = error;
    }
    fail(outcome, OperationResult::BoardSilent);
    return outcome;
}

OperationOutcome PagerOperations::findBoard(std::span<const std::string> portNames) {
    OperationOutcome outcome{OperationKind::Search};
    view_.setProgressRange(0, 0);
    view_.setProgressPosition(0);
    closeQuietly();
    const BoardSearchResult found = search_.run(port_, portNames);
    outcome.error = found.refused;
    if (found.portIndex) {
        outcome.portIndex = found.portIndex;
        return outcome;
    }
    step_ = OperationStep::BoardTest;
    fail(outcome, OperationResult::BoardSilent);
    return outcome;
}

std::optional<BoardVersion> PagerOperations::boardVersion(const std::string& portName) {
    view_.setProgressRange(0, 0);
    view_.setProgressPosition(0);
    try {
        openFresh(portName);
        return protocol_.queryBoardVersion();
    } catch (const ECommError&) {
        closeQuietly();
        return std::nullopt;
    }
}

OperationOutcome PagerOperations::readPager(const std::string& portName) {
    return run(OperationKind::Read, portName, &PagerOperations::readTransfer);
}

OperationOutcome PagerOperations::writePager(const std::string& portName) {
    return run(OperationKind::Write, portName, &PagerOperations::writeTransfer);
}

OperationOutcome PagerOperations::verifyPager(const std::string& portName) {
    return run(OperationKind::Verify, portName, &PagerOperations::verifyTransfer);
}

OperationOutcome PagerOperations::run(OperationKind kind, const std::string& portName,
                                      Transfer transfer) {
    OperationOutcome outcome{kind};
    if (!start(outcome, portName)) {
        return outcome;
    }
    view_.transferStarted();
    try {
        (this->*transfer)(outcome);
    } catch (const ECommError& error) {
        fail(outcome, OperationResult::PortFailed);
        outcome.error = error;
    }
    view_.showOutcome(outcome);
    finish(outcome);
    return outcome;
}

bool PagerOperations::start(OperationOutcome& outcome, const std::string& portName) {
    view_.setStatusText(StatusPanel::Status, kTesting);
    if (outcome.operation == OperationKind::Write) {
        view_.setStatusText(StatusPanel::FileName, "");
    }
    view_.operationStarted();
    const OperationOutcome test = testBoard(portName);
    if (!test.succeeded()) {
        if (!holdPort_) {
            closeQuietly();
        }
        // Without permission the board was never asked: say what stops it.
        const bool refused = test.error && isPermissionFailure(*test.error);
        fail(outcome, refused ? OperationResult::OpenFailed : OperationResult::BoardSilent);
        outcome.error = test.error;
        view_.showOutcome(outcome);
        view_.setStatusText(StatusPanel::Status, kReady);
        view_.operationEnded(outcome);
        return false;
    }
    try {
        openFresh(portName);
    } catch (const ECommError& error) {
        step_ = OperationStep::Reopen;
        fail(outcome, OperationResult::OpenFailed);
        outcome.error = error;
        view_.showOutcome(outcome);
        closeQuietly();
        view_.operationEnded(outcome);
        return false;
    }
    return true;
}

void PagerOperations::finish(OperationOutcome& outcome) {
    view_.setProgressPosition(0);
    try {
        if (!holdPort_) {
            port_.closeDevice();
        }
    } catch (const ECommError& error) {
        OperationOutcome closing = outcome;
        step_ = OperationStep::Close;
        fail(closing, OperationResult::PortFailed);
        closing.error = error;
        view_.showOutcome(closing);
        // An earlier failure stays the one the operation ends with.
        if (outcome.succeeded()) {
            outcome = closing;
        }
    }
    view_.setStatusText(StatusPanel::Status,
                        outcome.operation == OperationKind::Write ? kReadyAfterWrite : kReady);
    view_.operationEnded(outcome);
}

void PagerOperations::readTransfer(OperationOutcome& outcome) {
    view_.setStatusText(StatusPanel::Status, kReading);
    view_.setProgressRange(0, kImageEnd);

    step_ = OperationStep::VersionQuery;
    protocol_.clearModelName();
    outcome.firmware = protocol_.queryFirmwareVersion(image_);
    step_ = OperationStep::ModelQuery;
    const ModelQuery model = protocol_.queryModel();
    if (model == ModelQuery::OtherModel) {
        outcome.modelName = protocol_.modelName();
        fail(outcome, OperationResult::OtherModel);
        return;
    }
    // Firmware before 1.83 with no tag kept no checksum.
    const bool testChecksum =
        outcome.firmware.value_or(FirmwareVersion{}).hundredths() >= kFirmwareChecksumAndTag ||
        model == ModelQuery::Px520;

    step_ = OperationStep::ReadBlocks;
    ConfigImage buffer{};
    port_.purgeQueues();
    std::size_t done = 0;
    for (int address = 0; address < kImageEnd; address += static_cast<int>(kReadBlock)) {
        if (!protocol_.readBlock(buffer, address, kReadBlock)) {
            fail(outcome, OperationResult::ReadError);
            return;
        }
        done += kReadBlock;
        view_.setProgressPosition(view_.progressPosition() + static_cast<int>(done));
    }
    step_ = OperationStep::ChecksumTest;
    if (testChecksum && imageChecksum(buffer) != storedChecksum(buffer)) {
        fail(outcome, OperationResult::ChecksumError);
        return;
    }
    image_ = buffer;
}

void PagerOperations::writeTransfer(OperationOutcome& outcome) {
    view_.setProgressRange(0, kImageEnd);
    view_.setStatusText(StatusPanel::Status, kWriting);

    step_ = OperationStep::VersionQuery;
    outcome.firmware = protocol_.queryFirmwareVersion(image_);
    protocol_.clearModelName();
    // Bit 7 of bytes 104/106 and the Reminder rule depend on the version: a
    // pager whose version could not be read is not written.
    if (!outcome.firmware) {
        fail(outcome, OperationResult::WriteError);
        return;
    }
    if (outcome.firmware->hundredths() < kFirmwareChecksumAndTag && image_[field::Reminder] == 0) {
        fail(outcome, OperationResult::ReminderRule);
        return;
    }
    step_ = OperationStep::ModelQuery;
    protocol_.queryModel();
    prepareImageForWrite(image_, *outcome.firmware, tag_);

    step_ = OperationStep::StoreBlocks;
    port_.purgeQueues();
    for (int address = 0; address < kImageEnd; address += static_cast<int>(kStoreBlock)) {
        if (!protocol_.writeBlock(image_, address, kStoreBlock)) {
            fail(outcome, OperationResult::WriteError);
            return;
        }
        view_.setProgressPosition(view_.progressPosition() + static_cast<int>(kStoreBlock));
        protocol_.waitMs(kStorePauseMs);
    }
    view_.setProgressPosition(0);
    view_.setStatusText(StatusPanel::Status, kVerifying);
    verifyBlocks(outcome, false);
}

void PagerOperations::verifyTransfer(OperationOutcome& outcome) {
    view_.setStatusText(StatusPanel::Status, kVerifying);
    view_.setProgressRange(0, kImageEnd);
    step_ = OperationStep::VerifyBlocks;
    port_.purgeQueues();
    verifyBlocks(outcome, true);
}

// Compares the pager with the image in two blocks; Verify advances the bar by
// the bytes compared so far, Write's verify phase by each block.
void PagerOperations::verifyBlocks(OperationOutcome& outcome, bool advanceBySoFar) {
    step_ = OperationStep::VerifyBlocks;
    std::size_t done = 0;
    for (int address = 0; address < kImageEnd; address += static_cast<int>(kReadBlock)) {
        if (!protocol_.verifyBlock(image_, address, kReadBlock, &outcome.mismatch)) {
            fail(outcome, OperationResult::VerifyError);
            return;
        }
        done += kReadBlock;
        const std::size_t step = advanceBySoFar ? done : kReadBlock;
        view_.setProgressPosition(view_.progressPosition() + static_cast<int>(step));
    }
}
