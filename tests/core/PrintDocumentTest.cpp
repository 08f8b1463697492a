#include "rules/PrintDocument.h"
#include "rules/FieldListing.h"

#include "model/DefaultImage.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Cells = std::vector<std::string>;

// Every field, by caption where the window has one, with show's value.
TEST(PrintDocument, AConfigurationListsEveryFieldAsShowDoes) {
    const ConfigImage image = defaultImage();
    const PrintDocument document = configurationDocument(image, "shop.tbl");
    EXPECT_EQ(document.title, "shop.tbl");
    ASSERT_EQ(document.tables.size(), 1u);
    const PrintTable& fields = document.tables.front();
    EXPECT_EQ(fields.columns, (Cells{"Field", "Value"}));
    const std::vector<FieldListingRow> listing = fieldListing(image);
    ASSERT_EQ(fields.rows.size(), listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i) {
        EXPECT_EQ(fields.rows[i][0],
                  listing[i].caption.empty() ? listing[i].name : listing[i].caption);
        EXPECT_EQ(fields.rows[i][1], listing[i].value);
    }
    const auto bandwidth = std::ranges::find(fields.rows, Cells{"Decoder Bandwidth", "1.5 %"});
    EXPECT_NE(bandwidth, fields.rows.end());
}

TEST(PrintDocument, AFleetRowShowsItsCallsBandwidthAndRecord) {
    const PlanPager plan{15,
                         {{CallKind::Individual, 1, 10069, 7073},
                          {CallKind::Individual, 3, 15135, 7073},
                          {CallKind::Group, 2, 12000, 0}}};
    const auto line = [](RecordResult result, std::string time, std::string message) {
        return FleetRecordLine{1, "A", result, std::move(time), "1.86", std::move(message)};
    };
    struct Case {
        std::optional<FleetRecordLine> record;
        std::string shown;
    };
    const Case cases[] = {
        {std::nullopt, "not written"},
        {line(RecordResult::Verified, "2026-12-11T09:25:47+01:00", ""),
         "2026-12-11 09:25 (firmware 1.86)"},
        {line(RecordResult::Failed, "2026-12-11T09:25:47+01:00", "Write Error !"),
         "failed 2026-12-11 09:25: Write Error !"},
        {line(RecordResult::Skipped, "2026-12-11T09:25:47+01:00", ""), "skipped 2026-12-11 09:25"},
        // A time edited by hand is shown as it stands.
        {line(RecordResult::Verified, "yesterday", ""), "yesterday (firmware 1.86)"},
    };
    for (const Case& c : cases) {
        const FleetPrintRow row{4, "unit D", plan, c.record};
        const PrintDocument document = fleetDocument("fleet.csv", std::span(&row, 1));
        EXPECT_EQ(document.subtitle, "PX520 fleet: 1 pager");
        ASSERT_EQ(document.tables.size(), 1u);
        EXPECT_EQ(document.tables[0].columns, (Cells{"Row", "Label", "Calls", "Group calls",
                                                     "Bandwidth", "Written and verified"}));
        EXPECT_EQ(
            document.tables[0].rows.at(0),
            (Cells{"4", "unit D", "CALL #1: 1006.9 Hz, 707.3 Hz\nCALL #3: 1513.5 Hz, 707.3 Hz",
                   "Group CALL #2: 1200.0 Hz", "1.5 %", c.shown}));
    }
}

} // namespace
