#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ui/Twips.h"
#include "flight/ui/FrmNeuerPlanet.h"
#include "flight/ui/FrmZeit.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using test::focusOn;
using test::typeText;
using Lines = std::vector<std::string>;

const char* const kThreePlanets = "Basis\r\n 1 \r\n 1 \r\n 1 \r\nHeimat\r\n 1 \r\n 1 \r\n 3 \r\nMine\r\n 1 \r\n 1 \r\n 7 \r\n";

struct FrmZeitTest : ::testing::Test {
    test::TestServices t;

    void SetUp() override {
        t.windows.registerWindow("FrmZeit", [this] { return new FrmZeit(t.services); });
        t.windows.registerWindow("FrmNeuerPlanet", [this] { return new FrmNeuerPlanet(t.services); });
    }
    FrmZeit* open(const char* planets = nullptr) {
        if (planets) {
            test::writeBytes(t.file("planeten.dat"), planets);
        }
        auto* window = t.windows.show<FrmZeit>("FrmZeit");
        test::activate(window);
        return window;
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(t.windows.window("FrmZeit"), name); }
    QComboBox* combo(const char* name) { return control<QComboBox>(t.windows.window("FrmZeit"), name); }
    QString text(const char* name) { return box(name)->text(); }

    // Focus into the control, replace its text by typing, and leave it for the next.
    void typeInto(QWidget* target, const QString& value) {
        focusOn(target);
        if (auto* c = qobject_cast<QComboBox*>(target)) {
            c->lineEdit()->selectAll();
        } else if (auto* b = qobject_cast<QLineEdit*>(target)) {
            b->selectAll();
        }
        typeText(value);
    }
    void leaveTo(QWidget* next) { focusOn(next); }

    // The log's messages after the time stamps.
    Lines logMessages() {
        const std::string bytes = test::readBytes(t.file("KRVXR.debug"));
        Lines messages;
        std::size_t start = 0;
        for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
            messages.push_back(bytes.substr(start, end - start).substr(bytes.substr(start).find("    ") + 4));
        }
        return Lines(messages.begin() + 2, messages.end());
    }
    void closeZeit() {
        t.windows.close("FrmZeit");
        test::settle();
    }
};

TEST_F(FrmZeitTest, ControlsStandWhereTheyBelongWithTheirCaptions) {
    FrmZeit* w = open();
    EXPECT_EQ(w->windowTitle(), "Reisezeit");
    EXPECT_EQ(w->size(), QSize(twips(5325), twips(2400)));
    struct Place {
        const char* name;
        int left, top, width, height;  // twips; 0 size: sized to the caption
        const char* caption;
    };
    const std::vector<Place> places = {
        {"LblStart", 120, 240, 0, 0, "Start:"},
        {"CmbStart", 840, 240, 1215, 315, ""},
        {"LblZiel", 120, 720, 0, 0, "Ziel:"},
        {"CmbZiel", 840, 720, 1215, 315, ""},
        {"CmdNeuerPlanet", 120, 1200, 1935, 495, "Neuer Planet"},
        {"CmbSchiff", 120, 1920, 1935, 315, ""},
        {"LblGeschwindigkeit", 2280, 0, 0, 0, "Geschwindigkeit"},
        {"TxtGeschwindigkeit", 2280, 240, 1095, 285, ""},
        {"LblStartzeit", 2280, 720, 0, 0, "Startzeit"},
        {"TxtStart", 2280, 960, 1095, 285, "00:00"},
        {"LblDauer", 3840, 0, 0, 0, "Dauer"},
        {"TxtDauer", 3840, 240, 1095, 285, ""},
        {"LblAnkunft", 3840, 720, 0, 0, "Ankunftszeit"},
        {"TxtAnkunft", 3840, 960, 1095, 285, "00:00"},
        {"OptAnkunft", 2400, 1800, 1695, 255, "Ankunft berechnen"},
        {"OptStart", 2400, 2040, 1695, 255, "Start berechnen"},
    };
    for (const Place& p : places) {
        QWidget* c = control(w, p.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->pos(), QPoint(twips(p.left), twips(p.top))) << p.name;
        const bool captioned = qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c);
        if (p.width > 0) {
            // A caption wider than its box widens it, never narrows it.
            const int width = captioned ? std::max(twips(p.width), c->sizeHint().width()) : twips(p.width);
            EXPECT_EQ(c->size(), QSize(width, twips(p.height))) << p.name;
        }
        QString shown;
        if (auto* l = qobject_cast<QLabel*>(c)) shown = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(c)) shown = b->text();
        if (auto* e = qobject_cast<QLineEdit*>(c)) shown = e->text();
        EXPECT_EQ(shown, QString::fromUtf8(p.caption)) << p.name;
        if (captioned) {
            EXPECT_LE(c->sizeHint().width(), c->width()) << p.name << " cuts its caption";
            EXPECT_LE(c->sizeHint().height(), c->height() + 2) << p.name << " cuts its caption";
        }
    }
    EXPECT_FALSE(box("TxtDauer")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(w, "OptAnkunft")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(w, "OptStart")->isChecked());

    // Tab walks the boxes in their order; the disabled duration box is passed over.
    const Lines order = {"TxtAnkunft", "TxtStart", "CmbStart", "CmbZiel", "CmdNeuerPlanet", "TxtGeschwindigkeit",
                         "OptAnkunft", "CmbSchiff", "TxtAnkunft"};
    focusOn(box("TxtAnkunft"));
    for (std::size_t i = 1; i < order.size(); ++i) {
        test::pressKey(Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QWidget* focused = QApplication::focusWidget();
        while (focused && focused->objectName().isEmpty()) focused = focused->parentWidget();
        EXPECT_EQ(focused->objectName().toStdString(), order[i]) << "after " << order[i - 1];
    }
}

