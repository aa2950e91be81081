// A disk that fails at every step of every save the program makes: the old
// file stays byte for byte, no temporary file is left, the user is told what
// the windows tell (nothing where they are silent), and the program goes on:
// the same save works once the disk does.

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <iostream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "common/ui/FormWindow.h"
#include "catalogue/CatalogueEdit.h"
#include "support/FailingFileOps.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using test::FileStep;

// The example file with LF line ends: any save writes it back differently.
std::string lfExample(const char* name) {
    std::string text = test::readBytes(fs::path(KRVX_SOURCE_DIR) / "packaging/seed" / name);
    std::erase(text, '\r');
    return text;
}

void type(QWidget* window, const char* box, const char* text) {
    test::focusOn(test::control<QLineEdit>(window, box));
    test::typeText(QString::fromLatin1(text));
}

void click(QWidget* window, const char* button) {
    test::control<QPushButton>(window, button)->click();
    test::settle();
}

void closeAll(test::TestServices& t) {
    for (const char* name : {"FrmConfig2", "FrmConfig3", "FrmZeit", "FrmProdZeit", "FrmTausch", "FrmMenu"}) {
        t.windows.close(QString::fromLatin1(name));
    }
    test::settle();
}

void openAndClose(test::TestServices& t, const char* window) {
    test::activate(t.windows.show(QString::fromLatin1(window)));
    closeAll(t);
}

void editShip(test::TestServices& t) {
    QWidget* editor = t.windows.show(QStringLiteral("FrmConfig2"));
    test::activate(editor);
    click(editor, "CmdEdit");
    type(editor, "TxtErz", "7");
    click(editor, "CmdSpeichern");
    t.script.answers = {Answer::No};
    closeAll(t);
}

void addPlanet(test::TestServices& t) {
    test::activate(t.windows.show(QStringLiteral("FrmZeit")));
    QWidget* dialog = t.windows.show(QStringLiteral("FrmNeuerPlanet"));
    test::activate(dialog);
    type(dialog, "TxtName", "Neu");
    type(dialog, "TxtGal", "1");
    type(dialog, "TxtSys", "2");
    type(dialog, "TxtPlanet", "3");
    click(dialog, "CmdAdd");
    closeAll(t);
}

const FileError kFull{ENOSPC, "Kein Speicherplatz mehr auf dem Datenträger"};
const std::vector<FileStep> kSaveSteps = {FileStep::Open, FileStep::Write, FileStep::Fsync, FileStep::Close,
                                          FileStep::Rename};
const std::vector<FileStep> kCopySteps = {FileStep::Open, FileStep::Write, FileStep::Fsync, FileStep::Close,
                                          FileStep::Link};
const std::string kPlanetLost = "Die neu eingegebenen Planeten wurden nicht gespeichert.";

struct Save {
    const char* what;
    const char* file;
    std::string old;  // the file's bytes before
    std::function<void(test::TestServices&)> act;
    std::vector<FileStep> steps;
    bool afterCopy = false;  // the save that follows a kept copy of a damaged file fails
    std::vector<std::string> messages;
};

