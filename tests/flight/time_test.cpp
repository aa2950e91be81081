#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ShipCatalogue.h"
#include "common/debugging.h"
#include "flight/FlightForm.h"
#include "flight/Flugzeit.h"
#include "flight/MdmZeit.h"
#include "flight/ShipSpeed.h"

namespace krvx {
namespace {

TEST(HhmmPart, HoursAndMinutesComeExactlyFromTheSeconds) {
    struct Case {
        std::int32_t seconds, hours, minutes;
    };
    for (const Case& c : std::vector<Case>{{3599, 0, 59},
                                           {3600, 1, 0},
                                           {3660, 1, 1},
                                           {7260, 2, 1},
                                           {1260, 0, 21},
                                           {86399, 23, 59},
                                           {90000, 25, 0},
                                           {-60, -1, 59},
                                           {INT32_MAX, 596523, 14}}) {
        EXPECT_EQ(MdmZeit::hhmmPart(c.seconds, MdmZeit::Teil::HH), c.hours) << c.seconds;
        EXPECT_EQ(MdmZeit::hhmmPart(c.seconds, MdmZeit::Teil::MM), c.minutes) << c.seconds;
    }
}

TEST(Flugzeit, DurationsBetweenTwoPlanets) {
    struct Case {
        PlanetEintrag from, to;
        const char* speed;
        std::optional<std::int32_t> seconds;
        const char* text;
    };
    const std::vector<Case> cases = {
        {{"a", 1, 1, 3}, {"b", 1, 1, 7}, "1000", 11000, "03:03"},
        {{"a", 1, 100, 5}, {"b", 2, 150, 5}, "5000", 26492, "07:21"},
        {{"a", 1, 1, 1}, {"b", 4, 9, 2}, "2000", 75315, "20:55"},
        {{"a", 1, 1, 1}, {"b", 1, 1, 2}, "4000", 2562, "00:42"}, // 2562.5 to the even neighbour
        {{"a", 3, 42, 8}, {"b", 3, 42, 1}, "7500", 1567, "00:26"},
        {{"a", 5, 5, 5}, {"b", 5, 5, 5}, "1000", 0, "00:00"},
        {{"a", -32768, -32768, -32768}, {"b", 32767, 32767, 32767}, "1000", 996'890'350, "276913:59"},
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "1 000", 10500, "02:55"},
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "0", std::nullopt, ""},
        {{"a", 1, 1, 1}, {"b", 1, 1, 3}, "-1000", std::nullopt, ""},
        {{"a", 1, 1, 1}, {"b", 9, 9, 9}, "0.0001", std::nullopt, ""}, // beyond 32 bits
    };
    for (const Case& c : cases) {
        Planeten list;
        for (const PlanetEintrag& e : {PlanetEintrag{"Erster", 0, 0, 0}, c.from, c.to}) list.add(e);
        const auto seconds = Flugzeit(1, 2, list, speedFactor(c.speed));
        EXPECT_EQ(seconds, c.seconds) << c.speed << " to galaxy " << c.to.Galaxie;
        if (seconds) {
            EXPECT_EQ(hhmmAsString(*seconds), c.text);
        }
        EXPECT_EQ(Flugzeit(2, 1, list, speedFactor(c.speed)), seconds); // either way alike
        EXPECT_EQ(Flugzeit(0, 2, list, 1.0), 0); // the first entry takes no part
    }
}

Planeten threePlanets() {
    Planeten list;
    for (const PlanetEintrag& e : {PlanetEintrag{"Basis", 1, 1, 1}, {"Heimat", 1, 1, 3}, {"Mine", 1, 1, 7}})
        list.add(e);
    return list;
}

