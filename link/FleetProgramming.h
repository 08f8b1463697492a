#pragma once

#include "link/FleetWrite.h"
#include "link/OperationView.h"
#include "link/Protocol.h"
#include "link/TCommPort.h"
#include "model/ConfigImage.h"
#include "model/FleetRecord.h"
#include "model/VersionTag.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// One pager of a fleet: its sheet row (1 = the first data row), its label
// and its configuration (the base with the row's values set).
struct FleetPager {
    int row = 0;
    std::string label;
    ConfigImage image{};
};

// Where a fleet's pagers are written: the port and its view, and how the
// line waits.
struct FleetLink {
    std::string portName;
    VersionTag tag = makeVersionTag(kWindowCaption);
    LinkTiming timing{};
    LinkWait wait{};
};

// Programming a fleet in turn, one pager seated after another. A pager is
// done when its record says it was written and verified; the run starts at
// the first pager not done, goes on to the next not done after each
// verified or skipped one, and comes round to those passed over until every
// pager is done or the user stops. A pager that fails stays the one to seat,
// to be seated again or skipped. Every attempt is appended to the record.
class FleetProgramming {
public:
    // base: the base table file, named on a base line when the record is
    // new.
    FleetProgramming(std::vector<FleetPager> pagers, FleetRecord record,
                     std::optional<std::filesystem::path> base, TCommPort& port,
                     OperationView& view, FleetLink link);

    std::size_t size() const { return pagers_.size(); }
    const FleetPager& pager(std::size_t index) const { return pagers_[index]; }
    bool done(std::size_t index) const;
    std::size_t doneCount() const;

    // The pager to seat now; none once every pager is done or the run
    // stopped.
    std::optional<std::size_t> current() const;

    // Writes and verifies the current pager and records the result.
    FleetPagerWrite program();
    // Records the current pager as skipped and moves on.
    void skip();
    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }

    // Why the run stopped by itself: the record could not be written.
    const std::string& recordError() const { return recordError_; }

private:
    void record(const FleetRecordLine& line);
    // The next pager not done after the current one, coming round.
    void moveOn();

    std::vector<FleetPager> pagers_;
    FleetRecord record_;
    std::optional<std::filesystem::path> base_;
    TCommPort& port_;
    OperationView& view_;
    FleetLink link_;
    std::optional<std::size_t> current_;
    bool stopped_ = false;
    std::string recordError_;
};
