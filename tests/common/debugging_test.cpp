#include "common/debugging.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;

std::tm at(int day, int month1, int hour, int minute) {
    std::tm t{};
    t.tm_mday = day;
    t.tm_mon = month1 - 1;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_year = 126;
    return t;
}

// Hands out the given times one per line; the last one repeats.
Debugging::Clock clockOf(std::deque<std::tm> times) {
    return [times]() mutable {
        std::tm next = times.front();
        if (times.size() > 1) {
            times.pop_front();
        }
        return next;
    };
}

using test::readBytes;

class DebuggingTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_ / "readonly", fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::path log() const { return dir_ / "KRVXR.debug"; }

    test::TempDir tmp_;
    const fs::path& dir_ = tmp_.path();
};

TEST(DebuggingTimeStamp, FollowsDayMonthHourMinutePattern) {
    struct Case {
        std::tm time;
        RegionalSettings settings;
        const char* expected;
    };
    const Case cases[] = {
        {at(6, 12, 9, 5), RegionalSettings::german(), "6 Dezember 9:05"},
        {at(31, 1, 10, 7), RegionalSettings::german(), "31 Januar 10:07"},
        {at(2, 5, 8, 10), RegionalSettings::german(), "2 Mai 8:10"},
        {at(1, 3, 0, 0), RegionalSettings::german(), "1 März 0:00"},
        {at(15, 5, 23, 59), RegionalSettings::german(), "15 Mai 23:59"},
        {at(9, 10, 12, 30), RegionalSettings::english(), "9 October 12:30"},
    };
    for (const Case& c : cases) {
        const Debugging log("unused", c.settings);
        EXPECT_EQ(log.timeStamp(c.time), c.expected);
    }
}

TEST_F(DebuggingTest, TwoRunsAppendTheirTracesByteForByte) {
    {
        Debugging run(log(), RegionalSettings::german(),
                      clockOf({at(6, 12, 9, 5), at(6, 12, 9, 5), at(6, 12, 9, 5), at(6, 12, 9, 6), at(6, 12, 10, 7)}));
        run.beginDebugging();
        ASSERT_TRUE(run.debugOn());
        run.writeDebug("Start: CmdZeit_Click");
        run.writeDebug("Ende: CmdZeit_Click");
        run.endDebugging();
        EXPECT_FALSE(run.debugOn());
    }
    {
        Debugging run(log(), RegionalSettings::german(),
                      clockOf({at(1, 3, 0, 0), at(1, 3, 0, 0), at(1, 3, 0, 0), at(1, 3, 23, 59)}));
        run.beginDebugging();
        run.writeDebug("Grüße, äöü");
        run.endDebugging();
    }
    EXPECT_EQ(readBytes(log()), test::golden("common", "two_runs.debug"));
}

TEST_F(DebuggingTest, LinesOutsideTheOpenLogAreDropped) {
    Debugging run(log(), RegionalSettings::german(), clockOf({at(2, 4, 8, 15)}));
    run.writeDebug("Start: addSchiff"); // before the log is opened
    run.endDebugging(); // not open: writes nothing
    EXPECT_FALSE(fs::exists(log()));

    run.beginDebugging();
    run.writeDebug("a\r\nb"); // no escaping: two physical lines
    run.endDebugging();
    run.writeDebug("Start: CmdTausch_Click"); // after the log is closed
    run.endDebugging();
    EXPECT_EQ(readBytes(log()),
              "2 April 8:15    \r\n2 April 8:15    Begin Debugging\r\n2 April 8:15    a\r\nb\r\n"
              "2 April 8:15    End Debugging\r\n");
}

TEST_F(DebuggingTest, LogThatCannotBeOpenedStaysOffAndWritesNothing) {
    struct Case {
        const char* what;
        fs::path file;
        bool needsPermissionChecks;
    };
    fs::create_directory(dir_ / "KRVXR.debug");
    fs::create_directory(dir_ / "readonly");
    fs::permissions(dir_ / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
    const Case cases[] = {
        {"the name is a folder", dir_ / "KRVXR.debug", false},
        {"the folder is missing", dir_ / "missing" / "KRVXR.debug", false},
        {"the folder is read-only", dir_ / "readonly" / "KRVXR.debug", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsPermissionChecks && geteuid() == 0) {
            continue; // root writes into read-only folders
        }
        Debugging run(c.file, RegionalSettings::german(), clockOf({at(1, 1, 1, 1)}));
        run.beginDebugging();
        EXPECT_FALSE(run.debugOn());
        run.writeDebug("Start: CmdZeit_Click");
        run.endDebugging();
        EXPECT_FALSE(fs::is_regular_file(c.file));
    }
    EXPECT_TRUE(fs::is_empty(dir_ / "KRVXR.debug"));
    EXPECT_TRUE(fs::is_empty(dir_ / "readonly"));
}

TEST(DebuggingWriteFailure, FailedWriteTurnsTheLogOff) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    Debugging run("/dev/full", RegionalSettings::german(), clockOf({at(1, 1, 1, 1)}));
    run.beginDebugging(); // opens, but the first line cannot be written
    EXPECT_FALSE(run.debugOn());
    run.writeDebug("Start: CmdZeit_Click");
    run.endDebugging();
    EXPECT_FALSE(run.debugOn());
}

} // namespace
} // namespace krvx
