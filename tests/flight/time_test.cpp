#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "LogLines.h"
#include "flight/Flugzeit.h"
#include "flight/MdmZeit.h"

namespace krvx {
namespace {

struct Split {
    std::int32_t seconds;
    std::int32_t hours;
    std::int32_t minutes;
};

TEST(HhmmPart, HoursAndMinutesComeExactlyFromTheSeconds) {
    const std::vector<Split> cases = {
        {0, 0, 0},          {59, 0, 0},          {3599, 0, 59},     {3600, 1, 0},
        {3660, 1, 1},       {7260, 2, 1},        {1260, 0, 21},     {86399, 23, 59},
        {90000, 25, 0},     {26492, 7, 21},      {75315, 20, 55},   {200000, 55, 33},
        {-60, -1, 59},      {-3660, -2, 59},     {INT32_MAX, 596523, 14},
        {INT32_MIN, -596524, 45},
    };
    for (const Split& c : cases) {
        EXPECT_EQ(MdmZeit::hhmmPart(c.seconds, "HH"), c.hours) << c.seconds;
        EXPECT_EQ(MdmZeit::hhmmPart(c.seconds, "MM"), c.minutes) << c.seconds;
    }
}

TEST(HhmmPart, AnySelectorButMinutesGivesHours) {
    EXPECT_EQ(MdmZeit::hhmmPart(7260, "xx"), 2);
    EXPECT_EQ(MdmZeit::hhmmPart(7260, ""), 2);
    EXPECT_EQ(MdmZeit::hhmmPart(7260, "mm"), 2);
}

TEST(MdmZeitPadRight, FillsToTheMinimumInCharacters) {
    EXPECT_EQ(MdmZeit::padRight("abc", 5), "abc  ");
    EXPECT_EQ(MdmZeit::padRight("abcdef", 3), "abcdef");
    EXPECT_EQ(MdmZeit::padRight("Läufer", 8), "Läufer  ");
}

Planeten listOf(std::vector<PlanetEintrag> entries) {
    Planeten list;
    for (auto& e : entries) {
        EXPECT_TRUE(list.add(e));
    }
    return list;
}

struct Flight {
    PlanetEintrag from;
    PlanetEintrag to;
    const char* speed;
    std::optional<std::int32_t> seconds;
    const char* text;
};

TEST(Flugzeit, WorkedFlights) {
    const std::vector<Flight> cases = {
        {{"a", 1, 1, 3}, {"b", 1, 1, 7}, "1000", 11000, "03:03"},
        {{"a", 1, 100, 5}, {"b", 2, 150, 5}, "5000", 26492, "07:21"},
        {{"a", 1, 1, 1}, {"b", 4, 9, 2}, "2000", 75315, "20:55"},
        {{"a", 1, 1, 1}, {"b", 1, 1, 2}, "4000", 2562, "00:42"},   // 2562.5 to the even neighbour
        {{"a", 1, 1, 1}, {"b", 1, 1, 8}, "4000", 2938, "00:48"},   // 11750 / 4 = 2937.5, up to even
        {{"a", 3, 42, 8}, {"b", 3, 42, 1}, "7500", 1567, "00:26"},
        {{"a", 5, 5, 5}, {"b", 5, 5, 5}, "1000", 0, "00:00"},
        {{"a", 1, 1, 1}, {"b", 2, 1, 1}, "1000", 89460, "24:51"},  // 24 hours are not wrapped
        {{"a", -32768, -32768, -32768}, {"b", 32767, 32767, 32767}, "1000", 996'890'350, "276913:59"},
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "1 000", 10500, "02:55"},  // blanks inside the number
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "2000abc", 5250, "01:27"},
        // no sound duration: the boxes stay as they are
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "0", std::nullopt, ""},
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "abc", std::nullopt, ""},
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "-1000", std::nullopt, ""},
        {{"a", 1, 1, 1}, {"b", 9, 9, 9}, "0.0001", std::nullopt, ""},  // beyond 32 bits
    };
    for (const Flight& c : cases) {
        test::LogLines log;
        const Planeten list = listOf({{"Erster", 0, 0, 0}, c.from, c.to});
        const std::optional<std::int32_t> seconds = Flugzeit(1, 2, list, speedFactor(c.speed), log.log);
        EXPECT_EQ(seconds, c.seconds) << c.speed << " to " << c.to.Galaxie;
        if (seconds) {
            EXPECT_EQ(hhmmAsString(*seconds, log.log), c.text);
        }
    }
}

