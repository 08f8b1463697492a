// Sheets of pagers as spreadsheets export them: read in every dialect,
// written back byte for byte, each row set on a base, and refusals that say
// where and why.

#include "rules/PagerSheet.h"

#include "model/ByteMap.h"
#include "model/DefaultImage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(PX520_SHEET_FIXTURES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), {}};
}

PagerSheet parsed(std::string_view bytes) {
    PagerSheetRead read = parsePagerSheet(bytes);
    EXPECT_TRUE(read.sheet) << (read.error ? read.error->message : "");
    return read.sheet ? std::move(*read.sheet) : PagerSheet{};
}

const std::string kMultiLine = "Zug \"Nord\"\nReserve";

struct Exported {
    const char* file;
    SheetDialect dialect;
    std::string lastLabel;
};

class ExportedSheet : public testing::TestWithParam<Exported> {};

// Every fixture holds the same three pagers: decimals, an empty cell, a
// label with a comma and umlauts, one with quotes and a line break.
TEST_P(ExportedSheet, IsReadWrittenBackAndApplied) {
    const Exported& c = GetParam();
    const std::string bytes = fixture(c.file);
    const PagerSheet sheet = parsed(bytes);
    EXPECT_EQ(sheet.dialect, c.dialect);
    ASSERT_EQ(sheet.rows.size(), 3U);
    EXPECT_EQ(sheet.rows[0].label, "unit A");
    EXPECT_EQ(sheet.rows[1].label, "L\xC3\xB6schzug S\xC3\xBC"
                                   "d, Wache 2");
    EXPECT_EQ(sheet.rows[2].label, c.lastLabel);
    EXPECT_EQ(sheet.rows[0].cells, (std::vector<std::string>{"669.9", "707.3", "1.5"}));
    EXPECT_EQ(sheet.rows[1].cells, (std::vector<std::string>{"1006.9", "", "0.3"}));
    EXPECT_EQ(formatPagerSheet(sheet), bytes);

    const SheetImages checked = checkRows(defaultImage(), sheet, ToneMode::Standard);
    ASSERT_FALSE(checked.error) << checked.error->message;
    ASSERT_EQ(checked.images.size(), 3U);
    EXPECT_EQ(readWord(checked.images[0], field::T1(1)), 6699);
    EXPECT_EQ(checked.images[0][field::BandWidth], 7);
    EXPECT_EQ(readWord(checked.images[1], field::T2(1)), readWord(defaultImage(), field::T2(1)));
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, ExportedSheet,
    testing::Values(Exported{"calc-comma.csv", {}, kMultiLine},
                    Exported{"calc-semicolon.csv",
                             {SheetSeparator::Semicolon, SheetEncoding::Utf8, false, true},
                             kMultiLine + "; 2"},
                    Exported{"excel-utf8-semicolon.csv",
                             {SheetSeparator::Semicolon, SheetEncoding::Utf8WithBom, true, true},
                             kMultiLine},
                    Exported{"excel-ansi-comma.csv",
                             {SheetSeparator::Comma, SheetEncoding::Windows1252, true},
                             kMultiLine + " \xE2\x82\xAC"},
                    Exported{"excel-tab.txt",
                             {SheetSeparator::Tab, SheetEncoding::Windows1252, true},
                             kMultiLine}),
    [](const testing::TestParamInfo<Exported>& info) {
        std::string name = info.param.file;
        std::erase_if(name,
                      [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; });
        return name;
    });

TEST(PagerSheet, EditsAreWrittenInTheSheetsOwnWords) {
    PagerSheet sheet = parsed(fixture("calc-semicolon.csv"));
    sheet.rows[1].cells[1] = "707.3";
    sheet.columns.push_back(fieldRef("BS_Period"));
    for (PagerRow& row : sheet.rows) {
        row.cells.push_back("10");
    }
    const std::string written = formatPagerSheet(sheet);
    EXPECT_TRUE(written.starts_with("label;T1[1];T2[1];BandWidth;BS_Period\n"));
    EXPECT_NE(written.find("Wache 2;1006,9;707,3;0,3;10\n"), std::string::npos);

    // A ';' sheet of whole numbers writes a typed decimal as its locale does;
    // one whose numbers show points keeps to points. Headings keep their case.
    struct Case {
        std::string bytes;
        std::string written;
    };
    const Case cases[] = {
        {"LABEL;t1[1]\r\nA;670\r\n", "LABEL;t1[1]\r\nA;669,9\r\n"},
        {"Label;T1[1]\nA;669.5\n", "Label;T1[1]\nA;669.9\n"},
        {"t1[1]\n670\n", "t1[1]\n669.9\n"},
    };
    for (const Case& c : cases) {
        PagerSheet edited = parsed(c.bytes);
        EXPECT_EQ(formatPagerSheet(edited), c.bytes);
        edited.rows[0].cells[0] = "669.9";
        EXPECT_EQ(formatPagerSheet(edited), c.written);
    }
}

