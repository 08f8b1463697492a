#include "link/FleetProgramming.h"
#include "model/ByteMap.h"
#include "model/DefaultImage.h"
#include "model/WritePreparation.h"
#include "sim/BoardEmulator.h"
#include "tests/link/RecordingView.h"
#include "tests/support/FleetPagers.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr LinkTiming kFast{101, 2ms};

std::string text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FleetProgrammingTest : public ::testing::Test {
protected:
    FleetProgrammingTest() {
        dir = fs::temp_directory_path() /
              ("px520-fleet-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        board.setMemory(freshPager());
        board.start();
    }
    ~FleetProgrammingTest() override { fs::remove_all(dir); }

    FleetProgramming walker() {
        FleetRecord record(dir / "fleet.record.csv");
        EXPECT_TRUE(record.load()) << record.error();
        return FleetProgramming(pagers, std::move(record), dir / "base.tbl", port, view,
                                {board.slavePath(), makeVersionTag(kWindowCaption), kFast, {}});
    }

    fs::path dir;
    BoardEmulator board;
    TCommPort port;
    RecordingView view;
    std::vector<FleetPager> pagers{row(1, "unit A"), row(2, "unit B, spare"), row(3, "unit C")};
};

// Three pagers, the second refusing a store; skipped, then resumed in a
// second run: each pager ends with its own row, and the record tells it all.
TEST_F(FleetProgrammingTest, ProgramsEachRowAndResumesAtTheFirstNotDone) {
    {
        FleetProgramming run = walker();
        ASSERT_EQ(run.current(), 0u);
        EXPECT_TRUE(run.program().verified());
        EXPECT_EQ(board.memory(), asWritten(pagers[0].image));

        board.setMemory(freshPager());
        BoardFaults refusal;
        refusal.badAckStore = 32 + 5; // the first pager took 32 stores
        board.setFaults(refusal);
        ASSERT_EQ(run.current(), 1u);
        const FleetPagerWrite failed = run.program();
        EXPECT_FALSE(failed.verified());
        EXPECT_TRUE(failed.partlyWritten());
        EXPECT_EQ(failed.line.message, "Write Error !");
        EXPECT_FALSE(run.done(1));
        // A failed pager stays the one to seat, until it is skipped.
        ASSERT_EQ(run.current(), 1u);
        run.skip();

        board.setFaults({});
        board.setMemory(freshPager());
        ASSERT_EQ(run.current(), 2u);
        EXPECT_TRUE(run.program().verified());
        EXPECT_EQ(board.memory(), asWritten(pagers[2].image));
        // Round to the one passed over.
        EXPECT_EQ(run.current(), 1u);
        EXPECT_EQ(run.doneCount(), 2u);
        run.stop();
        EXPECT_EQ(run.current(), std::nullopt);
    }
    const std::string time = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)";
    const std::string pattern = std::regex_replace(
        "row,label,result,time,firmware,message\n,,base,T,,base.tbl\n1,unit A,verified,T,1.86,\n"
        "2,\"unit B, spare\",failed,T,1.86,Write Error !\n2,\"unit B, spare\",skipped,T,,\n"
        "3,unit C,verified,T,1.86,\n",
        std::regex(",T,"), "," + time + ",");
    const std::string first = text(dir / "fleet.record.csv");
    EXPECT_TRUE(std::regex_match(first, std::regex(pattern))) << first;

    board.setMemory(freshPager());
    FleetProgramming resumed = walker();
    EXPECT_EQ(resumed.doneCount(), 2u);
    ASSERT_EQ(resumed.current(), 1u);
    EXPECT_TRUE(resumed.program().verified());
    EXPECT_EQ(board.memory(), asWritten(pagers[1].image));
    EXPECT_EQ(resumed.current(), std::nullopt);
    EXPECT_EQ(resumed.doneCount(), 3u);
    const std::string second = text(dir / "fleet.record.csv");
    EXPECT_TRUE(second.starts_with(first));
    EXPECT_TRUE(std::regex_match(second.substr(first.size()),
                                 std::regex("2,\"unit B, spare\",verified," + time + ",1.86,\n")));
}

// A board that does not answer fails the pager; the record says why and
// nothing is marked done.
TEST_F(FleetProgrammingTest, ASilentBoardIsRecordedAsFailed) {
    BoardFaults silent;
    silent.silent = true;
    board.setFaults(silent);
    FleetProgramming run = walker();
    const FleetPagerWrite failed = run.program();
    EXPECT_EQ(failed.outcome.result, OperationResult::BoardSilent);
    EXPECT_EQ(failed.line.result, RecordResult::Failed);
    EXPECT_EQ(failed.line.message, "The Board is not responding !");
    EXPECT_EQ(failed.line.firmware, "");
    EXPECT_EQ(run.doneCount(), 0u);
    EXPECT_EQ(run.current(), 0u);
}

// A record that cannot be written stops the run after the pager in hand.
TEST_F(FleetProgrammingTest, ARecordThatCannotBeWrittenStopsTheRun) {
    FleetRecord record(dir / "gone" / "fleet.record.csv");
    ASSERT_TRUE(record.load());
    FleetProgramming run(pagers, std::move(record), std::nullopt, port, view,
                         {board.slavePath(), makeVersionTag(kWindowCaption), kFast, {}});
    EXPECT_TRUE(run.program().verified());
    EXPECT_TRUE(run.stopped());
    EXPECT_EQ(run.current(), std::nullopt);
    EXPECT_NE(run.recordError().find("cannot write the record"), std::string::npos);
}

} // namespace
