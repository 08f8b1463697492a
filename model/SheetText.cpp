#include "model/SheetText.h"

#include "model/TextEncoding.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char separatorChar(SheetSeparator separator) {
    switch (separator) {
    case SheetSeparator::Semicolon:
        return ';';
    case SheetSeparator::Tab:
        return '\t';
    case SheetSeparator::Comma:
        break;
    }
    return ',';
}

enum class LineEnd { None, Lf, CrLf };

// One line of cells, which quoted line breaks may spread over several text
// lines.
struct Record {
    std::vector<std::string> cells{1};
    LineEnd end = LineEnd::None;
    bool anyQuoted = false;
    int strayQuotes = 0; // quotes inside unquoted cells
    bool tooMany = false;
    bool openQuote = false;
    int quoteLine = 0; // the text line an unclosed quote opened on

    // A line of nothing but spaces (and tabs where they do not separate).
    bool blank() const {
        return cells.size() == 1 && !anyQuoted &&
               cells.front().find_first_not_of(" \t") == std::string::npos;
    }
};

// Reads cells from text[at] to the end of the line outside quotes. A quote
// opens a quoted cell only at the cell's start; elsewhere it is a character.
// A line of more than `most` cells stops at the cell beyond.
class RecordReader {
public:
    RecordReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    bool done() const { return at_ >= text_.size(); }
    int line() const { return line_; }

    Record next(std::size_t most) {
        Record record;
        bool quoted = false;
        bool fresh = true; // nothing read into the current cell yet
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            std::string& cell = record.cells.back();
            if (quoted) {
                if (c == '"' && at_ < text_.size() && text_[at_] == '"') {
                    cell += '"';
                    ++at_;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    // Up to the next quote at once.
                    const std::size_t end = std::min(text_.find('"', at_), text_.size());
                    const std::string_view run = text_.substr(at_ - 1, end - at_ + 1);
                    line_ += static_cast<int>(std::ranges::count(run, '\n'));
                    cell += run;
                    at_ = end;
                }
            } else if (c == '"' && fresh) {
                quoted = true;
                fresh = false;
                record.anyQuoted = true;
                record.quoteLine = line_;
            } else if (c == separator_) {
                if (record.cells.size() == most) {
                    record.tooMany = true;
                    return record;
                }
                record.cells.emplace_back();
                fresh = true;
            } else if (c == '\n' || c == '\r') {
                // "\r\n" or "\n" ends a line; so does an old Macintosh "\r",
                // which is written back as "\r\n".
                at_ += c == '\r' && at_ < text_.size() && text_[at_] == '\n' ? 1 : 0;
                record.end = c == '\r' ? LineEnd::CrLf : LineEnd::Lf;
                ++line_;
                return record;
            } else {
                record.strayQuotes += c == '"' ? 1 : 0;
                // Up to the next character that means something, at once.
                const std::size_t start = at_ - 1;
                while (at_ < text_.size() && !ends(text_[at_])) {
                    ++at_;
                }
                cell += text_.substr(start, at_ - start);
                fresh = false;
            }
        }
        record.openQuote = quoted;
        return record;
    }

private:
    // Where a run of ordinary characters in an unquoted cell ends.
    bool ends(char c) const { return c == separator_ || c == '"' || c == '\n' || c == '\r'; }

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    int line_ = 1;
};

// The separator that splits the header line into the most cells, read as
// the cells are, among those that leave no quote inside an unquoted cell (a
// sign of quoting the separator does not fit); a header of one column is
// taken as comma-separated.
SheetSeparator findSeparator(std::string_view text, std::size_t mostColumns) {
    constexpr std::array kCandidates{SheetSeparator::Comma, SheetSeparator::Semicolon,
                                     SheetSeparator::Tab};
    SheetSeparator found = SheetSeparator::Comma;
    std::pair<int, std::size_t> best; // fewest stray quotes, then most cells
    for (const SheetSeparator candidate : kCandidates) {
        RecordReader reader(text, separatorChar(candidate));
        Record header = reader.next(mostColumns + 1);
        while (header.blank() && !reader.done()) {
            header = reader.next(mostColumns + 1);
        }
        const std::pair fit{-header.strayQuotes, header.cells.size()};
        if (fit > best || candidate == kCandidates.front()) {
            best = fit;
            found = candidate;
        }
    }
    return found;
}

