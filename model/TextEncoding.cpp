#include "model/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// The length of the UTF-8 character starting at text[at], or 0 where no
// character starts there (a stray, overlong, surrogate or cut sequence).
std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint32_t code = 0;
    std::uint32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1Fu;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0Fu;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07u;
        least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(at + i) & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// The code point of the character of `length` bytes at text[at].
std::uint32_t codeAt(std::string_view text, std::size_t at, std::size_t length) {
    constexpr std::array<std::uint8_t, 5> kLeadBits{0, 0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t code = static_cast<std::uint8_t>(text[at]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        code = code << 6 | (static_cast<std::uint8_t>(text[at + i]) & 0x3Fu);
    }
    return code;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Windows-1252 bytes 0x80-0x9F; the rest is Latin-1.
constexpr std::array<std::uint16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendHex(std::string& out, std::uint8_t byte) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// The text escaped up to `most` characters; `cut` tells whether more followed.
std::string escapedUpTo(std::string_view text, std::size_t most, bool& cut) {
    std::string out;
    std::size_t characters = 0;
    std::size_t at = 0;
    for (; at < text.size() && characters < most; ++characters) {
        const auto lead = static_cast<std::uint8_t>(text[at]);
        const std::size_t length = characterLength(text, at);
        // A C1 control is U+0080-U+009F, two bytes from C2 80 to C2 9F.
        const bool control =
            lead < 0x20 || lead == 0x7F ||
            (length == 2 && lead == 0xC2 && static_cast<std::uint8_t>(text[at + 1]) < 0xA0);
        if (length == 0 || control) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                appendHex(out, static_cast<std::uint8_t>(text[at + i]));
            }
            at += std::max<std::size_t>(length, 1);
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    cut = at < text.size();
    return out;
}

} // namespace

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return out;
}

std::optional<std::string> utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        if (length == 0) {
            return std::nullopt;
        }
        const std::uint32_t code = codeAt(text, at, length);
        at += length;
        if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
            out += static_cast<char>(code);
            continue;
        }
        const auto high = std::ranges::find(kHighControls, code);
        if (high == kHighControls.end()) {
            return std::nullopt;
        }
        out += static_cast<char>(0x80 + (high - kHighControls.begin()));
    }
    return out;
}

std::size_t characterCount(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++characters) {
        at += std::max<std::size_t>(characterLength(text, at), 1);
    }
    return characters;
}

std::string escaped(std::string_view text) {
    bool cut = false;
    return escapedUpTo(text, text.size(), cut);
}

std::string shortened(std::string_view text) {
    bool cut = false;
    std::string out = escapedUpTo(text, kShownCharacters, cut);
    return cut ? out + "..." : out;
}
