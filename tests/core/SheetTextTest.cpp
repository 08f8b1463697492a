// A sheet's text: cells split as RFC 4180 quotes them, in any dialect, and
// written back in it.

#include "model/SheetText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SheetText parsed(std::string_view bytes) {
    SheetTextRead read = parseSheetText(bytes, 8, 100);
    EXPECT_TRUE(read.sheet) << read.error;
    return read.sheet ? std::move(*read.sheet) : SheetText{};
}

TEST(SheetText, QuotedCellsHoldSeparatorsQuotesAndLineBreaks) {
    const SheetText sheet = parsed("a;b\n\"x;\"\"y\"\"\r\nz\";\"\"\n\n  \nq\"r;s\n");
    EXPECT_EQ(sheet.dialect.separator, SheetSeparator::Semicolon);
    ASSERT_EQ(sheet.rows.size(), 2U);
    EXPECT_EQ(sheet.rows[0], (std::vector<std::string>{"x;\"y\"\r\nz", ""}));
    // A quote inside an unquoted cell is a character; blank lines are dropped.
    EXPECT_EQ(sheet.rows[1], (std::vector<std::string>{"q\"r", "s"}));
    EXPECT_EQ(sheet.lineOfRow, (std::vector<int>{2, 6}));
}

TEST(SheetText, DialectIsFoundAndKept) {
    struct Case {
        std::string bytes;
        SheetDialect dialect;
    };
    const Case cases[] = {
        {"a,b\n1,2\n", {}},
        {"a;b\r\n1;2\r\n", {SheetSeparator::Semicolon, SheetEncoding::Utf8, true}},
        {"\xEF\xBB\xBF"
         "a\tb\n1\t2",
         {SheetSeparator::Tab, SheetEncoding::Utf8WithBom, false, false, false}},
        {"a,\"b,c;d\"\nM\xFCller,2\n", {SheetSeparator::Comma, SheetEncoding::Windows1252}},
        {"a\n\"\"\n", {}}, // one column: a lone empty cell stays quoted
    };
    for (const Case& c : cases) {
        const SheetText sheet = parsed(c.bytes);
        EXPECT_EQ(sheet.dialect, c.dialect) << c.bytes;
        EXPECT_EQ(formatSheetText(sheet), c.bytes);
    }
}

TEST(SheetText, Windows1252IsReadAndWrittenBackOrElseUtf8WithBom) {
    SheetText sheet = parsed("label\nL\xF6schzug S\xFC"
                             "d \x80\n");
    EXPECT_EQ(sheet.rows[0][0], "L\xC3\xB6schzug S\xC3\xBC"
                                "d \xE2\x82\xAC");
    sheet.rows[0][0] += " \xE2\x86\x92"; // an arrow the code page lacks
    EXPECT_EQ(formatSheetText(sheet), "\xEF\xBB\xBFlabel\nL\xC3\xB6schzug S\xC3\xBC"
                                      "d \xE2\x82\xAC \xE2\x86\x92\n");
}

TEST(SheetText, RefusalsSayWhere) {
    struct Case {
        std::string bytes;
        SheetTextFault fault;
        int row;
        std::string error;
    };
    std::string manyRows = "a";
    for (int row = 1; row <= 101; ++row) {
        manyRows += "\n1";
    }
    const Case cases[] = {
        {"", SheetTextFault::NoHeader, 0, "no header line."},
        {"\n \r\n", SheetTextFault::NoHeader, 0, "no header line."},
        {"a,b\n1,2\n\n\"3,\n4\n", SheetTextFault::OpenQuote, 2,
         "line 4: a quoted cell opened there is never closed."},
        {"a,b,c,d,e,f,g,h,i\n", SheetTextFault::TooManyCells, 0, "line 1: more than 8 cells."},
        {"a\n1\n1,2,3,4,5,6,7,8,9\n", SheetTextFault::TooManyCells, 2,
         "line 3: more than 8 cells."},
        {manyRows, SheetTextFault::TooManyRows, 101, "more than 100 rows."},
        {"\xFF\xFEl\0a\0", SheetTextFault::Utf16, 0,
         "UTF-16 text (Excel's \"Unicode Text\"): save the sheet as CSV."},
    };
    for (const Case& c : cases) {
        const SheetTextRead read = parseSheetText(c.bytes, 8, 100);
        EXPECT_FALSE(read.sheet) << c.error;
        EXPECT_EQ(read.fault, c.fault) << c.error;
        EXPECT_EQ(read.row, c.row) << c.error;
        EXPECT_EQ(read.error, c.error);
    }
}

} // namespace
