#pragma once

#include "link/ECommError.h"
#include "link/OperationOutcome.h"

#include <optional>
#include <string>
#include <string_view>

// The kinds of message: boxes with a stop, exclamation or information icon,
// and the plain message window.
enum class ViewMessage { Stop, Exclamation, Information, Plain };

struct OutcomeMessage {
    ViewMessage kind;
    std::string text;
};

// The texts Read, Write and Verify show, in one place so the window and the
// command line say exactly what the operations say.

inline constexpr std::string_view kTesting = "  Target board testing ......";
inline constexpr std::string_view kReading = "  Reading Now ......";
inline constexpr std::string_view kWriting = "  Write Now ......";
inline constexpr std::string_view kVerifying = "  Verify Now ......";
inline constexpr std::string_view kReady = " Ready";
inline constexpr std::string_view kReadyAfterWrite = "  Ready .....";

// Read's variant breaks its lines differently from the others'.
inline constexpr std::string_view kNotRespondingRead =
    "The Board is not responding ! \nPlease check your programer ready\n and COM port connect "
    "properly !";
inline constexpr std::string_view kNotResponding =
    "The Board is not responding ! \nPlease check your programer ready \nand COM port connect "
    "properly !";
inline constexpr std::string_view kPortInUse = "Error opening comm port. Port already in use?";
inline constexpr std::string_view kOpenError = "Error opening comm port.";
inline constexpr std::string_view kOtherModel = "This model is not PX520. This model is ";
inline constexpr std::string_view kReadError = "Read Error !";
inline constexpr std::string_view kChecksumError = "CheckSum error !";
inline constexpr std::string_view kReadSuccess = "Read Success !";
inline constexpr std::string_view kReminderRule =
    "The version before 1.83, Reminder function cannot be disabled. \nPlease select 'Reminder' "
    "option again !";
inline constexpr std::string_view kWriteError = "Write Error !";
inline constexpr std::string_view kVerifyError = "Verify Error !";
inline constexpr std::string_view kWriteSuccess = "Write Sucess !";
inline constexpr std::string_view kVerifySuccess = "Verify Sucess !";

bool isPermissionFailure(const ECommError& error);

// The message the window shows for an outcome; none for a board test or a
// search that found the board.
std::optional<OutcomeMessage> outcomeMessage(const OperationOutcome& outcome);
