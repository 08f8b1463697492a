#include "link/Operations.h"

#include "link/CommErrorText.h"
#include "link/LineSettings.h"
#include "link/OperationMessages.h"
#include "model/ByteMap.h"
#include "model/WritePreparation.h"

namespace {

constexpr int kImageEnd = static_cast<int>(kImageSize);
constexpr std::size_t kReadBlock = 128;
constexpr std::size_t kStoreBlock = 8;
constexpr int kStorePauseMs = 10;

std::string_view failureWords(const ECommError& error) {
    switch (error.FailCode) {
    case CommFail::Send:
        return "Sending to the programmer board failed.";
    case CommFail::Read:
    case CommFail::BytesWaiting:
        return "Receiving from the programmer board failed.";
    case CommFail::Purge:
        return "Clearing the serial port's queues failed.";
    case CommFail::NotOpen:
        return "The serial port was closed during the transfer.";
    case CommFail::Close:
        return "Closing the serial port failed.";
    default:
        return "The serial port failed.";
    }
}

} // namespace

PagerOperations::PagerOperations(TCommPort& port, OperationView& view, ConfigImage& image,
                                 VersionTag tag, LinkTiming timing, LinkWait wait)
    : port_(port), view_(view), image_(image), tag_(tag),
      protocol_(port, view, timing, std::move(wait)) {}

