#include "rules/PrintDocument.h"

#include "rules/FieldListing.h"
#include "rules/ToneRules.h"

namespace {

std::string lines(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += text.empty() ? "" : "\n";
        text += part;
    }
    return text;
}

std::string callText(const PlanCall& call) {
    if (call.kind == CallKind::Group) {
        return "Group CALL #" + std::to_string(call.call) + ": " + formatTone(call.tone1) + " Hz";
    }
    return "CALL #" + std::to_string(call.call) + ": " + formatTone(call.tone1) + " Hz, " +
           formatTone(call.tone2) + " Hz";
}

std::string percentText(int tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %";
}

// "2026-12-11 09:25 (firmware 1.86)" for a verified row; the attempt's
// result otherwise.
std::string recordText(const std::optional<FleetRecordLine>& line) {
    if (!line) {
        return "not written";
    }
    // "2026-12-11T09:25:47+01:00" to the minute; a time in another shape as
    // it stands.
    const std::string& time = line->time;
    const std::string when =
        time.size() >= 16 && time[10] == 'T' ? time.substr(0, 10) + " " + time.substr(11, 5) : time;
    switch (line->result) {
    case RecordResult::Verified:
        return when + (line->firmware.empty() ? "" : " (firmware " + line->firmware + ")");
    case RecordResult::Failed:
        return "failed " + when + ": " + line->message;
    case RecordResult::Skipped:
        return "skipped " + when;
    case RecordResult::Base:
        break;
    }
    return {};
}

} // namespace

PrintDocument configurationDocument(const ConfigImage& image, std::string_view title) {
    PrintDocument document{std::string(title), "PX520 configuration", {}};
    PrintTable fields{"", {"Field", "Value"}, {}};
    for (FieldListingRow& row : fieldListing(image)) {
        fields.rows.push_back({row.caption.empty() ? std::move(row.name) : std::move(row.caption),
                               std::move(row.value)});
    }
    document.tables.push_back(std::move(fields));
    return document;
}

PrintDocument fleetDocument(std::string_view title, std::span<const FleetPrintRow> rows) {
    PrintDocument document{std::string(title),
                           "PX520 fleet: " + std::to_string(rows.size()) +
                               (rows.size() == 1 ? " pager" : " pagers"),
                           {}};
    PrintTable table{
        "", {"Row", "Label", "Calls", "Group calls", "Bandwidth", "Written and verified"}, {}};
    for (const FleetPrintRow& row : rows) {
        std::vector<std::string> calls;
        std::vector<std::string> groups;
        for (const PlanCall& call : row.plan.calls) {
            (call.kind == CallKind::Group ? groups : calls).push_back(callText(call));
        }
        table.rows.push_back({std::to_string(row.row), row.label, lines(calls), lines(groups),
                              percentText(row.plan.bandwidth), recordText(row.record)});
    }
    document.tables.push_back(std::move(table));
    return document;
}
