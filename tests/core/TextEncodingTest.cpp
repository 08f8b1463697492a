// Text from outside: what is escaped, where a label is cut, what counts as
// UTF-8, and Windows-1252 read into UTF-8 and written back.

#include "model/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextEncoding, ControlsAndBrokenBytesAreEscapedAndCharactersKept) {
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"unit A", "unit A"},
        {"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x93\x9F",
         "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x93\x9F"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x1B[2J\nnext\x7F", "\\x1B[2J\\x0Anext\\x7F"},
        {"csi \xC2\x9B"
         "31m",
         "csi \\xC2\\x9B31m"},                         // C1 control, as UTF-8
        {"M\xFCller", "M\\xFCller"},                   // Latin-1, not UTF-8
        {"cut \xE2\x82", "cut \\xE2\\x82"},            // a character cut short
        {"over \xC0\xAF", "over \\xC0\\xAF"},          // an overlong slash
        {"half \xED\xA0\x80", "half \\xED\\xA0\\x80"}, // a surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escaped(c.text), c.shown) << c.shown;
    }
}

TEST(TextEncoding, ALongLabelIsCutAtACharacter) {
    const std::string forty(kShownCharacters, 'x');
    EXPECT_EQ(shortened(forty), forty);
    EXPECT_EQ(shortened(forty + "y"), forty + "...");
    // Forty two-byte characters, then more: cut after the fortieth, whole.
    std::string umlauts;
    for (std::size_t i = 0; i <= kShownCharacters; ++i) {
        umlauts += "\xC3\xBC";
    }
    EXPECT_EQ(shortened(umlauts), umlauts.substr(0, 2 * kShownCharacters) + "...");
    EXPECT_EQ(shortened(std::string(kShownCharacters, '\n')).size(), 4 * kShownCharacters);
}

TEST(TextEncoding, Utf8IsToldFromOtherBytes) {
    EXPECT_TRUE(isUtf8(""));
    EXPECT_TRUE(isUtf8("label,T1[1]\nM\xC3\xBCller,669.9\n"));
    EXPECT_TRUE(isUtf8("\xF4\x8F\xBF\xBF")); // U+10FFFF
    EXPECT_FALSE(isUtf8("M\xFCller"));
    EXPECT_FALSE(isUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(isUtf8("\xC3"));             // cut at the end
}

TEST(TextEncoding, Windows1252IsReadIntoUtf8) {
    EXPECT_EQ(windows1252ToUtf8("M\xFCller \x80 \x9F \xA0"),
              "M\xC3\xBCller \xE2\x82\xAC \xC5\xB8 \xC2\xA0");
    // A byte the code page leaves free is kept as the control of its number.
    EXPECT_EQ(windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    std::string every;
    for (int byte = 0; byte < 256; ++byte) {
        every += static_cast<char>(byte);
    }
    EXPECT_TRUE(isUtf8(windows1252ToUtf8(every)));
}

} // namespace