TEST_F(FrmZeitTest, ArrivalFromStartTimeWhenTheSpeedBoxIsLeft) {
    t.log.beginDebugging();
    FrmZeit* w = open(kThreePlanets);
    EXPECT_EQ(combo("CmbStart")->currentText(), "Heimat");
    EXPECT_EQ(combo("CmbZiel")->currentText(), "Heimat");
    typeInto(combo("CmbZiel"), "Mine");
    typeInto(box("TxtStart"), "22:30");
    typeInto(box("TxtGeschwindigkeit"), "1000");
    const std::size_t before = logMessages().size();
    leaveTo(control(w, "CmdNeuerPlanet"));
    EXPECT_EQ(text("TxtDauer"), "03:03");
    EXPECT_EQ(text("TxtAnkunft"), "01:33 + 1 Tage");
    EXPECT_EQ(box("TxtAnkunft")->cursorPosition(), 0);  // the time shows, the day count may be cut
    EXPECT_EQ(text("TxtStart"), "22:30");
    const Lines log = logMessages();
    EXPECT_EQ(Lines(log.begin() + static_cast<std::ptrdiff_t>(before), log.end()),
              (Lines{"Start: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()", "Start: hhmmAsString()",
                     "Ende: hhmmAsString()", "Ende: Zeit()", "Start: Flugzeit()", "Ende: Flugzeit()",
                     "Start: Flugzeit()", "Ende: Flugzeit()"}));

    // With the first planet as start the flight lasts nothing.
    typeInto(combo("CmbStart"), "Basis");
    leaveTo(box("TxtStart"));
    EXPECT_EQ(text("TxtDauer"), "00:00");
    EXPECT_EQ(text("TxtAnkunft"), "22:30");

    // A start time without ':' leaves the arrival as it was.
    typeInto(box("TxtStart"), "2230");
    leaveTo(box("TxtAnkunft"));
    EXPECT_EQ(text("TxtAnkunft"), "22:30");
}

TEST_F(FrmZeitTest, StartFromArrivalTimeInStartMode) {
    FrmZeit* w = open(kThreePlanets);
    typeInto(combo("CmbZiel"), "Mine");
    typeInto(box("TxtGeschwindigkeit"), "1000");
    control<QRadioButton>(w, "OptStart")->click();
    typeInto(box("TxtAnkunft"), "01:00");
    leaveTo(box("TxtStart"));
    EXPECT_EQ(text("TxtStart"), "21:57 - 1 Tage");
    EXPECT_EQ(text("TxtDauer"), "03:03");
    // Leaving the start box computes only in arrival mode.
    typeInto(box("TxtStart"), "12:00");
    leaveTo(box("TxtAnkunft"));
    EXPECT_EQ(text("TxtAnkunft"), "01:00");
    leaveTo(box("TxtStart"));
    EXPECT_EQ(text("TxtStart"), "21:57 - 1 Tage");
}

