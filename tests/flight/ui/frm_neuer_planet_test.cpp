#include <QPushButton>

#include "FlightWindows.h"
#include "flight/NewPlanet.h"

namespace krvx::test {
namespace {

namespace fs = std::filesystem;

struct NeuerPlanetTest : FlightWindows {
    // Opens the flight time window when needed and the dialog through its button.
    FrmNeuerPlanet* openDialog() {
        if (!zeit()) openZeit();
        control<QPushButton>(zeit(), "CmdNeuerPlanet")->click();
        settle();
        if (dialog()) activate(dialog());
        return dialog();
    }
    // Types into the four boxes and presses Enter in the last one.
    void enter(const QString& name, const QString& gal, const QString& sys, const QString& planet) {
        retype(control(dialog(), "TxtName"), name);
        retype(control(dialog(), "TxtGal"), gal);
        retype(control(dialog(), "TxtSys"), sys);
        retype(control(dialog(), "TxtPlanet"), planet);
        pressKey(Qt::Key_Return);
        settle();
    }
};

// "Geben sie" in a tooltip is the old program's text as it was written.
TEST_F(NeuerPlanetTest, Layout) {
    FrmNeuerPlanet* d = openDialog();
    ASSERT_NE(d, nullptr);
    expectGolden("flight", "frm_neuer_planet.layout", layoutText(d) + tabWalk(d, "TxtName"));
}

TEST_F(NeuerPlanetTest, EnterAddsThePlanetSelectsTheSecondAndClosesTheDialog) {
    writeBytes(t.file("planeten.dat"), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n");
    openDialog();
    enter("Heimat", "1", "12", "3");
    EXPECT_EQ(dialog(), nullptr);
    t.log.beginDebugging();
    ASSERT_TRUE(zeit()->findChild<QuietSave*>()->waiting());
    zeit()->findChild<QuietSave*>()->saveNow(); // the wait ends: on disk while the window is open, no debug line
    EXPECT_EQ(readBytes(t.file("planeten.dat")), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n" + golden("flight", "heimat.dat"));
    EXPECT_TRUE(logMessages().empty());
    for (const char* name : {"CmbStart", "CmbZiel"}) {
        EXPECT_EQ(list(name)->count(), 2);
        EXPECT_EQ(list(name)->currentIndex(), 1);
        EXPECT_EQ(list(name)->currentText(), "Heimat");
    }
    closeZeit();
    EXPECT_EQ(readBytes(t.file("planeten.dat")), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n" + golden("flight", "heimat.dat"));
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(NeuerPlanetTest, RefusedInputKeepsTheDialogOpenWithItsInputs) {
    const std::string ganze(kBitteGanzeZahlen);
    struct Case {
        QString name, gal;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Heimat", "", ganze},
        {"Heimat", "3x", ganze},
        {"Der \"Hort\"", "1", "Der Planetenname darf keine Anführungszeichen (\") enthalten."},
    };
    openDialog();
    for (const Case& c : cases) {
        t.script.clear();
        enter(c.name, c.gal, "1", "1");
        ASSERT_NE(dialog(), nullptr) << c.message;
        EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(t.script.boxes.front().title, "Korvax Rechner");
        EXPECT_EQ(control<QLineEdit>(dialog(), "TxtGal")->text(), c.gal);
    }
    EXPECT_EQ(zeit()->planeten().count(), 0);
    enter(" Kolonie, Süd", "-2", "5", "1"); // a negative coordinate and a name that needs quotes
    closeZeit();
    openZeit();
    EXPECT_EQ(zeit()->planeten().entries(), (std::vector<PlanetEintrag>{{" Kolonie, Süd", -2, 5, 1}}));
}

TEST_F(NeuerPlanetTest, AClosedFlightWindowOpensAgainToTakeThePlanet) {
    writeBytes(t.file("planeten.dat"), "Basis\r\n 1 \r\n 1 \r\n 1 \r\n");
    openDialog();
    closeZeit();
    activate(dialog());
    enter("Heimat", "1", "12", "3");
    ASSERT_NE(zeit(), nullptr);
    EXPECT_EQ(zeit()->planeten().count(), 2);
}

// A damaged file is left to the close, which keeps a copy of it first.
TEST_F(NeuerPlanetTest, ADamagedFileIsNotWrittenWhileTheWindowIsOpen) {
    const std::string damaged = "Basis\r\n 1 \r\n x \r\n 1 \r\n";
    writeBytes(t.file("planeten.dat"), damaged);
    openDialog();
    enter("Heimat", "1", "12", "3");
    zeit()->findChild<QuietSave*>()->saveNow();
    EXPECT_EQ(readBytes(t.file("planeten.dat")), damaged);
}

TEST_F(NeuerPlanetTest, AFullListRefusesTheNextPlanet) {
    std::string content;
    for (int i = 0; i < Planeten::kMaxEntries; ++i) content += "P\r\n 1 \r\n 1 \r\n 1 \r\n";
    writeBytes(t.file("planeten.dat"), content);
    openDialog();
    t.log.beginDebugging();
    enter("Zuviel", "1", "2", "3");
    EXPECT_NE(dialog(), nullptr);
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{std::string(kListeVoll)});
    EXPECT_EQ(list("CmbStart")->count(), 32767);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"Start: addPlanet", "Ende: addPlanet()"}));
}

TEST_F(NeuerPlanetTest, TheWindowClosesEvenWhenTheFileCannotBeWritten) {
    const std::string failure = "planeten.dat konnte nicht gespeichert werden: Datei wird verwendet.";
    const std::string question =
        failure +
        "\n\r\n\rSchließen Sie das Programm, das die Datei geöffnet hat, und klicken Sie auf „Wiederholen“. Mit "
        "„Abbrechen“ wird die Planetenliste in eine neue Datei neben planeten.dat geschrieben.";
    const std::string beside =
        failure + " Die Planetenliste mit den neu eingegebenen Planeten steht in planeten.dat.neu";
    t.files.failAt(FileStep::Rename, "planeten.dat", 0, EBUSY); // another program holds it throughout
    t.script.answers = {Answer::Cancel, Answer::Retry, Answer::Cancel};
    std::vector<std::string> notes;
    for (const char* n : {"", "2", "3"}) { // each list in a file of its own; the last one while the session ends
        openDialog();
        enter("Mine", "1", "12", "7");
        zeit()->findChild<QuietSave*>()->saveNow(); // fails without a word, writes nothing beside
        if (t.script.answers.empty())
            t.messages.answerUnattended([&](std::string_view, std::string_view text) { notes.emplace_back(text); });
        closeZeit();
        EXPECT_EQ(zeit(), nullptr);
        EXPECT_EQ(readBytes(t.file(std::string("planeten.dat.neu") + n)), "Mine\r\n 1 \r\n 12 \r\n 7 \r\n");
    }
    EXPECT_EQ(t.script.texts(), (std::vector<std::string>{question, beside + ".", question, question, beside + "2."}));
    EXPECT_EQ(notes, std::vector<std::string>{beside + "3."});
}

} // namespace
} // namespace krvx::test