TEST(Zeit, TheDurationNeedsASpeedAndBothPlanetsChosenAndNamed) {
    struct Case {
        const char* what;
        std::string speed, start, target;
        int startIndex, targetIndex;
        const char* dauer;
    };
    const std::vector<Case> cases = {
        {"both planets", "1000", "Heimat", "Mine", 1, 2, "03:03"},
        {"the first planet as start", "1000", "Basis", "Mine", 0, 2, "00:00"},
        {"the first planet as target", "1000", "Heimat", "Basis", 1, 0, "00:00"},
        {"no speed", "", "Heimat", "Mine", 1, 2, "alt"},
        {"an emptied start box", "1000", "", "Mine", 1, 2, "alt"},
        {"an emptied target box", "1000", "Heimat", "", 1, 2, "alt"},
        {"no start chosen", "1000", "Heimat", "Mine", -1, 2, "alt"},
        {"no target chosen", "1000", "Heimat", "Mine", 1, -1, "alt"},
        {"a speed that gives no duration", "0", "Heimat", "Mine", 1, 2, "alt"},
    };
    const Planeten list = threePlanets();
    for (const Case& c : cases) {
        FlightFormState form{c.speed, c.start, c.target, c.startIndex, c.targetIndex, true, "alt", "", ""};
        recompute(form, list);
        EXPECT_EQ(form.dauer, c.dauer) << c.what;
    }
}

TEST(FlightSteps, EachStepShowsItsTimeAndReturnsTheDebugLinesOfTheRoutinesItRan) {
    const std::string Z0 = "Start: Zeit()", Z1 = "Ende: Zeit()", F0 = "Start: Flugzeit()", F1 = "Ende: Flugzeit()";
    const std::string H0 = "Start: hhmmAsString()", H1 = "Ende: hhmmAsString()";
    struct Case {
        const char* what;
        DebugLines (*step)(FlightFormState&, const Planeten&);
        std::string speed;
        bool arrivalMode;
        std::string time; // in both time boxes
        std::string startzeit, ankunft;
        DebugLines lines;
    };
    const std::vector<Case> cases = {
        {"the speed box left",
         recompute,
         "1000",
         true,
         "22:30",
         "22:30",
         "01:33 + 1 Tage",
         {Z0, F0, F1, H0, H1, Z1, F0, F1, F0, F1}},
        {"the speed box left, start chosen",
         recompute,
         "1000",
         false,
         "22:30",
         "19:27",
         "22:30",
         {Z0, F0, F1, H0, H1, Z1, F0, F1, F0, F1}},
        {"a speed without a duration",
         recompute,
         "0",
         true,
         "22:30",
         "22:30",
         "22:30",
         {Z0, F0, F1, Z1, F0, F1, F0, F1}},
        {"a time without ':'", recompute, "1000", true, "2230", "2230", "2230", {Z0, F0, F1, H0, H1, Z1}},
        {"no speed", recompute, "", true, "22:30", "22:30", "22:30", {Z0, Z1}},
        {"the start time left", arrivalStep, "1000", true, "22:30", "22:30", "01:33 + 1 Tage", {F0, F1, F0, F1}},
        {"the start time left, start chosen", arrivalStep, "1000", false, "22:30", "22:30", "22:30", {}},
        {"the arrival left", startStep, "1000", false, "22:30", "19:27", "22:30", {F0, F1, F0, F1}},
        {"the arrival left, arrival chosen", startStep, "1000", true, "22:30", "22:30", "22:30", {}},
    };
    const Planeten list = threePlanets();
    for (const Case& c : cases) {
        FlightFormState form{c.speed, "Heimat", "Mine", 1, 2, c.arrivalMode, "", c.time, c.time};
        EXPECT_EQ(c.step(form, list), c.lines) << c.what;
        EXPECT_EQ(form.startzeit, c.startzeit) << c.what;
        EXPECT_EQ(form.ankunft, c.ankunft) << c.what;
    }
}