TEST(FailingDisk, EverySaveFailsAtEveryStepAndLosesNothing) {
    const std::string schiffe = lfExample("schiffe.dat");
    const std::string schiffeDamaged = schiffe + "\"Kaputt\"\n\"viel\",0,0,0,0\n5\n5\n";
    const std::string planeten = lfExample("planeten.dat");
    const std::string planetenDamaged = planeten + "Kaputt\n abc \n 1 \n 1 \n";
    const auto open = [](const char* window) { return [window](test::TestServices& t) { openAndClose(t, window); }; };
    const Save saves[] = {
        {"Änderung speichern", "schiffe.dat", schiffe, editShip, kSaveSteps, false, {saveErrorText(kFull)}},
        {"Änderung speichern, the copy of a damaged file", "schiffe.dat", schiffeDamaged, editShip, kCopySteps,
         false, {copyErrorText(kFull)}},
        {"Änderung speichern, a damaged file after its copy", "schiffe.dat", schiffeDamaged, editShip, kSaveSteps,
         true, {saveErrorText(kFull)}},
        {"Reisezeit closed", "planeten.dat", planeten, open("FrmZeit"), kSaveSteps, false, {}},
        {"Reisezeit closed after a planet was added", "planeten.dat", planeten, addPlanet, kSaveSteps, false,
         {"planeten.dat konnte nicht gespeichert werden: " + kFull.description + ". " + kPlanetLost}},
        {"a planet added, the copy of a damaged file", "planeten.dat", planetenDamaged, addPlanet, kCopySteps, false,
         {"planeten.dat enthält Einträge, die nicht gelesen werden konnten, und es ließ sich keine "
          "Sicherungskopie anlegen; die Datei bleibt unverändert. " + kPlanetLost}},
        {"a planet added, a damaged file after its copy", "planeten.dat", planetenDamaged, addPlanet, kSaveSteps,
         true, {"planeten.dat konnte nicht gespeichert werden: " + kFull.description + ". " + kPlanetLost}},
        {"Produktionszeiten closed", "produktion.dat", "100 0 0 0 0\n250 0 0 0 0\n\n", open("FrmProdZeit"),
         kSaveSteps, false, {}},
        {"Config closed", "creditkurse.dat", lfExample("creditkurse.dat"), open("FrmConfig3"), kSaveSteps, false, {}},
        {"Tausch-Rechner closed", "tausch.dat", "1500 0 0 0 0\n1.5\n", open("FrmTausch"), kSaveSteps, false, {}},
    };
    int injected = 0;
    for (const Save& save : saves) {
        for (const FileStep step : save.steps) {
            const std::string what = std::string(save.what) + ", failing at " + test::stepName(step);
            test::TestServices t;
            registerAllWindows(t.windows, t.services);
            for (const char* example : {"schiffe.dat", "planeten.dat", "kurse.dat", "creditkurse.dat"}) {
                test::writeBytes(t.file(example), lfExample(example));
            }
            test::writeBytes(t.file(save.file), save.old);
            if (std::string(save.file) != "tausch.dat") test::writeBytes(t.file("tausch.dat"), "1500 0 0 0 0\n1.5\n");
            std::vector<std::string> entries = test::folderEntries(t.dir.path());
            if (save.afterCopy) {
                entries.push_back(std::string(save.file) + ".bak");
                std::sort(entries.begin(), entries.end());
            }

            t.files.failAt(step, save.file, save.afterCopy && step != FileStep::Rename ? 1 : 0);
            save.act(t);
            t.files.heal();

            EXPECT_GT(t.files.failures(), 0) << what;
            injected += t.files.failures() > 0 ? 1 : 0;
            EXPECT_EQ(test::readBytes(t.file(save.file)), save.old) << what;
            EXPECT_EQ(test::folderEntries(t.dir.path()), entries) << what;
            if (save.afterCopy) {
                EXPECT_EQ(test::readBytes(t.file(std::string(save.file) + ".bak")), save.old) << what;
            }
            EXPECT_EQ(t.script.messageTexts(), save.messages) << what;

            t.script.clear();
            save.act(t);
            EXPECT_NE(test::readBytes(t.file(save.file)), save.old) << what << ": not saved once the disk works";
        }
    }
    RecordProperty("injected", injected);
    std::cout << "[ figures  ] " << injected << " failed saves survived\n";
}

// The debug log: a log that cannot be opened stays off, one whose append
// fails ends there, a failing close loses nothing; the program says nothing
// and goes on, and the next run logs again.
TEST(FailingDisk, TheDebugLogFailsSilently) {
    const std::string old = "6 Dezember 9:00    End Debugging\r\n";
    for (const FileStep step : {FileStep::Open, FileStep::Write, FileStep::Close}) {
        const std::string what = std::string("failing at ") + test::stepName(step);
        test::TestServices t;
        registerAllWindows(t.windows, t.services);
        test::writeBytes(t.file("KRVXR.debug"), old);

        const auto run = [&t] {
            t.windows.show(QStringLiteral("FrmMenu"));
            test::settle();
            closeAll(t);
        };
        t.files.failAt(step, "KRVXR.debug");
        run();
        t.files.heal();

        EXPECT_GT(t.files.failures(), 0) << what;
        const std::string log = test::readBytes(t.file("KRVXR.debug"));
        ASSERT_EQ(log.rfind(old, 0), 0u) << what << ": " << log;
        if (step == FileStep::Close) {
            EXPECT_TRUE(log.ends_with("    End Debugging\r\n")) << what << ": " << log;
        } else {
            EXPECT_EQ(log.find("Begin Debugging"), std::string::npos) << what << ": " << log;
        }
        EXPECT_FALSE(t.log.debugOn()) << what;
        EXPECT_TRUE(t.script.boxes.empty()) << what;

        run();
        EXPECT_TRUE(test::readBytes(t.file("KRVXR.debug")).ends_with("    End Debugging\r\n")) << what;
        std::cout << "[ figures  ] debug log failed at " << test::stepName(step) << ", survived\n";
    }
}

} // namespace
} // namespace krvx
