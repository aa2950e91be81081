#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/ui/Twips.h"
#include "flight/NewPlanet.h"
#include "flight/ui/FrmNeuerPlanet.h"
#include "flight/ui/FrmZeit.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::focusOn;
using test::typeText;

std::string golden(const char* name) {
    return test::readBytes(fs::path(KRVX_TESTS_DIR) / "flight" / "golden" / name);
}

struct NeuerPlanetTest : ::testing::Test {
    test::TestServices t;

    void SetUp() override {
        t.windows.registerWindow("FrmZeit", [this] { return new FrmZeit(t.services); });
        t.windows.registerWindow("FrmNeuerPlanet", [this] { return new FrmNeuerPlanet(t.services); });
    }
    FrmZeit* zeit() { return t.windows.window<FrmZeit>("FrmZeit"); }
    FrmNeuerPlanet* dialog() { return t.windows.window<FrmNeuerPlanet>("FrmNeuerPlanet"); }

    // Opens the flight time window and, through its button, the dialog.
    FrmNeuerPlanet* openDialog() {
        if (!zeit()) {
            test::activate(t.windows.show("FrmZeit"));
        }
        control<QPushButton>(zeit(), "CmdNeuerPlanet")->click();
        test::settle();
        FrmNeuerPlanet* d = dialog();
        EXPECT_NE(d, nullptr);
        if (d) test::activate(d);
        return d;
    }
    // Types into the four boxes and presses Enter in the last one.
    void enter(const QString& name, const QString& gal, const QString& sys, const QString& planet) {
        FrmNeuerPlanet* d = dialog();
        const std::pair<const char*, QString> boxes[] = {
            {"TxtName", name}, {"TxtGal", gal}, {"TxtSys", sys}, {"TxtPlanet", planet}};
        for (const auto& [box, text] : boxes) {
            auto* edit = control<QLineEdit>(d, box);
            focusOn(edit);
            edit->selectAll();
            bool ascii = true;
            for (QChar ch : text) ascii = ascii && ch.unicode() < 128;
            if (text.isEmpty()) {
                test::pressKey(Qt::Key_Backspace);
            } else if (ascii) {
                typeText(text);
            } else {
                edit->insert(text);  // pasted: the test keyboard types ASCII only
            }
        }
        test::pressKey(Qt::Key_Return);
        test::settle();
    }
    void closeZeit() {
        t.windows.close("FrmZeit");
        test::settle();
    }
};

TEST_F(NeuerPlanetTest, ControlsStandWhereTheyBelongWithTheirCaptionsAndTooltips) {
    FrmNeuerPlanet* d = openDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Neuer Planet");
    EXPECT_EQ(d->size(), QSize(twips(2355), twips(2595)));
    struct Place {
        const char* name;
        int left, top, width, height;
        const char* caption;
        const char* tooltip;
    };
    const std::vector<Place> places = {
        {"LblName", 360, 120, 0, 0, "Planetenname:", ""},
        {"TxtName", 360, 480, 1575, 375, "", "Geben sie einen Namen für den Planeten ein"},
        {"LblKoordinaten", 360, 960, 0, 0, "Koordinaten:", ""},
        {"TxtGal", 360, 1320, 375, 375, "", "Galaxienummer"},
        {"TxtSys", 960, 1320, 375, 375, "", "Systemnummer"},
        {"TxtPlanet", 1560, 1320, 375, 375, "", "Planetennummer"},
        {"CmdAdd", 360, 1920, 1575, 375, "Hinzufügen", "In die Liste aufnehmen"},
    };
    for (const Place& p : places) {
        QWidget* c = control(d, p.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->pos(), QPoint(twips(p.left), twips(p.top))) << p.name;
        if (p.width > 0) {
            EXPECT_EQ(c->size(), QSize(twips(p.width), twips(p.height))) << p.name;
        }
        EXPECT_EQ(c->toolTip(), QString::fromUtf8(p.tooltip)) << p.name;
        QString shown;
        if (auto* l = qobject_cast<QLabel*>(c)) shown = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(c)) shown = b->text();
        if (auto* e = qobject_cast<QLineEdit*>(c)) shown = e->text();
        EXPECT_EQ(shown, QString::fromUtf8(p.caption)) << p.name;
        if (qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c)) {
            EXPECT_LE(c->sizeHint().width(), c->width()) << p.name << " cuts its caption";
        }
    }
    const char* order[] = {"TxtName", "TxtGal", "TxtSys", "TxtPlanet", "CmdAdd", "TxtName"};
    focusOn(control(d, "TxtName"));
    for (std::size_t i = 1; i < std::size(order); ++i) {
        test::pressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), order[i]);
    }
}