// "+ 1 Tage" (not "Tag") pins the old program's day suffix.
TEST(ClockTimes, ArrivalAndStartWithDayCounts) {
    struct Case {
        const char* time;
        std::int32_t seconds;
        std::optional<std::string> arrival, start;
    };
    const std::vector<Case> cases = {
        {"22:30", 26492, "05:51 + 1 Tage", "15:09"},
        {"01:10", 26492, "08:31", "17:49 - 1 Tage"},
        {"10:39", 1260, "11:00", "10:18"},
        {"23:30", 1800, "00:00 + 1 Tage", "23:00"}, // midnight is the next day
        {"23:59", 75315, "20:54 + 1 Tage", "03:04"},
        {"00:00", 200000, "07:33 + 2 Tage", "16:27 - 3 Tage"},
        {"12:00", 11000, "15:03", "08:57"},
        {"00:00", 3660, "01:01", "22:59 - 1 Tage"},
        {"10:99", 0, "11:39", "10:99"}, // minutes out of range carry once
        {"10:-70", 0, "10:-70", "09:-10"},
        {"05:51 + 1 Tage", 0, "05:51", "05:51"}, // a day suffix in the input is ignored
        {"7.5:0", 0, "08:00", "08:00"}, // halves to the even neighbour
        {"-5:00", 0, "-05:00", "19:00 - 1 Tage"},
        {"2230", 11000, std::nullopt, std::nullopt},
        {"40000:00", 0, std::nullopt, std::nullopt}, // beyond 16 bits
        {"0:0", INT32_MAX, "03:14 + 24855 Tage", "20:46 - 24856 Tage"},
    };
    // The flight time window's two steps: the time read, the duration's hours and minutes shifted onto it.
    const auto shifted = [](const Case& c, auto shift) -> std::optional<std::string> {
        const std::optional<ClockTime> time = readClockTime(c.time);
        if (!time) return std::nullopt;
        return shift(*time, MdmZeit::hhmmPart(c.seconds, MdmZeit::Teil::HH),
                     MdmZeit::hhmmPart(c.seconds, MdmZeit::Teil::MM));
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shifted(c, arrivalTime), c.arrival) << c.time << " + " << c.seconds;
        EXPECT_EQ(shifted(c, startTime), c.start) << c.time << " - " << c.seconds;
    }
}

TEST(ShipSpeed, OfferedShipsAndTheSpeedATypedNameSets) {
    using Ships = std::vector<std::pair<std::string, std::int32_t>>;
    const Ships three{{"Leer", 1}, {"Jäger", 2000}, {"Kreuzer", 4000}};
    struct Case {
        const char* what;
        Ships ships;
        bool pending; // the editor's pending entry "Neu" behind them
        std::vector<std::string> offered;
        const char* typed;
        std::optional<std::string> speed;
    };
    const std::vector<Case> cases = {
        {"no ships", {}, false, {}, "Jäger", std::nullopt},
        {"one ship: none offered, its speed for any name", {{"Solo", 5}}, false, {}, "x", "5"},
        {"the first ship by its name", three, false, {"Jäger", "Kreuzer"}, "Leer", "1"},
        {"a ship in the middle", three, false, {"Jäger", "Kreuzer"}, "Jäger", "2000"},
        {"an unknown name: the last ship", three, false, {"Jäger", "Kreuzer"}, "jäger", "4000"}, // the old program's
                                                                                                 // rule
        {"a pending entry is neither offered nor taken", three, true, {"Jäger", "Kreuzer"}, "Neu", "4000"},
        {"a pending entry behind one ship", {{"Solo", 5}}, true, {}, "Neu", "5"},
    };
    Debugging log("", RegionalSettings::german()); // never opened: writes nothing
    for (const Case& c : cases) {
        ShipCatalogue catalogue(log);
        for (const auto& [name, speed] : c.ships) catalogue.addSchiff(name, 0, 0, 0, 0, 0, speed, 0);
        if (c.pending) *catalogue.entryAt(*catalogue.makePending()) = {"Neu", 0, 0, 0, 0, 0, 9, 0};
        EXPECT_EQ(offeredShips(catalogue), c.offered) << c.what;
        EXPECT_EQ(speedTextForShip(catalogue, c.typed), c.speed) << c.what;
    }
}

} // namespace
} // namespace krvx