TEST(PagerSheet, StructureRefusalsNameRowAndColumn) {
    struct Case {
        std::string bytes;
        int row;
        int column;
        std::string message;
    };
    const std::string ls(257, 'L');
    const Case cases[] = {
        {"label,T9[1]\n", 0, 1,
         "'T9[1]' is not a field name of show (T1[1], Freq, BS_Period, ...)."},
        {"T1[1],BS_Period,t1[1]\n", 0, 3, "T1[1] has two columns in the header."},
        {"label,T1[1]\nunit A\n", 1, -1, "row 1 (unit A): 1 cell where the header has 2."},
        {"label,T1[1]\n" + ls + ",669.9\n", 2 - 1, 0,
         "row 1 (" + ls.substr(0, 40) + "...): label: 257 bytes; a label takes at most 256."},
        {"label,T1[1]\n\"a\nb,1\n", 1, -1, "line 2: a quoted cell opened there is never closed."},
    };
    for (const Case& c : cases) {
        const PagerSheetRead read = parsePagerSheet(c.bytes);
        ASSERT_TRUE(read.error) << c.message;
        EXPECT_FALSE(read.sheet);
        EXPECT_EQ(read.error->row, c.row) << c.message;
        EXPECT_EQ(read.error->column, c.column) << c.message;
        EXPECT_EQ(read.error->message, c.message);
    }
    // A Windows-1252 label is as long as its own bytes, not its UTF-8.
    const PagerSheetRead umlauts = parsePagerSheet("label\n" + std::string(256, '\xFC') + "\n");
    ASSERT_TRUE(umlauts.sheet);
    EXPECT_EQ(umlauts.sheet->rows[0].label.size(), 512U);
}

TEST(PagerSheet, ValueRefusalsSayWhatTheCellHoldsAndTheFieldTakes) {
    struct Case {
        std::string bytes;
        int row;
        int column;
        std::string message;
    };
    const Case cases[] = {
        {"label,T1[1],T2[1]\nunit A,669.9,707.3\nunit C,2000,2500\n", 2, 2,
         "row 2 (unit C), CALL #1 TONE2 (T2[1]) holds \"2500\": Please insert a number between "
         "288.5 to 2468.2"},
        {"label;T1[1]\n\"x\x01y\n\";66,x\n", 1, 1,
         "row 1 (x\\x01y\\x0A), CALL #1 TONE1 (T1[1]) holds \"66,x\": '66,x' is not a valid "
         "floating point value."},
        {"Label;BandWidth\nA;4,5\n", 1, 1,
         "row 1 (A), Decoder Bandwidth (BandWidth) holds \"4,5\": '4.5' is not an item of "
         "BandWidth: 0.1, 0.3,"},
    };
    for (const Case& c : cases) {
        const PagerSheet sheet = parsed(c.bytes);
        const SheetImages checked = checkRows(defaultImage(), sheet, ToneMode::Standard);
        ASSERT_TRUE(checked.error) << c.bytes;
        EXPECT_TRUE(checked.images.empty());
        EXPECT_EQ(checked.error->row, c.row) << c.bytes;
        EXPECT_EQ(checked.error->column, c.column) << c.bytes;
        EXPECT_EQ(checked.error->message.substr(0, c.message.size()), c.message);
        ConfigImage image = defaultImage();
        EXPECT_TRUE(
            applyRow(image, sheet, static_cast<std::size_t>(c.row) - 1, ToneMode::Standard));
        EXPECT_EQ(image, defaultImage()) << "a refused row changed the image";
    }
}

} // namespace
