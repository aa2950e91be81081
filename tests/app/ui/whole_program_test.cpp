#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <string>

#include "app/ui/AllWindows.h"
#include "app/ui/FrmMenu.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

const char* const kExampleFiles[] = {"schiffe.dat", "planeten.dat", "kurse.dat", "creditkurse.dat"};

// The example files that a first start puts into the data folder, in a run
// that opens every window and closes the menu with all of them open.
TEST(WholeProgram, ExampleFilesLoadAndComeThroughARunOfEveryWindow) {
    test::TestServices t;
    test::copySeedFiles(t.dir.path());
    registerAllWindows(t.windows, t.services);
    QPointer<FrmMenu> menu = t.windows.show<FrmMenu>(kFrmMenu);
    ASSERT_FALSE(menu.isNull());

    // Entry 0 of either list never flies: a satellite and a placeholder planet.
    ASSERT_EQ(t.ships.Schiffstypen_length(), 7);
    EXPECT_EQ(t.ships.Schiffstypen()[0], (Schiffstyp{"Solarsatellit", 0, 2000, 500, 0, 0, 0, 10}));
    EXPECT_EQ(
        test::readBytes(test::seedFile("planeten.dat")).rfind("(Platzhalter: kein Flug)\r\n 0 \r\n 0 \r\n 0 \r\n", 0),
        0u);
    const Schiffstyp* freighter = t.ships.find("Großer Frachter");
    ASSERT_NE(freighter, nullptr);
    EXPECT_EQ(*freighter, (Schiffstyp{"Großer Frachter", 6000, 4500, 500, 0, 600, 30, 55}));
    ASSERT_NE(t.ships.find("Kreuzer, schwer"), nullptr);
    EXPECT_EQ(t.tausch.KurseLaden(), Meldungen{});
    EXPECT_DOUBLE_EQ(t.tausch.KaufUmrechnen("Erz", 1000, Rechenart::Mal, false).wert, 1200);
    EXPECT_DOUBLE_EQ(t.tausch.VerkaufUmrechnen("Kri", 1000, Rechenart::Mal, false).wert, 3000);
    EXPECT_DOUBLE_EQ(t.tausch.KaufUmrechnen("Ene", 1000, Rechenart::Mal, true).wert, 2000);
    EXPECT_TRUE(t.tausch.kurseGeladen());

    for (const char* button : {"CmdZeit", "CmdSchiffpreise", "CmdProduktion", "CmdTausch"}) {
        test::control<QPushButton>(menu, button)->click();
    }
    menu->findChild<QAction*>("config")->trigger();
    t.windows.show(kFrmNeuerPlanet);
    t.windows.show(kFrmConfig2);
    for (const QString& name : shutDownOrder()) {
        if (name != kFrmSplash) {
            EXPECT_NE(t.windows.window(name), nullptr) << name.toStdString();
        }
    }

    menu->close();
    test::settle();

    EXPECT_TRUE(menu.isNull());
    for (const QString& name : shutDownOrder()) {
        EXPECT_EQ(t.windows.window(name), nullptr) << name.toStdString();
    }
    EXPECT_FALSE(t.log.debugOn());
    const std::string log = test::readBytes(t.file("KRVXR.debug"));
    EXPECT_TRUE(log.ends_with("    End Debugging\r\n")) << log;
    EXPECT_TRUE(t.script.boxes.empty()) << t.script.boxes.front().text;
    // The flight time window writes the planet list back as it read it; the
    // other example files are only read.
    for (const char* name : kExampleFiles) {
        EXPECT_EQ(test::readBytes(t.file(name)), test::readBytes(test::seedFile(name))) << name;
    }
}

// Rates saved in "Config" count from the exchange calculator's next
// computation on (the old program kept the rates of its first conversion).
TEST(WholeProgram, EditedRatesCountFromTheNextComputation) {
    test::TestServices t;
    test::writeBytes(t.file("kurse.dat"), test::readBytes(test::seedFile("kurse.dat")));
    test::writeBytes(t.file("creditkurse.dat"), "2,1,1,1,1\r\n1,1,1,1,1\r\n1,1,1,1,1\r\n");
    registerAllWindows(t.windows, t.services);
    const auto typeInto = [](QWidget* window, const char* box, const QString& text) {
        test::activate(window);
        test::retype(test::control(window, box), text);
    };
    QWidget* tausch = t.windows.show(kFrmTausch);
    typeInto(tausch, "TxtErz", "1");
    EXPECT_EQ(test::control<QLineEdit>(tausch, "TxtResCred")->text(), "2");
    typeInto(t.windows.show(kFrmConfig3), "TxtErzKauf", "7");
    t.windows.close(kFrmConfig3);
    typeInto(tausch, "TxtErz", "3");
    EXPECT_EQ(test::control<QLineEdit>(tausch, "TxtResCred")->text(), "21");
}

} // namespace
} // namespace krvx
