#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "catalogue/SchiffeDat.h"
#include "catalogue/ui/FrmConfig2.h"
#include "rates/ui/FrmConfig3.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using Kind = test::ScriptedMessages::Kind;

const std::vector<const char*> kBoxes = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtGeschw", "TxtBauzeit"};

class FrmConfig2Test : public testing::Test {
protected:
    FrmConfig2Test() {
        t.windows.registerWindow(kFrmConfig2, [this] { return new FrmConfig2(t.services); });
        t.windows.registerWindow(kFrmConfig3, [this] { return new FrmConfig3(t.services); });
    }

    FrmConfig2* open(const std::string& schiffeDat) {
        test::writeBytes(t.file("schiffe.dat"), schiffeDat);
        return open();
    }
    FrmConfig2* open() {
        form = t.windows.show<FrmConfig2>(kFrmConfig2);
        EXPECT_NE(form, nullptr);
        test::activate(form);
        return form;
    }
    void closeForm(bool staysOpen = false) {
        EXPECT_NE(test::closeWindow(form), staysOpen) << (staysOpen ? "the editor closed" : "the editor stayed open");
        if (!staysOpen) form = nullptr;
    }

    QLineEdit* box(const char* name) { return control<QLineEdit>(form, name); }
    QPushButton* button(const char* name) { return control<QPushButton>(form, name); }
    QComboBox* combo() { return control<QComboBox>(form, "CmbSchiffe"); }
    QStringList listNames() {
        QStringList out;
        for (int i = 0; i < combo()->count(); ++i) out << combo()->itemText(i);
        return out;
    }
    bool editable() {
        bool all = true;
        for (const char* name : kBoxes) all = all && !box(name)->isReadOnly();
        return all && button("CmdSpeichern")->isEnabled() && button("CmdDel")->isEnabled();
    }
    bool readOnly() {
        bool none = true;
        for (const char* name : kBoxes) none = none && box(name)->isReadOnly();
        return none && !button("CmdSpeichern")->isEnabled() && !button("CmdDel")->isEnabled();
    }
    bool rateEditorOpen() { return t.windows.window(kFrmConfig3) != nullptr; }
    std::string schiffeDat() { return test::readBytes(t.file("schiffe.dat")); }

    test::TestServices t;
    FrmConfig2* form = nullptr;
};

TEST_F(FrmConfig2Test, Layout) {
    open(test::golden("catalogue", "editor_start.dat"));
    std::string layout = test::layoutText(form);
    // Tab while editing: the value boxes, the lower buttons, the steps, the list, the save button.
    test::click(form, "CmdEdit");
    button("CmdLinks")->setEnabled(true);
    layout += test::tabWalk(form, "TxtErz");
    test::expectGolden("catalogue", "frm_config2.layout", layout);
}

TEST_F(FrmConfig2Test, LoadShowsTheFirstEntryReadOnly) {
    t.log.beginDebugging();
    open(test::golden("catalogue", "editor_start.dat"));
    EXPECT_EQ(listNames(), (QStringList{"Jäger", "Kreuzer, schwer", "Frachter"}));
    EXPECT_EQ(combo()->currentText(), "Jäger");
    EXPECT_EQ(test::texts(form, kBoxes), (QStringList{"100", "50", "0", "10", "0", "20", "15"}));
    EXPECT_TRUE(readOnly());
    EXPECT_TRUE(button("CmdEdit")->isEnabled());
    EXPECT_FALSE(button("CmdLinks")->isEnabled());
    EXPECT_TRUE(button("CmdRechts")->isEnabled());
    EXPECT_FALSE(form->changed);
    EXPECT_EQ(t.ships.Schiffstypen_length(), 3);
    // The editor's load appends with the log open: two lines per ship.
    const std::string log = test::readBytes(t.file("KRVXR.debug"));
    std::size_t starts = 0;
    for (std::size_t at = log.find("    Start: addSchiff\r\n"); at != std::string::npos;
         at = log.find("    Start: addSchiff\r\n", at + 1))
        ++starts;
    EXPECT_EQ(starts, 3u);
    EXPECT_NE(log.find("6 Dezember 9:05    Ende: addSchiff\r\n"), std::string::npos);
}