TEST_F(FrmZeitTest, ASpeedWithoutADurationLeavesTheBoxesAsTheyAre) {
    open(kThreePlanets);
    typeInto(combo("CmbZiel"), "Mine");
    typeInto(box("TxtStart"), "22:30");
    typeInto(box("TxtGeschwindigkeit"), "1000");
    leaveTo(box("TxtStart"));
    for (const char* speed : {"0", "-500", "abc", "0.0000001"}) {
        typeInto(box("TxtGeschwindigkeit"), speed);
        leaveTo(combo("CmbStart"));
        EXPECT_EQ(text("TxtDauer"), "03:03") << speed;
        EXPECT_EQ(text("TxtAnkunft"), "01:33 + 1 Tage") << speed;
    }
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmZeitTest, TheShipSetsTheSpeedOnlyWhenItsListIsLeft) {
    for (auto [name, speed] : std::vector<std::pair<std::string, int>>{
             {"Leer", 1}, {"Jäger", 2000}, {"Frachter", 1000}, {"Kreuzer", 4000}}) {
        ASSERT_TRUE(t.ships.addSchiff(name, 0, 0, 0, 0, 0, speed, 0));
    }
    t.log.beginDebugging();
    FrmZeit* w = open(kThreePlanets);
    QComboBox* ships = combo("CmbSchiff");
    ASSERT_EQ(ships->count(), 3);
    EXPECT_EQ(ships->itemText(0), "Jäger");
    EXPECT_EQ(ships->currentText(), "Jäger");
    typeInto(combo("CmbZiel"), "Mine");
    leaveTo(ships);
    ships->setCurrentIndex(1);  // picked from the drop-down list
    leaveTo(control(w, "CmdNeuerPlanet"));
    EXPECT_EQ(text("TxtGeschwindigkeit"), "1000");
    EXPECT_EQ(text("TxtDauer"), "");  // nothing recomputed yet
    EXPECT_EQ(logMessages().back(), "Ende: CmdSchiff_LostFocus()");
    typeInto(ships, "Unbekannt");
    leaveTo(combo("CmbStart"));
    EXPECT_EQ(text("TxtGeschwindigkeit"), "4000");
    leaveTo(box("TxtStart"));
    EXPECT_EQ(text("TxtDauer"), "00:45");  // 11000 s / 4 = 2750 s
}

TEST_F(FrmZeitTest, PlanetFilesOfZeroOneAndThreePlanets) {
    struct Case {
        const char* file;
        int count;
        int selected;
        const char* shown;
    };
    for (const Case& c : {Case{nullptr, 0, -1, ""}, Case{"Solo\r\n 1 \r\n 2 \r\n 3 \r\n", 1, -1, ""},
                          Case{kThreePlanets, 3, 1, "Heimat"}, Case{"\x01\x02garbage", 0, -1, ""}}) {
        test::TestServices fresh;
        fresh.windows.registerWindow("FrmZeit", [&fresh] { return new FrmZeit(fresh.services); });
        if (c.file) test::writeBytes(fresh.file("planeten.dat"), c.file);
        auto* w = fresh.windows.show<FrmZeit>("FrmZeit");
        test::activate(w);
        for (const char* name : {"CmbStart", "CmbZiel"}) {
            auto* list = control<QComboBox>(w, name);
            EXPECT_EQ(list->count(), c.count) << name;
            EXPECT_EQ(list->currentIndex(), c.selected) << name;
            EXPECT_EQ(list->currentText(), c.shown) << name;
        }
        EXPECT_EQ(w->planeten().count(), c.count);
        // With fewer than two planets nothing is selected and no duration shows.
        auto* speed = control<QLineEdit>(w, "TxtGeschwindigkeit");
        focusOn(speed);
        typeText("1000");
        focusOn(control(w, "TxtStart"));
        EXPECT_EQ(control<QLineEdit>(w, "TxtDauer")->text(), c.count >= 2 ? "00:00" : "") << c.count;
    }
}

TEST_F(FrmZeitTest, LoadingLogsEachPlanetAndClosingWritesTheListBack) {
    t.log.beginDebugging();
    open(kThreePlanets);
    EXPECT_EQ(logMessages(), (Lines{"Start: addPlanet", "Ende: addPlanet()", "Start: addPlanet", "Ende: addPlanet()",
                                    "Start: addPlanet", "Ende: addPlanet()"}));
    test::writeBytes(t.file("planeten.dat"), "von Hand geändert");
    closeZeit();
    EXPECT_EQ(test::readBytes(t.file("planeten.dat")), kThreePlanets);
}

} // namespace
} // namespace krvx
