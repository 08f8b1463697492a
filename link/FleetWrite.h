#pragma once

#include "link/OperationOutcome.h"
#include "link/Operations.h"
#include "model/FleetRecord.h"

#include <string>
#include <string_view>

// One pager of a fleet, written as the Pager menu's Write does it: its row's
// configuration prepared for the pager's firmware (marks, version tag,
// checksum), stored block by block and verified. px520-cli and the window
// both write fleets through here.

inline constexpr std::string_view kPartlyWritten =
    "the pager may hold part of the new configuration; write it again.";

struct FleetPagerWrite {
    OperationOutcome outcome;
    // What the record keeps of it.
    FleetRecordLine line;

    bool verified() const { return outcome.succeeded(); }
    // A store failed: the pager holds part of the new configuration.
    bool partlyWritten() const {
        return !outcome.succeeded() && outcome.failedStep == OperationStep::StoreBlocks;
    }
};

// Writes the image the operations work on (the row's configuration) into
// the pager on `port`; the image then holds what was stored.
FleetPagerWrite writeFleetPager(PagerOperations& operations, const std::string& port, int row,
                                std::string_view label);

// The record's line for a row's outcome: verified, with the pager's firmware,
// only when it was written and verified; else failed, with the first line of
// what went wrong.
FleetRecordLine fleetRecordLine(int row, std::string_view label, const OperationOutcome& outcome,
                                std::string time);
