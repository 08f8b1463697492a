#pragma once

#include "link/ECommError.h"
#include "link/VerifyMismatch.h"
#include "model/FirmwareVersion.h"

#include <cstddef>
#include <optional>
#include <string>

enum class OperationKind { Read, Write, Verify, BoardTest, Search };

// How an operation ended.
enum class OperationResult {
    Success,
    OpenFailed,    // the port could not be opened, or not again after the board test
    BoardSilent,   // no board gave a good answer to the probe
    OtherModel,    // Read: the pager's tag names another model
    ReadError,     // Read: a block failed
    ChecksumError, // Read: the pager's image checksum does not match
    ReminderRule,  // Write: firmware before 1.83 with Reminder off
    WriteError,    // Write: the version query or a store failed
    VerifyError,   // Write's verify phase or Verify: a block failed or differs
    PortFailed,    // the port failed in the middle of the operation
};

// The steps of the operations, in the order they run.
enum class OperationStep {
    BoardTest,
    Reopen,
    VersionQuery,
    ModelQuery,
    ReadBlocks,
    ChecksumTest,
    StoreBlocks,
    VerifyBlocks,
    Close,
};

struct OperationOutcome {
    OperationKind operation = OperationKind::Read;
    OperationResult result = OperationResult::Success;
    // Empty on success.
    std::optional<OperationStep> failedStep{};
    // When the pager was asked and answered.
    std::optional<FirmwareVersion> firmware{};
    // Read of another model: the text of its tag.
    std::string modelName{};
    // The port error behind the result. A search that found nothing keeps
    // the last port refused for want of permission here: the likeliest
    // reason why no board answered.
    std::optional<ECommError> error{};
    // Search: the index of the port that answered, which stays open.
    std::optional<std::size_t> portIndex{};
    // VerifyError: the block that differs, when the pager answered with
    // other bytes (a failed exchange leaves it empty).
    std::optional<VerifyMismatch> mismatch{};

    bool succeeded() const { return result == OperationResult::Success; }
    // A Read that replaced the working image with the pager's.
    bool tookImage() const { return operation == OperationKind::Read && succeeded(); }
};