TEST(Flugzeit, TheFirstEntryAndMissingEntriesTakeNoPart) {
    test::LogLines log;
    const Planeten list = listOf({{"Basis", 1, 1, 1}, {"Heimat", 1, 1, 3}, {"Mine", 1, 1, 7}});
    const double f = speedFactor("1000");
    EXPECT_EQ(Flugzeit(1, 2, list, f, log.log), 11000);
    EXPECT_EQ(Flugzeit(0, 2, list, f, log.log), 0);
    EXPECT_EQ(Flugzeit(2, 0, list, f, log.log), 0);
    EXPECT_EQ(Flugzeit(-1, 2, list, f, log.log), 0);
    EXPECT_EQ(Flugzeit(1, 3, list, f, log.log), 0);
    EXPECT_EQ(Flugzeit(1, 2, Planeten{}, f, log.log), 0);
}

TEST(Flugzeit, LogsAroundEachEvaluation) {
    test::LogLines log;
    const Planeten list = listOf({{"Basis", 1, 1, 1}, {"Heimat", 1, 1, 3}, {"Mine", 1, 1, 7}});
    Flugzeit(1, 2, list, 1.0, log.log);
    Flugzeit(1, 2, list, 0.0, log.log);
    hhmmAsString(11000, log.log);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"Start: Flugzeit()", "Ende: Flugzeit()", "Start: Flugzeit()",
                                                    "Ende: Flugzeit()", "Start: hhmmAsString()",
                                                    "Ende: hhmmAsString()"}));
}

struct Clock {
    const char* time;
    std::int32_t seconds;
    std::optional<std::string> result;
};

TEST(ArrivalFromStart, AddsTheDurationAndCountsDays) {
    const std::vector<Clock> cases = {
        {"22:30", 26492, "05:51 + 1 Tage"},
        {"10:39", 1260, "11:00"},
        {"23:59", 75315, "20:54 + 1 Tage"},
        {"00:00", 200000, "07:33 + 2 Tage"},
        {"22:30", 11000, "01:33 + 1 Tage"},
        {"00:00", 3660, "01:01"},
        {"00:00", 7260, "02:01"},
        {"00:00", 172800, "00:00 + 2 Tage"},
        {"23:00", 3600, "00:00 + 1 Tage"},
        {"10:99", 0, "11:39"},               // minutes out of range carry once
        {"10:150", 0, "11:90"},
        {"05:51 + 1 Tage", 0, "05:51"},      // a day suffix in the input is ignored
        {" 7:5", 0, "07:05"},
        {"7.5:0", 0, "08:00"},               // halves go to the even neighbour
        {"6.5:0", 0, "06:00"},
        {":30", 0, "00:30"},
        {"-2:00", 0, "-02:00"},
        {"2230", 11000, std::nullopt},       // no ':'
        {"", 11000, std::nullopt},
        {"40000:00", 0, std::nullopt},       // beyond 16 bits
        {"00:40000", 0, std::nullopt},
        {"0:0", INT32_MAX, "03:14 + 24855 Tage"},
    };
    for (const Clock& c : cases) {
        EXPECT_EQ(arrivalFromStart(c.time, c.seconds), c.result) << c.time << " + " << c.seconds;
    }
}

TEST(StartFromArrival, SubtractsTheDurationAndCountsDaysBack) {
    const std::vector<Clock> cases = {
        {"01:10", 26492, "17:49 - 1 Tage"},
        {"12:00", 11000, "08:57"},
        {"01:00", 11000, "21:57 - 1 Tage"},
        {"00:00", 200000, "16:27 - 3 Tage"},
        {"00:00", 86400, "00:00 - 1 Tage"},
        {"00:00", 86460, "23:59 - 2 Tage"},
        {"01:01", 3660, "00:00"},
        {"-5:00", 0, "19:00 - 1 Tage"},
        {"10:-70", 0, "09:-10"},             // the borrow happens once
        {"17:49 - 1 Tage", 0, "17:49"},
        {"0100", 0, std::nullopt},
    };
    for (const Clock& c : cases) {
        EXPECT_EQ(startFromArrival(c.time, c.seconds), c.result) << c.time << " - " << c.seconds;
    }
}

} // namespace
} // namespace krvx
