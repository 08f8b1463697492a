#include "link/OperationMessages.h"

#include "link/CommErrorText.h"

namespace {

constexpr std::string_view kPortFailed = "The serial port failed.";

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
        return kPortFailed;
    }
}

std::optional<OutcomeMessage> successMessage(OperationKind operation) {
    switch (operation) {
    case OperationKind::Read:
        return OutcomeMessage{ViewMessage::Information, std::string(kReadSuccess)};
    case OperationKind::Write:
        return OutcomeMessage{ViewMessage::Information, std::string(kWriteSuccess)};
    case OperationKind::Verify:
        return OutcomeMessage{ViewMessage::Information, std::string(kVerifySuccess)};
    case OperationKind::BoardTest:
    case OperationKind::Search:
        break;
    }
    return std::nullopt;
}

OutcomeMessage stop(std::string_view text) {
    return {ViewMessage::Stop, std::string(text)};
}

// The text plus the user-facing reason of the error on a line of its own.
std::string withReason(std::string_view text, const ECommError& error) {
    std::string full(text);
    if (const std::string reason = commErrorReason(error); !reason.empty()) {
        full += "\n" + reason;
    }
    return full;
}

// "Error opening comm port. Port already in use?" when the device could not
// be opened, "Error opening comm port." for any other failure while opening.
std::string_view openErrorHeadline(const ECommError& error) {
    return error.FailCode == CommFail::Open ? kPortInUse : kOpenError;
}

// The message for a failed open: the board tool's texts, with a line on the
// missing group membership when permission was refused.
std::string openErrorText(const ECommError& error) {
    return isPermissionFailure(error) ? withReason(openErrorHeadline(error), error)
                                      : std::string(openErrorHeadline(error));
}

} // namespace

bool isPermissionFailure(const ECommError& error) {
    return error.FailCode == CommFail::Open && isPermissionError(error.SystemError);
}

std::optional<OutcomeMessage> outcomeMessage(const OperationOutcome& outcome) {
    const auto& error = outcome.error;
    switch (outcome.result) {
    case OperationResult::Success:
        return successMessage(outcome.operation);
    case OperationResult::OpenFailed:
        return OutcomeMessage{ViewMessage::Plain,
                              error ? openErrorText(*error) : std::string(kOpenError)};
    case OperationResult::BoardSilent: {
        const std::string_view text =
            outcome.operation == OperationKind::Read ? kNotRespondingRead : kNotResponding;
        // A port refused for want of permission is why no board answered.
        return OutcomeMessage{ViewMessage::Exclamation, error && isPermissionFailure(*error)
                                                            ? withReason(text, *error)
                                                            : std::string(text)};
    }
    case OperationResult::OtherModel:
        return OutcomeMessage{ViewMessage::Plain,
                              std::string(kOtherModel) + outcome.modelName + "."};
    case OperationResult::ReadError:
        return stop(kReadError);
    case OperationResult::ChecksumError:
        return stop(kChecksumError);
    case OperationResult::ReminderRule:
        return OutcomeMessage{ViewMessage::Exclamation, std::string(kReminderRule)};
    case OperationResult::WriteError:
        return stop(kWriteError);
    case OperationResult::VerifyError:
        return stop(kVerifyError);
    case OperationResult::PortFailed:
        return stop(error ? withReason(failureWords(*error), *error) : std::string(kPortFailed));
    }
    return std::nullopt;
}
