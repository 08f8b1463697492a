#include "fuzz/ReplyScript.h"

#include <algorithm>

std::vector<ScriptedReply> parseReplyScript(std::span<const std::uint8_t> input) {
    std::vector<ScriptedReply> replies;
    std::size_t at = 0;
    while (at < input.size()) {
        const auto kind = static_cast<ReplyKind>(input[at++] % 4);
        ScriptedReply reply{kind, {}};
        if (kind == ReplyKind::Raw || kind == ReplyKind::Framed) {
            const std::size_t length = at < input.size() ? input[at++] : 0;
            const std::size_t taken = std::min(length, input.size() - at);
            reply.bytes.assign(input.begin() + at, input.begin() + at + taken);
            at += taken;
        }
        replies.push_back(std::move(reply));
    }
    return replies;
}

void appendReply(std::vector<std::uint8_t>& script, ReplyKind kind,
                 std::span<const std::uint8_t> bytes) {
    script.push_back(static_cast<std::uint8_t>(kind));
    if (kind == ReplyKind::Raw || kind == ReplyKind::Framed) {
        const auto length = std::min<std::size_t>(bytes.size(), 0xFF);
        script.push_back(static_cast<std::uint8_t>(length));
        script.insert(script.end(), bytes.begin(), bytes.begin() + length);
    }
}

