#pragma once

#include <cstdint>
#include <span>
#include <vector>

// How the scripted board answers one request. Raw sends the script's bytes
// as they are; Framed wraps them as the reply's body in a frame that answers
// the request, with its sum, so that the input reaches past the sum check;
// FromMemory answers as a working board would; Silent sends nothing.
enum class ReplyKind : std::uint8_t { Raw, Framed, FromMemory, Silent };

struct ScriptedReply {
    ReplyKind kind = ReplyKind::Silent;
    std::vector<std::uint8_t> bytes;
};

// The fuzz input as replies to successive requests: a control byte whose
// value modulo 4 is the kind; Raw and Framed then take a length byte and
// that many bytes. Requests past the end of the script get no answer.
std::vector<ScriptedReply> parseReplyScript(std::span<const std::uint8_t> input);

// The inverse, for writing seed inputs.
void appendReply(std::vector<std::uint8_t>& script, ReplyKind kind,
                 std::span<const std::uint8_t> bytes = {});
