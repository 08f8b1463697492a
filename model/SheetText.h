#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A sheet as spreadsheets save "CSV": RFC 4180 quoting (cells in double
// quotes may hold separators, doubled quotes and line breaks), an optional
// UTF-8 byte order mark, ',' or ';' or tab between cells (found from the
// header line), UTF-8 or else Windows-1252. The dialect it was read in is
// kept so that it is written back the same way.

enum class SheetSeparator { Comma, Semicolon, Tab };
enum class SheetEncoding { Utf8, Utf8WithBom, Windows1252 };

struct SheetDialect {
    SheetSeparator separator = SheetSeparator::Comma;
    SheetEncoding encoding = SheetEncoding::Utf8;
    bool crlf = false;         // line ends "\r\n" rather than "\n"
    bool decimalComma = false; // numbers written "669,9" (';' sheets only)
    bool finalLineEnd = true;  // the last line ends with a line end
    bool operator==(const SheetDialect&) const = default;
};

// The header and the data lines, every cell in UTF-8 as it stands; blank
// lines are dropped. lineOfRow[i] is the text line data row i starts on.
struct SheetText {
    SheetDialect dialect;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lineOfRow;
};

enum class SheetTextFault {
    None,
    NoHeader,     // nothing but blank lines
    Utf16,        // UTF-16 text, as Excel's "Unicode Text" saves a sheet
    OpenQuote,    // a quoted cell runs to the end of the text
    TooManyCells, // a line of more than mostColumns cells
    TooManyRows,  // more than mostRows data rows
};

struct SheetTextRead {
    std::optional<SheetText> sheet;
    std::string error; // when no sheet: what is wrong and on which line
    SheetTextFault fault = SheetTextFault::None;
    int row = 0; // where: 0 the header, 1.. the data rows
};

// Splits a sheet's bytes into cells. A line of more than mostColumns cells,
// or more than mostRows data rows, is refused early, so that a hostile sheet
// costs no more than a large one.
SheetTextRead parseSheetText(std::string_view bytes, std::size_t mostColumns, std::size_t mostRows);

// The sheet's bytes in its dialect: quotes only where a cell needs them (a
// separator, a quote or a line break in it, or a lone empty cell that would
// read as a blank line). A Windows-1252 sheet whose cells now hold a
// character that code page lacks is written as UTF-8 with a byte order mark,
// which spreadsheets read as UTF-8: nothing typed is lost.
std::string formatSheetText(const SheetText& sheet);

// Appends one cell as formatSheetText writes it: in double quotes, its
// quotes doubled, when it holds the separator, a quote or a line break, or
// when it is blank and alone on its line.
void appendSheetCell(std::string& out, std::string_view cell, char separator,
                     bool alone = false);
