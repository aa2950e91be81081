#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogLines.h"
#include "flight/FlightForm.h"

namespace krvx {
namespace {

using Lines = std::vector<std::string>;

const Lines kZeit = {"Start: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()", "Start: hhmmAsString()",
                     "Ende: hhmmAsString()", "Ende: Zeit()"};
const Lines kStep = {"Start: Flugzeit()", "Ende: Flugzeit()", "Start: Flugzeit()", "Ende: Flugzeit()"};

Lines concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Planeten threePlanets() {
    Planeten list;
    list.add({"Basis", 1, 1, 1});
    list.add({"Heimat", 1, 1, 3});
    list.add({"Mine", 1, 1, 7});
    return list;
}

FlightFormState heimatToMine() {
    FlightFormState s;
    s.speedText = "1000";
    s.startPlanetText = "Heimat";
    s.targetPlanetText = "Mine";
    s.startIndex = 1;
    s.targetIndex = 2;
    s.startzeit = "22:30";
    s.ankunft = "00:00";
    return s;
}

struct Case {
    const char* what;
    void (*change)(FlightFormState&);
    const char* dauer;
    const char* startzeit;
    const char* ankunft;
    Lines log;
};

TEST(Recompute, WhatLeavingAPlanetListOrTheSpeedBoxShows) {
    const std::vector<Case> cases = {
        {"arrival mode", [](FlightFormState&) {}, "03:03", "22:30", "01:33 + 1 Tage", concat(kZeit, kStep)},
        {"start mode",
         [](FlightFormState& s) {
             s.arrivalMode = false;
             s.ankunft = "01:00";
         },
         "03:03", "21:57 - 1 Tage", "01:00", concat(kZeit, kStep)},
        {"first planet as start", [](FlightFormState& s) { s.startIndex = 0; s.startPlanetText = "Basis"; },
         "00:00", "22:30", "22:30", concat(kZeit, kStep)},
        {"no speed", [](FlightFormState& s) { s.speedText.clear(); }, "", "22:30", "00:00",
         {"Start: Zeit()", "Ende: Zeit()"}},
        {"speed 0",
         [](FlightFormState& s) {
             s.speedText = "0";
             s.dauer = "01:00";
         },
         "01:00", "22:30", "00:00", concat({"Start: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()", "Ende: Zeit()"}, kStep)},
        {"negative speed", [](FlightFormState& s) { s.speedText = "-5"; }, "", "22:30", "00:00",
         concat({"Start: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()", "Ende: Zeit()"}, kStep)},
        {"start time without colon", [](FlightFormState& s) { s.startzeit = "2230"; }, "03:03", "2230", "00:00",
         kZeit},
        {"no target selected",
         [](FlightFormState& s) {
             s.targetIndex = -1;
         },
         "", "22:30", "22:30", concat({"Start: Zeit()", "Ende: Zeit()"}, kStep)},
        {"empty target text", [](FlightFormState& s) { s.targetPlanetText.clear(); }, "", "22:30",
         "01:33 + 1 Tage", concat({"Start: Zeit()", "Ende: Zeit()"}, kStep)},
    };
    const Planeten list = threePlanets();
    for (const Case& c : cases) {
        test::LogLines log;
        FlightFormState s = heimatToMine();
        c.change(s);
        recompute(s, list, log.log);
        EXPECT_EQ(s.dauer, c.dauer) << c.what;
        EXPECT_EQ(s.startzeit, c.startzeit) << c.what;
        EXPECT_EQ(s.ankunft, c.ankunft) << c.what;
        EXPECT_EQ(log.take(), c.log) << c.what;
    }
}

TEST(ClockSteps, OnlyTheStepOfTheChosenModeChangesAnything) {
    const Planeten list = threePlanets();
    test::LogLines log;
    FlightFormState s = heimatToMine();
    s.arrivalMode = false;
    s.ankunft = "01:00";
    startStep(s, list, log.log);
    EXPECT_EQ(s.startzeit, "21:57 - 1 Tage");
    const FlightFormState before = s;
    arrivalStep(s, list, log.log);  // leaving the start box in start mode
    EXPECT_EQ(s, before);
    s.arrivalMode = true;
    s.startzeit = "23:00";
    arrivalStep(s, list, log.log);
    EXPECT_EQ(s.ankunft, "02:03 + 1 Tage");
}

} // namespace
} // namespace krvx
