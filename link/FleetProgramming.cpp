#include "link/FleetProgramming.h"

#include "link/Operations.h"

#include <utility>

FleetProgramming::FleetProgramming(std::vector<FleetPager> pagers, FleetRecord record,
                                   std::optional<std::filesystem::path> base, TCommPort& port,
                                   OperationView& view, FleetLink link)
    : pagers_(std::move(pagers)), record_(std::move(record)), base_(std::move(base)), port_(port),
      view_(view), link_(std::move(link)) {
    for (std::size_t i = 0; i < pagers_.size(); ++i) {
        if (!done(i)) {
            current_ = i;
            break;
        }
    }
}

bool FleetProgramming::done(std::size_t index) const {
    return record_.done(pagers_[index].row, pagers_[index].label);
}

std::size_t FleetProgramming::doneCount() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < pagers_.size(); ++i) {
        count += done(i) ? 1 : 0;
    }
    return count;
}

std::optional<std::size_t> FleetProgramming::current() const {
    return stopped_ ? std::nullopt : current_;
}

FleetPagerWrite FleetProgramming::program() {
    const FleetPager& pager = pagers_.at(*current());
    ConfigImage image = pager.image;
    PagerOperations operations(port_, view_, image, link_.tag, link_.timing, link_.wait);
    operations.holdPort(true);
    FleetPagerWrite written = writeFleetPager(operations, link_.portName, pager.row, pager.label);
    record(written.line);
    if (written.verified()) {
        moveOn();
    }
    return written;
}

void FleetProgramming::skip() {
    const FleetPager& pager = pagers_.at(*current());
    FleetRecordLine line;
    line.row = pager.row;
    line.label = pager.label;
    line.result = RecordResult::Skipped;
    line.time = recordTime();
    record(line);
    moveOn();
}

void FleetProgramming::record(const FleetRecordLine& line) {
    const bool written =
        (!record_.empty() || !base_ || record_.appendBase(*base_)) && record_.append(line);
    if (!written) {
        recordError_ = record_.error();
        stopped_ = true;
    }
}

void FleetProgramming::moveOn() {
    const std::size_t from = *current_;
    for (std::size_t step = 1; step <= pagers_.size(); ++step) {
        const std::size_t next = (from + step) % pagers_.size();
        if (!done(next)) {
            current_ = next;
            return;
        }
    }
    current_.reset();
}