TEST_F(FrmConfig2Test, StepsThroughTheCatalogue) {
    open(test::golden("catalogue", "editor_start.dat"));
    struct Step {
        const char* button;
        const char* name;
        bool left;
        bool right;
    };
    const Step steps[] = {
        {"CmdRechts", "Kreuzer, schwer", true, true},
        {"CmdRechts", "Frachter", true, false},
        {"CmdLinks", "Kreuzer, schwer", true, true},
        {"CmdLinks", "Jäger", false, true},
    };
    for (const Step& s : steps) {
        test::click(form, s.button);
        EXPECT_EQ(combo()->currentText(), QString::fromUtf8(s.name)) << s.button;
        EXPECT_EQ(button("CmdLinks")->isEnabled(), s.left) << s.name;
        EXPECT_EQ(button("CmdRechts")->isEnabled(), s.right) << s.name;
    }
    // Picking from the list.
    combo()->setCurrentIndex(2);
    emit combo()->activated(2);
    EXPECT_EQ(test::texts(form, kBoxes), (QStringList{"400", "400", "0", "0", "50", "12", "45"}));
    EXPECT_TRUE(button("CmdLinks")->isEnabled());
    EXPECT_FALSE(button("CmdRechts")->isEnabled());

    // Stepping away while editing drops the typed values without asking.
    test::click(form, "CmdEdit");
    test::retype(form, "TxtErz", "999");
    EXPECT_TRUE(form->changed);
    test::click(form, "CmdLinks");
    EXPECT_FALSE(form->changed);
    test::click(form, "CmdRechts");
    EXPECT_EQ(box("TxtErz")->text(), "400");
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmConfig2Test, NewShipIsSavedAsTheLastEntry) {
    open(test::golden("catalogue", "editor_start.dat"));
    test::click(form, "CmdRechts");
    t.script.inputs = {"Zerstörer"};
    test::click(form, "CmdNeu");
    ASSERT_EQ(t.script.boxes.size(), 1u);
    EXPECT_EQ(t.script.boxes[0].kind, Kind::Input);
    EXPECT_EQ(t.script.boxes[0].title, "Neues Schiff");
    EXPECT_EQ(t.script.boxes[0].text,
              "Geben sie den Namen das Schiffes ein."); // the old program's text, typos included
    EXPECT_EQ(t.script.boxes[0].preset, " 3");
    EXPECT_EQ(form->currentSchiff, 3);
    EXPECT_EQ(combo()->currentText(), "Zerstörer");
    EXPECT_EQ(test::texts(form, kBoxes), (QStringList{"0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_TRUE(editable());
    EXPECT_FALSE(form->changed);
    EXPECT_EQ(listNames().size(), 3); // listed only once saved
    EXPECT_FALSE(button("CmdRechts")->isEnabled());

    const QString typed[] = {"3000", "2500", "1,5", "3.5", "", "9", "240"};
    for (int i = 0; i < 7; ++i) test::retype(form, kBoxes[i], typed[i]);
    test::click(form, "CmdSpeichern");
    EXPECT_EQ(schiffeDat(), test::golden("catalogue", "editor_new_ship.dat"));
    EXPECT_EQ(listNames().back(), "Zerstörer");
    EXPECT_EQ(form->currentSchiff, 0);
    EXPECT_EQ(combo()->currentText(), "Jäger");
    EXPECT_TRUE(readOnly());
    EXPECT_FALSE(button("CmdLinks")->isEnabled());
    EXPECT_TRUE(button("CmdRechts")->isEnabled());
}

TEST_F(FrmConfig2Test, NewShipThenDeleteLeavesTheFileAsItWas) {
    open(test::golden("catalogue", "editor_start.dat"));
    t.script.inputs = {"Weg damit"};
    test::click(form, "CmdNeu");
    test::retype(form, "TxtErz", "5");
    test::click(form, "CmdDel");
    EXPECT_EQ(schiffeDat(), test::golden("catalogue", "editor_start.dat"));
    EXPECT_EQ(t.ships.Schiffstypen_length(), 3);
    EXPECT_EQ(t.ships.Schiffstypen().size(), 3u);
    EXPECT_EQ(listNames().size(), 3);
}

TEST_F(FrmConfig2Test, RenameAndDelete) {
    struct Case {
        const char* what;
        int steps; // ">" presses before acting
        bool rename;
        const char* result;
    };
    const Case cases[] = {
        {"rename entry 1", 1, true, "editor_renamed.dat"},
        {"delete entry 1 of 3", 1, false, "editor_deleted_middle.dat"},
    };
    for (const Case& c : cases) {
        open(test::golden("catalogue", "editor_start.dat"));
        for (int i = 0; i < c.steps; ++i) test::click(form, "CmdRechts");
        if (c.rename) test::retype(combo(), "Kreuzer (alt)");
        test::click(form, "CmdEdit");
        test::click(form, c.rename ? "CmdSpeichern" : "CmdDel");
        EXPECT_EQ(schiffeDat(), test::golden("catalogue", c.result)) << c.what;
        EXPECT_EQ(form->currentSchiff, 0) << c.what;
        EXPECT_TRUE(readOnly()) << c.what;
        closeForm();
    }
    EXPECT_TRUE(t.script.boxes.empty());
}

// The name field and the list: leaving the field never picks another entry,
// even when the typed name is that of another ship, and the arrow keys step on
// from the entry shown.
TEST_F(FrmConfig2Test, NameFieldAndListFollowTheEntryShown) {
    open(test::golden("catalogue", "editor_start.dat"));
    test::click(form, "CmdEdit");
    test::retype(combo(), "Frachter"); // the name of entry 2: two ships may share it
    test::retype(form, "TxtErz", "7");
    EXPECT_EQ(form->currentSchiff, 0);
    EXPECT_TRUE(form->changed);
    test::click(form, "CmdSpeichern");
    const std::string saved = schiffeDat();
    EXPECT_EQ(saved.substr(0, saved.find("\r\n")), "\"Frachter\"");
    EXPECT_EQ(saved.substr(saved.find("\r\n") + 2, 14), "7,50,0,10,0\r\n2");

    struct Key {
        Qt::Key key;
        int shown;
    };
    test::click(form, "CmdRechts");
    for (const Key k : {Key{Qt::Key_Down, 2}, Key{Qt::Key_Up, 1}, Key{Qt::Key_Up, 0}}) {
        test::focusOn(combo());
        test::pressKey(k.key);
        EXPECT_EQ(form->currentSchiff, k.shown);
        EXPECT_EQ(combo()->currentText(), combo()->itemText(k.shown));
    }
}

TEST_F(FrmConfig2Test, DeletingTheOnlyEntryEmptiesTheFileAndShowsNothing) {
    open("\"Einzig\"\r\n1,2,3,4,5\r\n6\r\n7\r\n");
    EXPECT_FALSE(button("CmdRechts")->isEnabled());
    test::click(form, "CmdEdit");
    test::click(form, "CmdDel");
    EXPECT_EQ(schiffeDat(), "");
    // An empty catalogue: empty list, empty boxes, nothing to edit, step or delete.
    EXPECT_EQ(combo()->count(), 0);
    EXPECT_EQ(combo()->currentText(), "");
    EXPECT_EQ(test::texts(form, kBoxes), QStringList(7, QString()));
    EXPECT_TRUE(readOnly());
    EXPECT_FALSE(button("CmdEdit")->isEnabled());
    EXPECT_FALSE(button("CmdLinks")->isEnabled());
    EXPECT_FALSE(button("CmdRechts")->isEnabled());
    EXPECT_TRUE(button("CmdNeu")->isEnabled());
}

TEST_F(FrmConfig2Test, EmptyCatalogueGainsEntryZero) {
    open(); // no schiffe.dat
    EXPECT_FALSE(button("CmdEdit")->isEnabled());
    t.script.inputs = {"", "Erstes"}; // cancelled (an empty name): no new ship yet
    test::click(form, "CmdNeu");
    EXPECT_EQ(t.script.boxes[0].preset, " 0");
    EXPECT_FALSE(button("CmdSpeichern")->isEnabled());
    EXPECT_EQ(t.ships.pending(), nullptr);
    test::click(form, "CmdNeu");
    EXPECT_TRUE(editable());
    test::retype(form, "TxtErz", "10");
    test::click(form, "CmdSpeichern");
    EXPECT_EQ(schiffeDat(), "\"Erstes\"\r\n10,0,0,0,0\r\n0\r\n0\r\n");
    EXPECT_EQ(listNames(), QStringList{"Erstes"});
}

TEST_F(FrmConfig2Test, SaveQuestionOnClose) {
    struct Case {
        Answer answer;
        const char* file; // schiffe.dat afterwards
        bool rateEditor; // FrmConfig3 shown
        bool typed = true; // a value box edited: otherwise no question
    };
    // Cancel keeps the editor open with what was typed (the old program
    // closed it and dropped the typed values).
    const Case cases[] = {
        {Answer::Ok, "editor_start.dat", true, false},
        {Answer::Cancel, "editor_start.dat", false},
        {Answer::No, "editor_start.dat", true},
        // The typed value is taken over before saving.
        {Answer::Yes, "editor_typed_ene.dat", true},
    };
    for (const Case& c : cases) {
        t.script.clear();
        open(test::golden("catalogue", "editor_start.dat"));
        test::click(form, "CmdRechts");
        test::click(form, "CmdEdit");
        if (c.typed) test::retype(form, "TxtEne", "-7");
        t.script.answers = {c.answer};
        const bool staysOpen = c.answer == Answer::Cancel;
        closeForm(staysOpen);
        if (staysOpen) {
            EXPECT_EQ(box("TxtEne")->text(), "-7");
            EXPECT_TRUE(editable());
        }
        ASSERT_EQ(t.script.boxes.size(), c.typed ? 1u : 0u);
        if (c.typed) {
            EXPECT_EQ(t.script.boxes[0].kind, Kind::Question);
            EXPECT_EQ(t.script.boxes[0].text, "Änderungen speichern?");
            EXPECT_EQ(t.script.boxes[0].title, "Speichern?");
        }
        EXPECT_EQ(schiffeDat(), test::golden("catalogue", c.file)) << static_cast<int>(c.answer);
        EXPECT_EQ(rateEditorOpen(), c.rateEditor) << static_cast<int>(c.answer);
        if (staysOpen) {
            t.script.answers = {Answer::No};
            closeForm();
        }
        t.windows.close(kFrmConfig3);
        test::settle();
    }
    // Yes also brings the catalogue in memory up to the file.
    EXPECT_EQ(t.ships.Schiffstypen()[1].ene, -7);
}

TEST_F(FrmConfig2Test, HandelskonfigurationSavesTypedValues) {
    open(test::golden("catalogue", "editor_start.dat"));
    test::click(form, "CmdRechts");
    test::click(form, "CmdEdit");
    test::retype(form, "TxtEne", "-7");
    QPointer<QWidget> alive(form);
    test::click(form, "Command1");
    test::settle();
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(rateEditorOpen());
    EXPECT_TRUE(t.script.boxes.empty());
    EXPECT_EQ(schiffeDat(), test::golden("catalogue", "editor_typed_ene.dat"));
}

TEST_F(FrmConfig2Test, RefusedInputKeepsTheFileAndTheBoxes) {
    struct Case {
        const char* what;
        const char* box; // nullptr: the name
        QString text;
        const char* message;
    };
    const Case cases[] = {
        {"double quote in the name", nullptr, "Der \"Blitz\"", "Anführungszeichen"},
        {"beyond 32 bits", "TxtAlu", "4294967296", "„Alu“ liegt außerhalb des erlaubten Bereichs"},
        {"below 32 bits", "TxtBauzeit", "-2147483649", "„Bauzeit in min“"},
    };
    for (const Case& c : cases) {
        t.script.clear();
        open(test::golden("catalogue", "editor_start.dat"));
        test::click(form, "CmdEdit");
        if (c.box)
            test::retype(form, c.box, c.text);
        else
            test::retype(combo(), c.text);
        test::click(form, "CmdSpeichern");
        ASSERT_EQ(t.script.boxes.size(), 1u) << c.what;
        EXPECT_NE(t.script.boxes[0].text.find(c.message), std::string::npos) << t.script.boxes[0].text;
        EXPECT_EQ(t.script.boxes[0].icon, MessageIcon::Error);
        EXPECT_EQ(schiffeDat(), test::golden("catalogue", "editor_start.dat")) << c.what;
        EXPECT_TRUE(editable()) << c.what; // open for a correction
        EXPECT_EQ(t.ships.Schiffstypen()[0].name, "Jäger") << c.what;
        EXPECT_EQ(t.ships.Schiffstypen()[0].alu, 50) << c.what;

        // Neither "Handelskonfiguration" nor Yes in the save question leaves
        // the editor over it; a typed name is asked about like a typed value.
        test::click(form, "Command1");
        t.script.answers = {Answer::Yes};
        closeForm(true);
        EXPECT_EQ(schiffeDat(), test::golden("catalogue", "editor_start.dat")) << c.what;
        EXPECT_EQ(c.box ? box(c.box)->text() : combo()->currentText(), c.text) << c.what;
        t.script.answers = {Answer::No};
        closeForm();
    }
}

TEST_F(FrmConfig2Test, NewShipNameWithDoubleQuoteIsAskedAgain) {
    open(test::golden("catalogue", "editor_start.dat"));
    t.script.inputs = {"Der \"Blitz\"", "Der Blitz"};
    test::click(form, "CmdNeu");
    ASSERT_EQ(t.script.boxes.size(), 3u);
    EXPECT_EQ(t.script.boxes[1].kind, Kind::Message);
    EXPECT_EQ(t.script.boxes[2].kind, Kind::Input);
    EXPECT_EQ(t.script.boxes[2].preset, "Der \"Blitz\"");
    EXPECT_EQ(combo()->currentText(), "Der Blitz");
}

// A schiffe.dat with a record the editor cannot read: the first save keeps
// the old file beside it and says where; a clean file gets no copy.
const std::string kJaeger = "\"J\xE4ger\"\r\n100,50,0,10,0\r\n20\r\n15\r\n";
const std::string kJaegerEdited = "\"J\xE4ger\"\r\n7,50,0,10,0\r\n20\r\n15\r\n";
const std::string kUnreadable = "\"Kaputt\"\r\n\"viel\",0,0,0,0\r\n5\r\n5\r\n";
const std::string kFrachter = "\"Frachter\"\r\n400,400,0,0,50\r\n12\r\n45\r\n";
const std::string kKeptCopyText =
    "schiffe.dat enthielt Einträge, die nicht gelesen werden konnten. "
    "Die alte Datei wurde als schiffe.dat.bak aufbewahrt.";

TEST_F(FrmConfig2Test, DamagedFileIsKeptBeforeTheFirstSave) {
    enum class Action { Save, Delete, YesOnClose, Handelskonfiguration };
    struct Case {
        const char* what;
        Action action;
        std::string result; // schiffe.dat afterwards
    };
    const Case cases[] = {
        {"Änderung speichern", Action::Save, kJaegerEdited + kFrachter},
        {"Löschen", Action::Delete, kFrachter},
        {"Ja in the save question", Action::YesOnClose, kJaegerEdited + kFrachter},
        {"Handelskonfiguration", Action::Handelskonfiguration, kJaegerEdited + kFrachter},
    };
    for (const bool damaged : {true, false}) {
        for (const Case& c : cases) {
            const std::string what = std::string(c.what) + (damaged ? " (damaged)" : " (clean)");
            t.script.clear();
            std::filesystem::remove(t.file("schiffe.dat.bak"));
            const std::string old = kJaeger + (damaged ? kUnreadable : "") + kFrachter;
            open(old);
            EXPECT_EQ(listNames(), (QStringList{"Jäger", "Frachter"})) << what;
            test::click(form, "CmdEdit");
            if (c.action != Action::Delete) test::retype(form, "TxtErz", "7");
            switch (c.action) {
            case Action::Save:
                test::click(form, "CmdSpeichern");
                break;
            case Action::Delete:
                test::click(form, "CmdDel");
                break;
            case Action::YesOnClose:
                t.script.answers = {Answer::Yes};
                closeForm();
                break;
            case Action::Handelskonfiguration:
                test::click(form, "Command1");
                break;
            }
            test::settle();

            EXPECT_EQ(schiffeDat(), c.result) << what;
            EXPECT_FALSE(std::filesystem::exists(t.file("schiffe.dat.bak2"))) << what;
            if (damaged) {
                EXPECT_EQ(test::readBytes(t.file("schiffe.dat.bak")), old) << what;
                EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{kKeptCopyText}) << what;
            } else {
                EXPECT_FALSE(std::filesystem::exists(t.file("schiffe.dat.bak"))) << what;
                EXPECT_TRUE(t.script.messageTexts().empty()) << what;
            }

            // The file written is whole: a further save keeps no other copy.
            if (t.windows.window(kFrmConfig2) != nullptr) {
                t.script.clear();
                test::click(form, "CmdEdit");
                test::click(form, "CmdSpeichern");
                EXPECT_TRUE(t.script.boxes.empty()) << what;
                EXPECT_EQ(schiffeDat(), c.result) << what;
                EXPECT_FALSE(std::filesystem::exists(t.file("schiffe.dat.bak2"))) << what;
                closeForm();
            }
            t.windows.close(kFrmConfig3);
            test::settle();
        }
    }
}

TEST_F(FrmConfig2Test, DamagedFileWithoutACopyIsNotWritten) {
    const std::string old = kJaeger + kUnreadable + kFrachter;
    open(old);
    test::click(form, "CmdEdit");
    test::retype(form, "TxtErz", "7");
    {
        // The copy of the old file cannot be made: files may not grow that far.
        test::FileSizeLimit limit(old.size() - 1);
        ASSERT_TRUE(limit.active());
        test::click(form, "CmdSpeichern");
    }
    ASSERT_EQ(t.script.boxes.size(), 1u);
    EXPECT_EQ(t.script.boxes[0].icon, MessageIcon::Error);
    EXPECT_EQ(t.script.boxes[0].text.rfind("schiffe.dat enthält Einträge, die nicht gelesen werden konnten, und es "
                                           "ließ sich keine Sicherungskopie davon anlegen (Datei zu groß).",
                                           0),
              0u)
        << t.script.boxes[0].text;
    EXPECT_EQ(schiffeDat(), old);
    EXPECT_FALSE(std::filesystem::exists(t.file("schiffe.dat.bak")));
    // What was typed is still there, ready to be saved again.
    EXPECT_TRUE(editable());
    EXPECT_TRUE(form->changed);
    EXPECT_EQ(box("TxtErz")->text(), "7");

    t.script.clear();
    test::click(form, "CmdSpeichern");
    EXPECT_EQ(schiffeDat(), kJaegerEdited + kFrachter);
    EXPECT_EQ(test::readBytes(t.file("schiffe.dat.bak")), old);
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{kKeptCopyText});
}

// Every path that saves, with a save that fails: the catalogue that the
// calculators use stays what the file holds, the editor stays open and the
// typed values wait in its boxes for another try (Yes in the save question
// closed it once, and the values were gone).
TEST_F(FrmConfig2Test, FailedSaveLeavesTheCatalogueAsTheFileHoldsIt) {
    enum class Path { Save, NewShip, Delete, YesOnClose, Handelskonfiguration };
    const std::string kBlitz = "\"Blitz\"\r\n7,0,0,0,0\r\n0\r\n0\r\n";
    struct Case {
        Path path;
        std::string retried; // schiffe.dat after another try, where the editor keeps the typed values
    };
    const Case cases[] = {{Path::Save, kJaegerEdited + kFrachter},
                          {Path::NewShip, kJaeger + kFrachter + kBlitz},
                          {Path::Delete, ""},
                          {Path::YesOnClose, kJaegerEdited + kFrachter},
                          {Path::Handelskonfiguration, kJaegerEdited + kFrachter}};
    for (const bool damaged : {false, true}) { // the write fails, or the copy of a damaged file
        const std::string old = kJaeger + (damaged ? kUnreadable : "") + kFrachter;
        for (const Case& c : cases) {
            const std::string what = std::to_string(static_cast<int>(c.path)) + (damaged ? " damaged" : "");
            t.script.clear();
            open(old);
            t.script.inputs = {"Blitz"};
            test::click(form, c.path == Path::NewShip ? "CmdNeu" : "CmdEdit");
            if (c.path != Path::Delete) test::retype(form, "TxtErz", "7");
            t.files.failAt(damaged ? test::FileStep::Link : test::FileStep::Rename, "schiffe.dat");
            t.script.answers = {Answer::Yes};
            switch (c.path) {
            case Path::Save:
            case Path::NewShip:
                test::click(form, "CmdSpeichern");
                break;
            case Path::Delete:
                test::click(form, "CmdDel");
                break;
            case Path::YesOnClose:
                form->close();
                test::settle();
                break;
            case Path::Handelskonfiguration:
                test::click(form, "Command1");
                break;
            }
            t.files.heal();

            EXPECT_EQ(t.files.failures(), 1) << what;
            EXPECT_EQ(schiffeDat(), old) << what;
            EXPECT_EQ(t.script.messageTexts().size(), 1u) << what;
            ShipCatalogue asInFile(t.log);
            loadSchiffe(asInFile, t.file("schiffe.dat"), SpeedWidth::Bits32);
            ASSERT_EQ(t.ships.Schiffstypen_length(), asInFile.Schiffstypen_length()) << what;
            EXPECT_TRUE(std::equal(asInFile.Schiffstypen().begin(), asInFile.Schiffstypen().end(),
                                   t.ships.Schiffstypen().begin()))
                << what;
            EXPECT_EQ(t.ships.find("Jäger")->erz, 100) << what;
            EXPECT_EQ(t.ships.find("Blitz"), nullptr) << what;

            ASSERT_NE(t.windows.window(kFrmConfig2), nullptr) << what;
            if (!c.retried.empty()) {
                EXPECT_TRUE(editable()) << what;
                EXPECT_EQ(box("TxtErz")->text(), "7") << what;
                EXPECT_EQ(combo()->currentText(), c.path == Path::NewShip ? "Blitz" : "Jäger") << what;
                if (c.path == Path::YesOnClose) {
                    t.script.answers = {Answer::Yes};
                    form->close();
                    test::settle();
                } else {
                    test::click(form, c.path == Path::Handelskonfiguration ? "Command1" : "CmdSpeichern");
                }
                EXPECT_EQ(schiffeDat(), c.retried) << what;
                EXPECT_EQ(t.ships.find("Jäger")->erz, c.path == Path::NewShip ? 100 : 7) << what;
            }
            if (t.windows.window(kFrmConfig2) != nullptr) {
                t.script.answers = {Answer::No};
                closeForm();
            }
            t.windows.close(kFrmConfig3);
            test::settle();
            std::filesystem::remove(t.file("schiffe.dat.bak"));
        }
    }
}

} // namespace
} // namespace krvx
