// A disk that fails at every step of every save and of the debug log: the old
// file stays byte for byte, no temporary file is left, the user is told what
// the window tells (nothing where it is silent), and the same save works once
// the disk does.

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <vector>
#include <gtest/gtest.h>
#include <iostream>

#include "app/ui/AllWindows.h"
#include "catalogue/CatalogueEdit.h"
#include "common/messagetexts.h"
#include "common/ui/FormWindow.h"
#include "support/FailingFileOps.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::FileStep;
using Act = std::function<void(test::TestServices&)>;

// An example file with LF line ends: any save writes it back differently.
std::string lfExample(const char* name) {
    std::string text = test::readBytes(test::seedFile(name));
    std::erase(text, '\r');
    return text;
}

void closeAll(test::TestServices& t) {
    for (const char* name : {kFrmConfig2, kFrmConfig3, kFrmZeit, kFrmProdZeit, kFrmTausch, kFrmMenu}) {
        t.windows.close(QString::fromLatin1(name));
    }
    test::settle();
}

// Opens the window, types into its boxes, clicks its button, closes everything.
Act use(const char* window, std::vector<const char*> boxes = {}, const char* button = nullptr) {
    return [=](test::TestServices& t) {
        QWidget* w = t.windows.show(QString::fromLatin1(window));
        if (!boxes.empty()) test::activate(w); // (the menu's splash screen takes the activation)
        for (const char* box : boxes) {
            test::focusOn(test::control<QLineEdit>(w, box));
            test::typeText(QStringLiteral("1"));
        }
        if (button) test::control<QPushButton>(w, button)->click();
        test::settle();
        t.script.answers = {Answer::No};
        closeAll(t);
    };
}

void editShip(test::TestServices& t) {
    test::control<QPushButton>(t.windows.show(kFrmConfig2), "CmdEdit")->click();
    use(kFrmConfig2, {"TxtErz"}, "CmdSpeichern")(t);
}

void addPlanet(test::TestServices& t) {
    t.windows.show(kFrmZeit);
    use(kFrmNeuerPlanet, {"TxtName", "TxtGal", "TxtSys", "TxtPlanet"}, "CmdAdd")(t);
}

TEST(FailingDisk, EverySaveFailsAtEveryStepAndLosesNothing) {
    const FileError full{ENOSPC, "Kein Speicherplatz mehr auf dem Datenträger"};
    const std::vector<FileStep> save = {FileStep::Open, FileStep::Write, FileStep::Fsync, FileStep::Close,
                                        FileStep::Rename};
    const std::vector<FileStep> copy = {FileStep::Open, FileStep::Write, FileStep::Fsync, FileStep::Close,
                                        FileStep::Link};
    const std::string schiffe = lfExample("schiffe.dat") + "\"Kaputt\"\n\"viel\",0,0,0,0\n5\n5\n";
    const std::string planeten = lfExample("planeten.dat") + "Kaputt\n abc \n 1 \n 1 \n";
    const std::string lost = ". Die neu eingegebenen Planeten wurden nicht gespeichert.";
    const std::string planetenLost = "planeten.dat konnte nicht gespeichert werden: " + full.description + lost;
    const std::string planetenBeside =
        "planeten.dat konnte nicht gespeichert werden: " + full.description +
        ". Die Planetenliste mit den neu eingegebenen Planeten steht in planeten.dat.neu.";
    struct Case {
        const char* file;
        std::string old; // the file's bytes before
        Act act;
        std::vector<FileStep> steps;
        bool afterCopy; // a damaged file's copy is kept, then the save fails
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"schiffe.dat", lfExample("schiffe.dat"), editShip, save, false, {saveErrorText(full)}},
        {"schiffe.dat", schiffe, editShip, copy, false, {copyErrorText("schiffe.dat", full)}},
        {"schiffe.dat", schiffe, editShip, save, true, {saveErrorText(full)}},
        {"planeten.dat", lfExample("planeten.dat"), use(kFrmZeit), save, false, {}},
        {"planeten.dat", lfExample("planeten.dat"), addPlanet, save, false, {planetenLost}},
        {"planeten.dat",
         planeten,
         addPlanet,
         copy,
         false,
         {"planeten.dat enthält Einträge, die nicht gelesen werden konnten, und es ließ sich keine "
          "Sicherungskopie anlegen; die Datei bleibt unverändert" +
          lost}},
        {"planeten.dat", planeten, addPlanet, save, true, {planetenLost}},
        {"produktion.dat", "100 0 0 0 0\n250 0 0 0 0\n\n", use(kFrmProdZeit), save, false, {}},
        {"creditkurse.dat",
         lfExample("creditkurse.dat"),
         use(kFrmConfig3),
         save,
         false,
         {notSavedText("creditkurse.dat", full)}},
        {"tausch.dat", "1500 0 0 0 0\n1.5\n", use(kFrmTausch), save, false, {}},
        // The debug log stays off when it cannot be opened and ends at a failed append.
        {"KRVXR.debug",
         "6 Dezember 9:00    End Debugging\r\n",
         use(kFrmMenu),
         {FileStep::Open, FileStep::Write},
         false,
         {}},
    };
    int injected = 0;
    for (const Case& c : cases) {
        for (const FileStep step : c.steps) {
            const std::string what =
                std::string(c.file) + (c.afterCopy ? " after its copy" : "") + ", failing at " + test::stepName(step);
            test::TestServices t;
            registerAllWindows(t.windows, t.services);
            for (const char* example : {"schiffe.dat", "planeten.dat", "kurse.dat", "creditkurse.dat"}) {
                test::writeBytes(t.file(example), lfExample(example));
            }
            test::writeBytes(t.file(c.file), c.old);
            std::vector<std::string> entries = test::folderEntries(t.dir.path());
            if (c.afterCopy) entries.push_back(std::string(c.file) + ".bak");
            const bool beside = step == FileStep::Rename &&
                                c.messages == std::vector{planetenLost}; // the list beside it takes no rename
            if (beside) entries.push_back("planeten.dat.neu");
            std::sort(entries.begin(), entries.end());

            t.files.failAt(step, c.file, c.afterCopy && step != FileStep::Rename ? 1 : 0);
            c.act(t);
            t.files.heal();

            injected += t.files.failures() > 0 ? 1 : 0;
            EXPECT_GT(t.files.failures(), 0) << what;
            EXPECT_EQ(test::readBytes(t.file(c.file)), c.old) << what;
            EXPECT_EQ(test::folderEntries(t.dir.path()), entries) << what;
            if (c.afterCopy) {
                EXPECT_EQ(test::readBytes(t.file(std::string(c.file) + ".bak")), c.old) << what;
            }
            EXPECT_EQ(t.script.messageTexts(), beside ? std::vector{planetenBeside} : c.messages) << what;

            t.script.clear();
            c.act(t);
            EXPECT_NE(test::readBytes(t.file(c.file)), c.old) << what << ": not saved once the disk works";
        }
    }
    std::cout << "[ figures  ] " << injected << " failed saves survived\n";
}

} // namespace
} // namespace krvx
