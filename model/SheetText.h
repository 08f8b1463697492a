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
    bool crlf = false;           // line ends "\r\n" rather than "\n"
    bool decimalComma = false;   // numbers written "669,9" (';' sheets only)
    bool finalLineEnd = true;    // the last line ends with a line end
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

struct SheetTextRead {
    std::optional<SheetText> sheet;
    std::string error; // when no sheet: what is wrong and on which line
};

// Splits a sheet's bytes into cells. A line of more than mostColumns cells,
// or more than mostRows data rows, is refused early.
SheetTextRead parseSheetText(std::string_view bytes, std::size_t mostColumns,
                             std::size_t mostRows);

// The sheet's bytes in its dialect: quotes only where a cell needs them.
std::string formatSheetText(const SheetText& sheet);
