#include "model/FleetRecord.h"

#include "model/SheetText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

namespace {

constexpr std::array<std::pair<RecordResult, std::string_view>, 4> kResultNames{{
    {RecordResult::Base, "base"},
    {RecordResult::Verified, "verified"},
    {RecordResult::Failed, "failed"},
    {RecordResult::Skipped, "skipped"},
}};

std::string_view resultName(RecordResult result) {
    for (const auto& [value, name] : kResultNames) {
        if (value == result) {
            return name;
        }
    }
    return {};
}

std::optional<RecordResult> resultNamed(std::string_view name) {
    for (const auto& [value, text] : kResultNames) {
        if (text == name) {
            return value;
        }
    }
    return std::nullopt;
}

constexpr std::size_t kColumns = 6;

// The cells of the record line that starts at `at`, and where the next one
// starts; none when the text ends before the line does. Quoted cells may
// hold commas, doubled quotes and line breaks (a label may).
struct SplitLine {
    std::vector<std::string> cells;
    std::size_t next = 0;
};

std::optional<SplitLine> splitLine(std::string_view text, std::size_t at) {
    SplitLine line{std::vector<std::string>(1)};
    bool quoted = false;
    for (std::size_t i = at; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                line.cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line.cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            line.cells.emplace_back();
        } else if (c == '\n') {
            line.next = i + 1;
            return line;
        } else if (c != '\r') {
            line.cells.back() += c;
        }
    }
    return std::nullopt;
}

std::optional<int> rowNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<FleetRecordLine> recordLine(std::vector<std::string>& cells) {
    if (cells.size() != kColumns) {
        return std::nullopt;
    }
    const auto result = resultNamed(cells[2]);
    if (!result) {
        return std::nullopt;
    }
    FleetRecordLine line;
    line.result = *result;
    if (*result != RecordResult::Base) {
        const auto row = rowNumber(cells[0]);
        if (!row) {
            return std::nullopt;
        }
        line.row = *row;
    }
    line.label = std::move(cells[1]);
    line.time = std::move(cells[3]);
    line.firmware = std::move(cells[4]);
    line.message = std::move(cells[5]);
    return line;
}

bool within(const std::filesystem::path& relative) {
    return !relative.empty() && *relative.begin() != "..";
}

std::string errorText(int systemError) {
    return std::error_code(systemError, std::generic_category()).message();
}

} // namespace

std::filesystem::path recordPathFor(const std::filesystem::path& sheet) {
    std::filesystem::path record = sheet;
    record.replace_extension(".record.csv");
    return record;
}

// The offset from the fields of local and universal time, so that it needs
// no platform's time-zone calls and no "%z", which some C libraries print as
// a zone name.
std::string recordTime(std::time_t time) {
    std::tm local{};
    std::tm utc{};
    if (const std::tm* l = std::localtime(&time)) {
        local = *l;
    }
    if (const std::tm* u = std::gmtime(&time)) {
        utc = *u;
    }
    int days = local.tm_yday - utc.tm_yday;
    if (local.tm_year != utc.tm_year) {
        days = local.tm_year > utc.tm_year ? 1 : -1;
    }
    const int minutes =
        days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
    const int shown = minutes < 0 ? -minutes : minutes;
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, minutes < 0 ? '-' : '+', shown / 60, shown % 60);
    return text.data();
}

std::string recordTime() {
    return recordTime(std::time(nullptr));
}

FleetRecordText parseFleetRecord(std::string_view bytes) {
    FleetRecordText text;
    if (bytes.empty()) {
        return text;
    }
    auto header = splitLine(bytes, 0);
    if (!header) {
        // A header a crash cut short is a new record's first write.
        text.isRecord = std::string_view(kRecordHeader).starts_with(bytes);
        return text;
    }
    std::string joined;
    for (const std::string& cell : header->cells) {
        joined += joined.empty() ? "" : ",";
        joined += cell;
    }
    if (joined != kRecordHeader) {
        text.isRecord = false;
        return text;
    }
    std::size_t at = header->next;
    text.completeBytes = at;
    while (auto line = splitLine(bytes, at)) {
        at = line->next;
        text.completeBytes = at;
        if (auto parsed = recordLine(line->cells)) {
            text.lines.push_back(std::move(*parsed));
        }
    }
    return text;
}

std::string formatRecordLine(const FleetRecordLine& line) {
    std::string out = line.result == RecordResult::Base ? "" : std::to_string(line.row);
    for (const std::string_view cell :
         {std::string_view(line.label), resultName(line.result), std::string_view(line.time),
          std::string_view(line.firmware), std::string_view(line.message)}) {
        out += ',';
        appendSheetCell(out, cell, ',');
    }
    out += '\n';
    return out;
}

std::string basePathText(const std::filesystem::path& record, const std::filesystem::path& base) {
    const std::filesystem::path absoluteBase = std::filesystem::absolute(base).lexically_normal();
    const std::filesystem::path folder =
        std::filesystem::absolute(record).lexically_normal().parent_path();
    const std::filesystem::path relative = absoluteBase.lexically_relative(folder);
    return within(relative) ? relative.generic_string() : absoluteBase.string();
}

