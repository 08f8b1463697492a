#include "model/FleetRecord.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kHeader = "row,label,result,time,firmware,message\n";

class FleetRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("px520-record-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    void write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir;
};

FleetRecordLine line(int row, std::string label, RecordResult result, std::string message = {}) {
    return {row, std::move(label), result, "2026-12-11T09:25:47+01:00", "1.86", std::move(message)};
}

// Which line counts for sheet row 2 labelled "unit B".
TEST_F(FleetRecordTest, ARowTakesItsLastLineOfTheSameNumberAndLabel) {
    struct Case {
        const char* what;
        std::string text;
        std::optional<std::string> result; // of the line that counts, none when none does
    };
    const Case cases[] = {
        {"a matching line", "2,unit B,verified,T,1.86,\n", "verified"},
        {"another label, as after a reorder", "2,unit C,verified,T,1.86,\n", std::nullopt},
        {"another row", "3,unit B,verified,T,1.86,\n", std::nullopt},
        {"the last line wins", "2,unit B,verified,T,1.86,\n2,unit B,failed,T,1.86,Write Error !\n",
         "failed"},
        {"a later line of another label does not hide it",
         "2,unit B,skipped,T,,\n2,unit X,verified,T,1.86,\n", "skipped"},
        {"a last line a crash cut short", "2,unit B,failed,T,1.86,x\n2,unit B,verif", "failed"},
        {"a cut line inside a quoted message",
         "2,unit B,skipped,T,,\n2,unit B,failed,T,1.86,\"Write", "skipped"},
        {"a line of another shape", "2,unit B,verified,T\n", std::nullopt},
        {"an unknown result", "2,unit B,written,T,1.86,\n", std::nullopt},
        {"a quoted label", "2,\"unit B\",verified,T,,\n", "verified"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write(dir / "r.csv", kHeader + c.text);
        FleetRecord record(dir / "r.csv");
        ASSERT_TRUE(record.load()) << record.error();
        const FleetRecordLine* found = record.last(2, "unit B");
        ASSERT_EQ(found != nullptr, c.result.has_value());
        if (found != nullptr) {
            const auto text = formatRecordLine(*found);
            EXPECT_NE(text.find("," + *c.result + ","), std::string::npos) << text;
        }
    }
}

TEST_F(FleetRecordTest, LinesRoundTripWithQuotedCells) {
    const fs::path path = dir / "fleet.record.csv";
    FleetRecord record(path);
    ASSERT_TRUE(record.load());
    EXPECT_TRUE(record.empty());
    const FleetRecordLine odd = line(7, "unit \"G\", spare\nshelf 2", RecordResult::Failed,
                                     "This model is not PX520. This model is X,Y");
    ASSERT_TRUE(record.append(line(1, "unit A", RecordResult::Verified)));
    ASSERT_TRUE(record.append(odd));
    EXPECT_EQ(read(path), kHeader + "1,unit A,verified,2026-12-11T09:25:47+01:00,1.86,\n" +
                              "7,\"unit \"\"G\"\", spare\nshelf 2\",failed,"
                              "2026-12-11T09:25:47+01:00,1.86,"
                              "\"This model is not PX520. This model is X,Y\"\n");
    FleetRecord again(path);
    ASSERT_TRUE(again.load());
    ASSERT_NE(again.last(7, odd.label), nullptr);
    EXPECT_EQ(*again.last(7, odd.label), odd);
    EXPECT_TRUE(again.done(1, "unit A"));
    EXPECT_FALSE(again.done(7, odd.label));
}

// A crash in the middle of a line leaves a fragment: the next append drops
// it and every whole line before it stays.
TEST_F(FleetRecordTest, AnAppendAfterACrashDropsTheCutLineOnly) {
    const fs::path path = dir / "r.csv";
    const std::string whole = kHeader + "1,unit A,verified,T,1.86,\n";
    for (const std::string& fragment :
         {std::string("2,\"unit"), std::string("2,unit B,verif"), std::string("row,lab")}) {
        SCOPED_TRACE(fragment);
        const bool headerCut = fragment.starts_with("row");
        write(path, headerCut ? fragment : whole + fragment);
        FleetRecord record(path);
        ASSERT_TRUE(record.load()) << record.error();
        ASSERT_TRUE(record.append(line(2, "unit B", RecordResult::Skipped)));
        const std::string added = formatRecordLine(line(2, "unit B", RecordResult::Skipped));
        EXPECT_EQ(read(path), (headerCut ? kHeader : whole) + added);
    }
}

// Another program (px520-cli) appended meanwhile: its lines stay.
TEST_F(FleetRecordTest, AnAppendKeepsLinesAnotherProgramAdded) {
    const fs::path path = dir / "r.csv";
    FleetRecord window(path);
    ASSERT_TRUE(window.load());
    ASSERT_TRUE(window.append(line(1, "a", RecordResult::Verified)));
    FleetRecord cli(path);
    ASSERT_TRUE(cli.load());
    ASSERT_TRUE(cli.append(line(2, "b", RecordResult::Verified)));
    ASSERT_TRUE(window.append(line(3, "c", RecordResult::Failed, "Write Error !")));
    FleetRecord after(path);
    ASSERT_TRUE(after.load());
    EXPECT_EQ(after.lines().size(), 3u);
}

TEST_F(FleetRecordTest, AFileThatIsNoRecordIsLeftAlone) {
    const fs::path path = dir / "fleet.csv";
    const std::string sheet = "label,T1[1]\nunit A,1000\n";
    write(path, sheet);
    FleetRecord record(path);
    EXPECT_FALSE(record.load());
    EXPECT_EQ(record.error(), path.string() + " is not a record: its first line is not "
                                              "\"row,label,result,time,firmware,message\"");
    EXPECT_FALSE(record.append(line(1, "unit A", RecordResult::Verified)));
    EXPECT_EQ(read(path), sheet);

    FleetRecord unwritable(dir / "no-folder" / "r.csv");
    ASSERT_TRUE(unwritable.load());
    EXPECT_FALSE(unwritable.append(line(1, "unit A", RecordResult::Verified)));
    EXPECT_NE(unwritable.error().find("cannot write the record"), std::string::npos);
}

TEST_F(FleetRecordTest, TheBasePathIsRelativeWhenItLiesInTheRecordsFolder) {
    const fs::path record = dir / "job" / "fleet.record.csv";
    fs::create_directories(dir / "job" / "tables");
    struct Case {
        fs::path base;
        std::string stored;
    };
    const Case cases[] = {
        {dir / "job" / "base.tbl", "base.tbl"},
        {dir / "job" / "tables" / "base.tbl", "tables/base.tbl"},
        {dir / "other" / "base.tbl", (dir / "other" / "base.tbl").string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(basePathText(record, c.base), c.stored);
        EXPECT_EQ(basePathOf(record, c.stored), c.base);
    }
    FleetRecord written(record);
    ASSERT_TRUE(written.load());
    ASSERT_TRUE(written.appendBase(dir / "job" / "tables" / "base.tbl"));
    FleetRecord read(record);
    ASSERT_TRUE(read.load());
    EXPECT_EQ(read.base(), dir / "job" / "tables" / "base.tbl");
    EXPECT_EQ(read.lines().front().row, 0);
    EXPECT_EQ(read.last(0, ""), nullptr);
}

TEST_F(FleetRecordTest, RenumberingFollowsTheRowsThatMoved) {
    const fs::path path = dir / "r.csv";
    write(path, kHeader + ",,base,T,,base.tbl\n1,A,verified,T,1.86,\n2,B,failed,T,1.86,x\n" +
                    "3,C,verified,T,1.86,\n3,Z,verified,T,1.86,\n");
    FleetRecord record(path);
    ASSERT_TRUE(record.load());
    // B and C swap places; A stays.
    const RecordRowMove moves[] = {{2, 3, "B"}, {3, 2, "C"}};
    ASSERT_TRUE(record.renumber(moves)) << record.error();
    EXPECT_EQ(read(path), kHeader + ",,base,T,,base.tbl\n1,A,verified,T,1.86,\n" +
                              "3,B,failed,T,1.86,x\n2,C,verified,T,1.86,\n3,Z,verified,T,1.86,\n");
    EXPECT_TRUE(record.done(2, "C"));
    EXPECT_FALSE(fs::exists(dir / "r.csv.new"));
}

// Sets the process's time zone, or clears it for nullptr; Windows' C library
// names the calls differently.
void setZone(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone != nullptr ? zone : "");
    _tzset();
#else
    if (zone != nullptr) {
        ::setenv("TZ", zone, 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
#endif
}

TEST(FleetRecordTime, LocalTimeWithItsOffset) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved != nullptr ? saved : "";
    struct Case {
        const char* zone;
        std::time_t time;
        const char* text;
    };
    // POSIX zones count west of Greenwich as positive.
    const Case cases[] = {
        {"UTC0", 86400, "1970-01-02T00:00:00+00:00"},
        {"XST-5:30", 86400, "1970-01-02T05:30:00+05:30"},
        {"YST+3", 86400, "1970-01-01T21:00:00-03:00"},
        {"YST+3", 0, "1969-12-31T21:00:00-03:00"},
        {"ZST-14", 86400 * 364 + 43200, "1971-01-01T02:00:00+14:00"},
    };
    for (const Case& c : cases) {
        setZone(c.zone);
        EXPECT_EQ(recordTime(c.time), c.text) << c.zone;
    }
    setZone(saved != nullptr ? previous.c_str() : nullptr);
    EXPECT_TRUE(std::regex_match(recordTime(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")));
}

TEST(FleetRecordPath, BesideTheSheet) {
    EXPECT_EQ(recordPathFor("jobs/fleet.csv"), std::filesystem::path("jobs/fleet.record.csv"));
    EXPECT_EQ(recordPathFor("fleet"), std::filesystem::path("fleet.record.csv"));
}

} // namespace