TEST_F(NeuerPlanetTest, EnterAddsThePlanetSelectsTheSecondAndClosesTheDialog) {
    t.log.beginDebugging();
    test::writeBytes(t.file("planeten.dat"), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n");
    openDialog();
    enter("Heimat", "1", "12", "3");
    EXPECT_EQ(dialog(), nullptr);
    ASSERT_NE(zeit(), nullptr);
    for (const char* name : {"CmbStart", "CmbZiel"}) {
        auto* list = control<QComboBox>(zeit(), name);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->itemText(1), "Heimat");
        EXPECT_EQ(list->currentIndex(), 1);
        EXPECT_EQ(list->currentText(), "Heimat");
    }
    EXPECT_TRUE(t.script.boxes.empty());
    // The dialog's boxes start empty the next time.
    FrmNeuerPlanet* again = openDialog();
    EXPECT_EQ(control<QLineEdit>(again, "TxtName")->text(), "");
    t.windows.close("FrmNeuerPlanet");
    closeZeit();
    EXPECT_EQ(test::readBytes(t.file("planeten.dat")), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n" + golden("heimat.dat"));
}

TEST_F(NeuerPlanetTest, RefusedInputKeepsTheDialogOpenWithItsInputs) {
    struct Case {
        QString name, gal, sys, planet;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Heimat", "0", "1", "1", std::string(kBitteGanzeZahlen)},
        {"Heimat", "abc", "1", "1", std::string(kBitteGanzeZahlen)},
        {"Heimat", "", "1", "1", std::string(kBitteGanzeZahlen)},
        {"Heimat", "3x", "1", "1", std::string(kBitteGanzeZahlen)},
        {"Heimat", "1", "1", "99999", "Die Koordinaten müssen zwischen -32768 und 32767 liegen."},
        {"Der \"Hort\"", "1", "1", "1", "Der Planetenname darf keine Anführungszeichen (\") enthalten."},
    };
    openDialog();
    for (const Case& c : cases) {
        t.script.clear();
        enter(c.name, c.gal, c.sys, c.planet);
        ASSERT_NE(dialog(), nullptr) << c.message;
        EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(t.script.boxes.front().title, "Korvax Rechner");
        EXPECT_EQ(control<QLineEdit>(dialog(), "TxtGal")->text(), c.gal);
        EXPECT_EQ(zeit()->planeten().count(), 0);
    }
    enter("Tief", "-2", "5", "1");  // negative coordinates pass
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(zeit()->planeten().entries(), (std::vector<PlanetEintrag>{{"Tief", -2, 5, 1}}));
}

TEST_F(NeuerPlanetTest, NamesWithCommaAndBlanksReadBackUnchanged) {
    openDialog();
    enter(" Kolonie, Süd ", "4", "5", "6");
    closeZeit();
    test::activate(t.windows.show("FrmZeit"));
    EXPECT_EQ(zeit()->planeten().entries(), (std::vector<PlanetEintrag>{{" Kolonie, Süd ", 4, 5, 6}}));
}

TEST_F(NeuerPlanetTest, AClosedFlightWindowOpensAgainToTakeThePlanet) {
    test::writeBytes(t.file("planeten.dat"), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n");
    openDialog();
    closeZeit();
    ASSERT_EQ(zeit(), nullptr);
    test::activate(dialog());
    enter("Heimat", "1", "12", "3");
    ASSERT_NE(zeit(), nullptr);
    EXPECT_EQ(zeit()->planeten().count(), 2);
}

TEST_F(NeuerPlanetTest, AFullListRefusesTheNextPlanet) {
    std::string content;
    for (int i = 0; i < Planeten::kMaxEntries; ++i) content += "P\r\n 1 \r\n 1 \r\n 1 \r\n";
    test::writeBytes(t.file("planeten.dat"), content);
    openDialog();
    ASSERT_EQ(zeit()->planeten().count(), 32767);
    enter("Zuviel", "1", "2", "3");
    EXPECT_NE(dialog(), nullptr);
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{std::string(kListeVoll)});
    EXPECT_EQ(control<QComboBox>(zeit(), "CmbStart")->count(), 32767);
    t.windows.close("FrmNeuerPlanet");
    closeZeit();
    EXPECT_EQ(test::readBytes(t.file("planeten.dat")), content);
}

TEST_F(NeuerPlanetTest, ClosingNeverLosesTheFile) {
    const std::string damaged = "Basis\r\n 1 \r\n 1 \r\n 1 \r\nKaputt\r\n 2x \r\n";
    // A damaged file stays as it is when nothing was added.
    test::writeBytes(t.file("planeten.dat"), damaged);
    test::activate(t.windows.show("FrmZeit"));
    closeZeit();
    EXPECT_EQ(test::readBytes(t.file("planeten.dat")), damaged);
    EXPECT_TRUE(t.script.boxes.empty());

    // With a planet added, it is kept beside the new list, and the user is told where.
    openDialog();
    enter("Heimat", "1", "12", "3");
    closeZeit();
    EXPECT_EQ(test::readBytes(t.file("planeten.dat.bak")), damaged);
    EXPECT_EQ(test::readBytes(t.file("planeten.dat")), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n" + golden("heimat.dat"));
    ASSERT_EQ(t.script.messageTexts().size(), 1u);
    EXPECT_NE(t.script.messageTexts()[0].find("planeten.dat.bak"), std::string::npos);

    // A file that cannot be written at close: the window closes all the same.
    t.script.clear();
    openDialog();
    enter("Mine", "1", "12", "7");
    fs::remove(t.file("planeten.dat"));
    fs::create_directory(t.file("planeten.dat"));
    closeZeit();
    EXPECT_EQ(zeit(), nullptr);
    ASSERT_EQ(t.script.messageTexts().size(), 1u);
    EXPECT_NE(t.script.messageTexts()[0].find("nicht gespeichert"), std::string::npos);
}

} // namespace
} // namespace krvx
