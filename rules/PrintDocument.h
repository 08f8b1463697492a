#pragma once

#include "model/ConfigImage.h"
#include "model/FleetRecord.h"
#include "rules/TonePlan.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What is printed or exported as PDF, before any page: a title, a line
// under it, and tables with their headings. A cell may hold several lines.
struct PrintTable {
    std::string heading;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

struct PrintDocument {
    std::string title;
    std::string subtitle;
    std::vector<PrintTable> tables;
};

// One configuration's fields by caption and value, as show lists them
// (bytes the tool does not interpret by their name).
PrintDocument configurationDocument(const ConfigImage& image, std::string_view title);

// One row of a fleet as printed: what its tone plan holds and what the
// record says of it.
struct FleetPrintRow {
    int row = 0;
    std::string label;
    PlanPager plan;
    std::optional<FleetRecordLine> record;
};

// A fleet's rows: label, calls and their tones, group calls, decoder
// bandwidth, and when each was written and verified.
PrintDocument fleetDocument(std::string_view title, std::span<const FleetPrintRow> rows);
