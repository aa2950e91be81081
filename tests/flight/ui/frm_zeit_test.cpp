#include <QRadioButton>

#include "FlightWindows.h"

namespace krvx::test {
namespace {

using Lines = std::vector<std::string>;
using FrmZeitTest = FlightWindows;

TEST_F(FrmZeitTest, ControlsCaptionsAndTabOrder) {
    FrmZeit* w = openZeit();
    EXPECT_EQ(w->windowTitle(), "Reisezeit");
    EXPECT_EQ(w->size(), QSize(355, 160));
    expectControls(w, {{"LblStart", {8, 16, 0, 0}, "Start:"},
                       {"CmbStart", {56, 16, 81, 21}, ""},
                       {"LblZiel", {8, 48, 0, 0}, "Ziel:"},
                       {"CmbZiel", {56, 48, 81, 21}, ""},
                       {"CmdNeuerPlanet", {8, 80, 129, 33}, "Neuer Planet"},
                       {"CmbSchiff", {8, 128, 129, 21}, ""},
                       {"LblGeschwindigkeit", {152, 0, 0, 0}, "Geschwindigkeit"},
                       {"TxtGeschwindigkeit", {152, 16, 73, 19}, ""},
                       {"LblStartzeit", {152, 48, 0, 0}, "Startzeit"},
                       {"TxtStart", {152, 64, 0, 0}, "00:00"},
                       {"LblDauer", {256, 0, 0, 0}, "Dauer"},
                       {"TxtDauer", {256, 16, 73, 19}, ""},
                       {"LblAnkunft", {256, 48, 0, 0}, "Ankunftszeit"},
                       {"TxtAnkunft", {256, 64, 0, 0}, "00:00"},
                       {"OptAnkunft", {160, 120, 113, 17}, "Ankunft berechnen"},
                       {"OptStart", {160, 136, 113, 17}, "Start berechnen"}});
    for (const char* name : {"TxtStart", "TxtAnkunft"}) { // wide enough for a time with its day count
        QLineEdit* time = box(name);
        EXPECT_EQ(time->height(), 19) << name;
        EXPECT_GE(time->width(), 73) << name;
        EXPECT_LE(time->geometry().right(), w->width()) << name;
        time->setText("23:59 + 10 Tage");
        EXPECT_LE(time->fontMetrics().horizontalAdvance(time->text()), time->width() - 8) << name;
        time->setText("00:00");
    }
    EXPECT_LT(box("TxtStart")->geometry().right(), box("TxtAnkunft")->x());
    EXPECT_TRUE(box("TxtDauer")->isReadOnly());
    EXPECT_TRUE(control<QRadioButton>(w, "OptAnkunft")->isChecked());
    // The read-only duration box is passed over.
    expectTabOrder(w, {"TxtAnkunft", "TxtStart", "CmbStart", "CmbZiel", "CmdNeuerPlanet", "TxtGeschwindigkeit",
                       "OptAnkunft", "CmbSchiff", "TxtAnkunft"});
}

TEST_F(FrmZeitTest, LeavingTheSpeedBoxShowsDurationAndArrival) {
    t.log.beginDebugging();
    FrmZeit* w = openZeit(kThreePlanets);
    EXPECT_EQ(list("CmbStart")->currentText(), "Heimat"); // the second planet is selected
    typeInto(list("CmbZiel"), "Mine");
    typeInto(box("TxtStart"), "22:30");
    typeInto(box("TxtGeschwindigkeit"), "1000");
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
        typeInto(box("TxtGeschwindigkeit"), speed);
        focusOn(list("CmbStart"));
        EXPECT_EQ(text("TxtDauer"), "03:03") << speed;
        EXPECT_EQ(text("TxtAnkunft"), "01:33 + 1 Tage") << speed;
    }
    EXPECT_TRUE(t.script.boxes.empty());

    typeInto(box("TxtGeschwindigkeit"), "1000");
    typeInto(list("CmbStart"), "Basis"); // the first planet takes no part in a flight
    focusOn(box("TxtStart"));
    EXPECT_EQ(text("TxtDauer"), "00:00");
    EXPECT_EQ(text("TxtAnkunft"), "22:30");
    typeInto(box("TxtStart"), "2230"); // without ':' the arrival stays
    focusOn(box("TxtAnkunft"));
    EXPECT_EQ(text("TxtAnkunft"), "22:30");
}

TEST_F(FrmZeitTest, InStartModeLeavingTheArrivalBoxShowsTheStart) {
    FrmZeit* w = openZeit(kThreePlanets);
    typeInto(list("CmbZiel"), "Mine");
    typeInto(box("TxtGeschwindigkeit"), "1000");
    control<QRadioButton>(w, "OptStart")->click();
    typeInto(box("TxtAnkunft"), "01:00");
    focusOn(box("TxtStart"));
    EXPECT_EQ(text("TxtStart"), "21:57 - 1 Tage");
    typeInto(box("TxtStart"), "12:00"); // leaving the start box computes nothing now
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
    typeInto(list("CmbZiel"), "Mine");
    focusOn(ships);
    ships->setCurrentIndex(1); // picked from the drop-down list
    focusOn(control(w, "CmdNeuerPlanet"));
    EXPECT_EQ(text("TxtGeschwindigkeit"), "1000");
    const Lines log = logMessages();
    EXPECT_EQ(Lines(log.end() - 2, log.end()), (Lines{"Start: CmdSchiff_LostFocus()", "Ende: CmdSchiff_LostFocus()"}));
    EXPECT_EQ(text("TxtDauer"), ""); // nothing recomputed yet
    typeInto(ships, "Unbekannt"); // no such ship: the last one's speed
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
        typeInto(box("TxtGeschwindigkeit"), "1000");
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