void PagerOperations::reopenSelected() {
    port_.reopen(kBaud, view_.selectedPortName(), kFrameMode8N1);
    port_.purgeQueues();
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

bool PagerOperations::testBoard() {
    testOpenFailure_.reset();
    view_.setProgressRange(0, 0);
    view_.setProgressPosition(0);
    try {
        port_.closeDevice();
        try {
            reopenSelected();
        } catch (const ECommError& error) {
            testOpenFailure_ = error;
            throw;
        }
        return protocol_.probeBoard();
    } catch (const ECommError&) {
        closeQuietly();
        return false;
    }
}

std::optional<std::size_t> PagerOperations::findBoard(std::span<const std::string> portNames) {
    view_.setProgressRange(0, 0);
    view_.setProgressPosition(0);
    closeQuietly();
    searchPermissionRefusal_.reset();
    for (std::size_t i = 0; i < portNames.size(); ++i) {
        try {
            port_.reopen(kBaud, portNames[i], kFrameMode8N1);
            port_.purgeQueues();
            if (protocol_.probeBoard()) {
                return i;
            }
        } catch (const ECommError& error) {
            // A port that cannot be opened or fails is a port without a board.
            if (isPermissionFailure(error)) {
                searchPermissionRefusal_ = error;
            }
        }
        closeQuietly();
    }
    return std::nullopt;
}

std::optional<BoardVersion> PagerOperations::boardVersion() {
    view_.setProgressRange(0, 0);
    view_.setProgressPosition(0);
    view_.setBoardVersionText("");
    try {
        port_.closeDevice();
        reopenSelected();
        const auto version = protocol_.queryBoardVersion();
        if (version) {
            view_.setBoardVersionText(version->text());
        }
        return version;
    } catch (const ECommError&) {
        closeQuietly();
        return std::nullopt;
    }
}

bool PagerOperations::start(Kind kind) {
    view_.setStatusText(1, kTesting);
    if (kind == Kind::Write) {
        view_.setStatusText(2, "");
    }
    view_.setWindowEnabled(false);
    if (!testBoard()) {
        closeQuietly();
        // Without permission the board was never asked: say what stops it.
        if (testOpenFailure_ && isPermissionFailure(*testOpenFailure_)) {
            view_.message(ViewMessage::Plain, openErrorText(*testOpenFailure_));
        } else {
            view_.message(ViewMessage::Exclamation,
                          kind == Kind::Read ? kNotRespondingRead : kNotResponding);
        }
        view_.setStatusText(1, kReady);
        view_.setWindowEnabled(true);
        return false;
    }
    try {
        port_.closeDevice();
        reopenSelected();
    } catch (const ECommError& error) {
        view_.message(ViewMessage::Plain, openErrorText(error));
        closeQuietly();
        view_.setWindowEnabled(true);
        return false;
    }
    return true;
}

void PagerOperations::finish(Kind kind) {
    view_.setWindowEnabled(true);
    view_.setProgressPosition(0);
    try {
        port_.closeDevice();
    } catch (const ECommError& error) {
        view_.message(ViewMessage::Stop, withReason(failureWords(error), error));
    }
    if (kind == Kind::Write) {
        view_.setStatusText(1, kReadyAfterWrite);
        view_.setPagerMenu(true, true, true);
    } else {
        view_.setStatusText(1, kReady);
        view_.setPagerMenu(true, !view_.modifyModeSelected(), true);
    }
}

void PagerOperations::readPager() {
    run(Kind::Read, &PagerOperations::readTransfer);
}

void PagerOperations::writePager() {
    run(Kind::Write, &PagerOperations::writeTransfer);
}

void PagerOperations::verifyPager() {
    run(Kind::Verify, &PagerOperations::verifyTransfer);
}

void PagerOperations::run(Kind kind, void (PagerOperations::*transfer)()) {
    if (!start(kind)) {
        return;
    }
    try {
        (this->*transfer)();
    } catch (const ECommError& error) {
        view_.message(ViewMessage::Stop, withReason(failureWords(error), error));
    }
    finish(kind);
}

void PagerOperations::readTransfer() {
    view_.setPagerMenu(false, false, false);
    view_.setStatusText(1, kReading);
    view_.setProgressRange(0, kImageEnd);

    protocol_.clearModelName();
    const FirmwareVersion firmware =
        protocol_.queryFirmwareVersion(image_).value_or(FirmwareVersion{});
    const ModelQuery model = protocol_.queryModel();
    if (model == ModelQuery::OtherModel) {
        view_.message(ViewMessage::Plain, std::string(kOtherModel) + protocol_.modelName() + ".");
        return;
    }
    // Firmware before 1.83 with no tag kept no checksum.
    const bool testChecksum =
        firmware.hundredths() >= kFirmwareChecksumAndTag || model == ModelQuery::Px520;

    ConfigImage buffer{};
    port_.purgeQueues();
    std::size_t done = 0;
    for (int address = 0; address < kImageEnd; address += static_cast<int>(kReadBlock)) {
        if (!protocol_.readBlock(buffer, address, kReadBlock)) {
            view_.message(ViewMessage::Stop, kReadError);
            break;
        }
        done += kReadBlock;
        view_.setProgressPosition(view_.progressPosition() + static_cast<int>(done));
    }
    if (protocol_.linkFailed()) {
        return;
    }
    if (testChecksum && imageChecksum(buffer) != storedChecksum(buffer)) {
        view_.message(ViewMessage::Stop, kChecksumError);
        return;
    }
    image_ = buffer;
    view_.showImage();
    view_.message(ViewMessage::Information, kReadSuccess);
    view_.showVersionField();
}

void PagerOperations::writeTransfer() {
    view_.setPagerMenu(false, false, false);
    view_.setProgressRange(0, kImageEnd);
    view_.setStatusText(1, kWriting);

    const auto firmware = protocol_.queryFirmwareVersion(image_);
    protocol_.clearModelName();
    // Bit 7 of bytes 104/106 and the Reminder rule depend on the version: a
    // pager whose version could not be read is not written.
    if (!firmware) {
        view_.message(ViewMessage::Stop, kWriteError);
        return;
    }
    if (firmware->hundredths() < kFirmwareChecksumAndTag && image_[field::Reminder] == 0) {
        view_.message(ViewMessage::Exclamation, kReminderRule);
        return;
    }
    protocol_.queryModel();
    prepareImageForWrite(image_, *firmware, tag_);

    port_.purgeQueues();
    for (int address = 0; address < kImageEnd; address += static_cast<int>(kStoreBlock)) {
        if (!protocol_.writeBlock(image_, address, kStoreBlock)) {
            view_.message(ViewMessage::Stop, kWriteError);
            break;
        }
        view_.setProgressPosition(view_.progressPosition() + static_cast<int>(kStoreBlock));
        protocol_.waitMs(kStorePauseMs);
    }
    if (protocol_.linkFailed()) {
        return;
    }
    view_.setProgressPosition(0);
    view_.setStatusText(1, kVerifying);
    if (verifyBlocks(false)) {
        view_.message(ViewMessage::Information, kWriteSuccess);
    }
}

void PagerOperations::verifyTransfer() {
    view_.setPagerMenu(false, false, false);
    view_.setStatusText(1, kVerifying);
    view_.setProgressRange(0, kImageEnd);
    port_.purgeQueues();
    if (verifyBlocks(true)) {
        view_.message(ViewMessage::Information, kVerifySuccess);
    }
}

// Compares the pager with the image in two blocks; Verify advances the bar by
// the bytes compared so far, Write's verify phase by each block.
bool PagerOperations::verifyBlocks(bool advanceBySoFar) {
    std::size_t done = 0;
    for (int address = 0; address < kImageEnd; address += static_cast<int>(kReadBlock)) {
        if (!protocol_.verifyBlock(image_, address, kReadBlock)) {
            view_.message(ViewMessage::Stop, kVerifyError);
            return false;
        }
        done += kReadBlock;
        const std::size_t step = advanceBySoFar ? done : kReadBlock;
        view_.setProgressPosition(view_.progressPosition() + static_cast<int>(step));
    }
    return !protocol_.linkFailed();
}