SheetTextRead refusal(SheetTextFault fault, int row, std::string error) {
    SheetTextRead read;
    read.fault = fault;
    read.row = row;
    read.error = std::move(error);
    return read;
}

// A cell written as it stands reads back the same.
bool needsQuotes(std::string_view cell, char separator, bool alone) {
    if (alone && cell.find_first_not_of(" \t") == std::string_view::npos) {
        return true;
    }
    return cell.find_first_of(std::string{separator, '"', '\n', '\r'}) != std::string_view::npos;
}

} // namespace

void appendSheetCell(std::string& out, std::string_view cell, char separator, bool alone) {
    if (!needsQuotes(cell, separator, alone)) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

namespace {

void appendLine(std::string& out, const std::vector<std::string>& cells, char separator) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i != 0) {
            out += separator;
        }
        appendSheetCell(out, cells[i], separator, cells.size() == 1);
    }
}

} // namespace

SheetTextRead parseSheetText(std::string_view bytes, std::size_t mostColumns,
                             std::size_t mostRows) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return refusal(SheetTextFault::Utf16, 0,
                       "UTF-16 text (Excel's \"Unicode Text\"): save the sheet as CSV.");
    }
    SheetText sheet;
    const bool bom = bytes.starts_with(kUtf8Bom);
    if (bom) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    const bool utf8 = isUtf8(bytes);
    sheet.dialect.encoding = !utf8 ? SheetEncoding::Windows1252
                             : bom ? SheetEncoding::Utf8WithBom
                                   : SheetEncoding::Utf8;
    sheet.dialect.separator = findSeparator(bytes, mostColumns);
    const auto decoded = [utf8](std::string& cell) {
        if (!utf8) {
            cell = windows1252ToUtf8(cell);
        }
    };
    RecordReader reader(bytes, separatorChar(sheet.dialect.separator));
    bool header = true;
    while (!reader.done()) {
        const int line = reader.line();
        Record record = reader.next(mostColumns);
        const int row = header ? 0 : static_cast<int>(sheet.rows.size()) + 1;
        if (record.openQuote) {
            return refusal(SheetTextFault::OpenQuote, row,
                           "line " + std::to_string(record.quoteLine) +
                               ": a quoted cell opened there is never closed.");
        }
        if (record.tooMany) {
            return refusal(SheetTextFault::TooManyCells, row,
                           "line " + std::to_string(line) + ": more than " +
                               std::to_string(mostColumns) + " cells.");
        }
        if (record.blank()) {
            continue;
        }
        sheet.dialect.finalLineEnd = record.end != LineEnd::None;
        for (std::string& cell : record.cells) {
            decoded(cell);
        }
        if (header) {
            sheet.dialect.crlf = record.end == LineEnd::CrLf;
            sheet.header = std::move(record.cells);
            header = false;
            continue;
        }
        if (sheet.rows.size() == mostRows) {
            return refusal(SheetTextFault::TooManyRows, row,
                           "more than " + std::to_string(mostRows) + " rows.");
        }
        sheet.rows.push_back(std::move(record.cells));
        sheet.lineOfRow.push_back(line);
    }
    if (header) {
        return refusal(SheetTextFault::NoHeader, 0, "no header line.");
    }
    SheetTextRead read;
    read.sheet = std::move(sheet);
    return read;
}

std::string formatSheetText(const SheetText& sheet) {
    const SheetDialect& dialect = sheet.dialect;
    const char separator = separatorChar(dialect.separator);
    const std::string_view lineEnd = dialect.crlf ? "\r\n" : "\n";
    std::string text;
    appendLine(text, sheet.header, separator);
    for (const auto& row : sheet.rows) {
        text += lineEnd;
        appendLine(text, row, separator);
    }
    if (dialect.finalLineEnd) {
        text += lineEnd;
    }
    if (dialect.encoding == SheetEncoding::Windows1252) {
        if (auto bytes = utf8ToWindows1252(text)) {
            return std::move(*bytes);
        }
    } else if (dialect.encoding == SheetEncoding::Utf8) {
        return text;
    }
    return std::string(kUtf8Bom) + text;
}
