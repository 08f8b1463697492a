#include "link/FleetWrite.h"

#include "link/OperationMessages.h"

FleetPagerWrite writeFleetPager(PagerOperations& operations, const std::string& port, int row,
                                std::string_view label) {
    FleetPagerWrite written;
    written.outcome = operations.writePager(port);
    written.line = fleetRecordLine(row, label, written.outcome, recordTime());
    return written;
}

FleetRecordLine fleetRecordLine(int row, std::string_view label, const OperationOutcome& outcome,
                                std::string time) {
    FleetRecordLine line;
    line.row = row;
    line.label = std::string(label);
    line.time = std::move(time);
    if (outcome.firmware) {
        line.firmware = outcome.firmware->text();
    }
    if (outcome.succeeded()) {
        line.result = RecordResult::Verified;
        return line;
    }
    line.result = RecordResult::Failed;
    if (const auto message = outcomeMessage(outcome)) {
        std::string first = message->text.substr(0, message->text.find('\n'));
        first.erase(first.find_last_not_of(' ') + 1);
        line.message = std::move(first);
    }
    return line;
}
