#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The record of a fleet's programming: a log beside the sheet, one line
// appended and flushed per attempt, so a crash loses nothing and the sheet
// itself stays as the spreadsheet saved it. CSV, comma, UTF-8, "\n" line
// ends. The last line of a row wins, and a line counts only for the sheet
// row with its number and its label: a reordered sheet shows rows as not
// done rather than wrongly done.

enum class RecordResult {
    Base,     // the base table file the record was started for
    Verified, // written and verified
    Failed,   // not written or not verified
    Skipped,  // passed over by the user
};

struct FleetRecordLine {
    int row = 0; // the 1-based sheet row; 0 on a base line
    std::string label;
    RecordResult result = RecordResult::Verified;
    std::string time;     // ISO 8601, local time with its offset
    std::string firmware; // "1.86"; empty where the pager did not say
    // A base line: the base table's path, relative to the record's folder
    // when it lies there; a failed one: the failure's first line.
    std::string message;
    bool operator==(const FleetRecordLine&) const = default;
};

inline constexpr std::string_view kRecordHeader = "row,label,result,time,firmware,message";

// "fleet.record.csv" beside the sheet "fleet.csv".
std::filesystem::path recordPathFor(const std::filesystem::path& sheet);

// A time as the record writes it: "2026-12-11T09:25:47+01:00".
std::string recordTime(std::time_t time);
std::string recordTime();

// The record's text taken apart. A line that is not a record line is
// skipped; a last line without its line end is one a crash cut short and
// does not count.
struct FleetRecordText {
    bool isRecord = true; // empty, or the header comes first
    std::vector<FleetRecordLine> lines;
    std::size_t completeBytes = 0; // up to the end of the last whole line
};

FleetRecordText parseFleetRecord(std::string_view bytes);
// One line with its "\n"; cells quoted where they need it.
std::string formatRecordLine(const FleetRecordLine& line);

// A base line's message: the base's path relative to the record's folder
// when it lies within it, else absolute; and back.
std::string basePathText(const std::filesystem::path& record, const std::filesystem::path& base);
std::filesystem::path basePathOf(const std::filesystem::path& record, std::string_view text);

// A row that moved in its sheet: its former number, its label and its new
// number.
struct RecordRowMove {
    int from = 0;
    int to = 0;
    std::string label;
};

// One record file: read once, then appended to.
class FleetRecord {
public:
    explicit FleetRecord(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // Reads the file; a missing one is an empty record. False, with error()
    // saying why, when it cannot be read or holds something else.
    bool load();

    // No line yet: a base line goes first.
    bool empty() const { return lines_.empty(); }
    const std::vector<FleetRecordLine>& lines() const { return lines_; }
    // The base table of the last base line, resolved against the record's
    // folder.
    std::optional<std::filesystem::path> base() const;
    // The last line of the sheet row with this number and label.
    const FleetRecordLine* last(int row, std::string_view label) const;
    // Its last line says it was written and verified.
    bool done(int row, std::string_view label) const;

    // Appends one line and flushes it to the system; the header first into a
    // new file. A line a crash cut short is dropped first: it never counted.
    // False, with error(), when the file cannot be written.
    bool append(const FleetRecordLine& line);
    bool appendBase(const std::filesystem::path& baseTable);

    // After rows of the sheet moved: every line of a moved row (by its former
    // number and label) under its new number, the file replaced whole. Lines
    // of no moved row are kept as they are.
    bool renumber(std::span<const RecordRowMove> moves);

    const std::string& error() const { return error_; }

private:
    bool readFile(FleetRecordText& text);
    bool fail(const std::string& what, int systemError);

    std::filesystem::path path_;
    std::vector<FleetRecordLine> lines_;
    // The file's size as last seen whole: anything else is read again
    // before an append.
    std::optional<std::uintmax_t> knownSize_;
    std::string error_;
};