std::filesystem::path basePathOf(const std::filesystem::path& record, std::string_view text) {
    const std::filesystem::path stored{std::string(text)};
    if (stored.is_absolute()) {
        return stored;
    }
    return (std::filesystem::absolute(record).parent_path() / stored).lexically_normal();
}

FleetRecord::FleetRecord(std::filesystem::path path) : path_(std::move(path)) {}

bool FleetRecord::fail(const std::string& what, int systemError) {
    error_ = what + " " + path_.string() + (systemError != 0 ? ": " + errorText(systemError) : "");
    return false;
}

bool FleetRecord::readFile(FleetRecordText& text) {
    std::error_code missing;
    if (!std::filesystem::exists(path_, missing)) {
        text = {};
        knownSize_ = 0;
        return true;
    }
    errno = 0;
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        return fail("cannot read the record", errno);
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) {
        return fail("cannot read the record", errno);
    }
    text = parseFleetRecord(bytes);
    if (!text.isRecord) {
        error_ = path_.string() + " is not a record: its first line is not \"" +
                 std::string(kRecordHeader) + "\"";
        return false;
    }
    knownSize_ = text.completeBytes;
    return true;
}

bool FleetRecord::load() {
    FleetRecordText text;
    if (!readFile(text)) {
        return false;
    }
    lines_ = std::move(text.lines);
    return true;
}

std::optional<std::filesystem::path> FleetRecord::base() const {
    const auto line = std::ranges::find(lines_.rbegin(), lines_.rend(), RecordResult::Base,
                                        &FleetRecordLine::result);
    if (line == lines_.rend()) {
        return std::nullopt;
    }
    return basePathOf(path_, line->message);
}

const FleetRecordLine* FleetRecord::last(int row, std::string_view label) const {
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
        if (line->result != RecordResult::Base && line->row == row && line->label == label) {
            return &*line;
        }
    }
    return nullptr;
}

bool FleetRecord::done(int row, std::string_view label) const {
    const FleetRecordLine* line = last(row, label);
    return line != nullptr && line->result == RecordResult::Verified;
}

bool FleetRecord::append(const FleetRecordLine& line) {
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(path_, sizeError);
    const bool exists = !sizeError;
    if (!exists || size != knownSize_) {
        // Written by another program meanwhile, or new: where its whole lines end.
        FleetRecordText text;
        if (!readFile(text)) {
            return false;
        }
        if (exists && text.completeBytes < size && text.completeBytes > 0) {
            std::error_code cut;
            std::filesystem::resize_file(path_, text.completeBytes, cut);
            if (cut) {
                return fail("cannot write the record", cut.value());
            }
        }
        knownSize_ = text.completeBytes;
    }
    std::string bytes = *knownSize_ == 0 ? std::string(kRecordHeader) + "\n" : std::string{};
    bytes += formatRecordLine(line);
    errno = 0;
    // A header cut short is written anew.
    std::ofstream out(path_, *knownSize_ == 0 ? std::ios::binary | std::ios::trunc
                                              : std::ios::binary | std::ios::app);
    if (!out) {
        return fail("cannot write the record", errno);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        knownSize_.reset();
        return fail("cannot write the record", errno);
    }
    *knownSize_ += bytes.size();
    lines_.push_back(line);
    return true;
}

bool FleetRecord::appendBase(const std::filesystem::path& baseTable) {
    FleetRecordLine line;
    line.result = RecordResult::Base;
    line.time = recordTime();
    line.message = basePathText(path_, baseTable);
    return append(line);
}

bool FleetRecord::renumber(std::span<const RecordRowMove> moves) {
    FleetRecordText text;
    if (!readFile(text)) {
        return false;
    }
    std::string bytes = std::string(kRecordHeader) + "\n";
    for (FleetRecordLine& line : text.lines) {
        const auto move = std::ranges::find_if(moves, [&line](const RecordRowMove& m) {
            return line.result != RecordResult::Base && m.from == line.row && m.label == line.label;
        });
        if (move != moves.end()) {
            line.row = move->to;
        }
        bytes += formatRecordLine(line);
    }
    // The new text goes into a file beside it, which then takes its name: the
    // record is whole at every moment.
    std::filesystem::path fresh = path_;
    fresh += ".new";
    errno = 0;
    {
        std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            const int systemError = errno;
            std::error_code ignored;
            std::filesystem::remove(fresh, ignored);
            return fail("cannot write the record", systemError);
        }
    }
    std::error_code renamed;
    std::filesystem::rename(fresh, path_, renamed);
    if (renamed) {
        std::error_code ignored;
        std::filesystem::remove(fresh, ignored);
        return fail("cannot write the record", renamed.value());
    }
    lines_ = std::move(text.lines);
    knownSize_ = bytes.size();
    return true;
}
