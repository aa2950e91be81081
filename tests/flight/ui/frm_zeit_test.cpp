#include <QRadioButton>

#include "FlightWindows.h"

namespace krvx::test {
namespace {

using Lines = std::vector<std::string>;
using FrmZeitTest = FlightWindows;

// The read-only duration box is passed over by Tab.
TEST_F(FrmZeitTest, Layout) {
    FrmZeit* w = openZeit();
    expectGolden("flight", "frm_zeit.layout", layoutText(w) + tabWalk(w, "TxtAnkunft"));
}

TEST_F(FrmZeitTest, TimeBoxesShowATimeWithItsDayCount) {
    openZeit();
    for (const char* name : {"TxtStart", "TxtAnkunft"}) {
        QLineEdit* time = box(name);
        time->setText("23:59 + 10 Tage");
        EXPECT_LE(time->fontMetrics().horizontalAdvance(time->text()), time->width() - 8) << name;
    }
}

TEST_F(FrmZeitTest, LeavingTheSpeedBoxShowsDurationAndArrival) {
    t.log.beginDebugging();
    FrmZeit* w = openZeit(kThreePlanets);
    EXPECT_EQ(list("CmbStart")->currentText(), "Heimat"); // the second planet is selected
    retype(list("CmbZiel"), "Mine");
    retype(box("TxtStart"), "22:30");
    retype(box("TxtGeschwindigkeit"), "1000");
    const std::size_t before = logMessages().size();
    focusOn(control(w, "CmdNeuerPlanet"));
    EXPECT_EQ(text("TxtDauer"), "03:03");
    EXPECT_EQ(text("TxtAnkunft"), "01:33 + 1 Tage");
    EXPECT_EQ(box("TxtAnkunft")->cursorPosition(), 0); // the text shows from its beginning
    const Lines log = logMessages();
    EXPECT_EQ(Lines(log.begin() + static_cast<std::ptrdiff_t>(before), log.end()),
              (Lines{"Start: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()", "Start: hhmmAsString()",
                     "Ende: hhmmAsString()", "Ende: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()",
                     "Start: Flugzeit()", "Ende: Flugzeit()"}));

    for (const char* speed : {"0", "-500", "0.0000001"}) { // no duration: nothing changes, no box
        retype(box("TxtGeschwindigkeit"), speed);
        focusOn(list("CmbStart"));
        EXPECT_EQ(text("TxtDauer"), "03:03") << speed;
        EXPECT_EQ(text("TxtAnkunft"), "01:33 + 1 Tage") << speed;
    }
    EXPECT_TRUE(t.script.boxes.empty());

    retype(box("TxtGeschwindigkeit"), "1000");
    retype(list("CmbStart"), "Basis"); // the first planet takes no part in a flight
    focusOn(box("TxtStart"));
    EXPECT_EQ(text("TxtDauer"), "00:00");
    EXPECT_EQ(text("TxtAnkunft"), "22:30");
    retype(box("TxtStart"), "2230"); // without ':' the arrival stays
    focusOn(box("TxtAnkunft"));
    EXPECT_EQ(text("TxtAnkunft"), "22:30");
}

TEST_F(FrmZeitTest, InStartModeLeavingTheArrivalBoxShowsTheStart) {
    FrmZeit* w = openZeit(kThreePlanets);
    retype(list("CmbZiel"), "Mine");
    retype(box("TxtGeschwindigkeit"), "1000");
    control<QRadioButton>(w, "OptStart")->click();
    retype(box("TxtAnkunft"), "01:00");
    focusOn(box("TxtStart"));
    EXPECT_EQ(text("TxtStart"), "21:57 - 1 Tage");
    retype(box("TxtStart"), "12:00"); // leaving the start box computes nothing now
    focusOn(box("TxtAnkunft"));
    EXPECT_EQ(text("TxtAnkunft"), "01:00");
}

TEST_F(FrmZeitTest, TheShipSetsTheSpeedOnlyWhenItsListIsLeft) {
    for (auto [name, speed] : std::vector<std::pair<std::string, int>>{
             {"Leer", 1}, {"Jäger", 2000}, {"Frachter", 1000}, {"Kreuzer", 4000}}) {
        t.ships.addSchiff(name, 0, 0, 0, 0, 0, speed, 0);
    }
    t.log.beginDebugging();
    FrmZeit* w = openZeit(kThreePlanets);
    QComboBox* ships = list("CmbSchiff");
    ASSERT_EQ(ships->count(), 3);
    EXPECT_EQ(ships->currentText(), "Jäger");
    retype(list("CmbZiel"), "Mine");
    focusOn(ships);
    ships->setCurrentIndex(1); // picked from the drop-down list
    focusOn(control(w, "CmdNeuerPlanet"));
    EXPECT_EQ(text("TxtGeschwindigkeit"), "1000");
    const Lines log = logMessages();
    EXPECT_EQ(Lines(log.end() - 2, log.end()), (Lines{"Start: CmdSchiff_LostFocus()", "Ende: CmdSchiff_LostFocus()"}));
    EXPECT_EQ(text("TxtDauer"), ""); // nothing recomputed yet
    retype(ships, "Unbekannt"); // no such ship: the last one's speed
    focusOn(list("CmbStart"));
    EXPECT_EQ(text("TxtGeschwindigkeit"), "4000");
    focusOn(box("TxtStart"));
    EXPECT_EQ(text("TxtDauer"), "00:45"); // 11000 s / 4
}

TEST_F(FrmZeitTest, PlanetFilesOfNoneOneAndThreePlanets) {
    struct Case {
        const char* file;
        int count;
        int selected;
        const char* shown;
        const char* dauer;
    };
    for (const Case& c : {Case{nullptr, 0, -1, "", ""}, Case{"Solo\r\n 1 \r\n 2 \r\n 3 \r\n", 1, -1, "", ""},
                          Case{kThreePlanets, 3, 1, "Heimat", "00:00"}}) {
        closeZeit();
        std::filesystem::remove(t.file("planeten.dat"));
        FrmZeit* w = openZeit(c.file);
        for (const char* name : {"CmbStart", "CmbZiel"}) {
            EXPECT_EQ(list(name)->count(), c.count) << name;
            EXPECT_EQ(list(name)->currentIndex(), c.selected) << name;
            EXPECT_EQ(list(name)->currentText(), c.shown) << name;
        }
        EXPECT_EQ(w->planeten().count(), c.count);
        retype(box("TxtGeschwindigkeit"), "1000");
        focusOn(list("CmbSchiff")); // no ships: leaving their list keeps the speed
        focusOn(box("TxtStart"));
        EXPECT_EQ(text("TxtGeschwindigkeit"), "1000");
        EXPECT_EQ(text("TxtDauer"), c.dauer) << c.count;
    }
}

TEST_F(FrmZeitTest, LoadingLogsEachPlanetAndClosingWritesTheListBack) {
    t.log.beginDebugging();
    openZeit(kThreePlanets);
    EXPECT_EQ(logMessages(), (Lines{"Start: addPlanet", "Ende: addPlanet()", "Start: addPlanet", "Ende: addPlanet()",
                                    "Start: addPlanet", "Ende: addPlanet()"}));
    writeBytes(t.file("planeten.dat"), "von Hand geändert");
    closeZeit();
    EXPECT_EQ(readBytes(t.file("planeten.dat")), kThreePlanets);
}

} // namespace
} // namespace krvx::test
