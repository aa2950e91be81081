#include <gtest/gtest.h>

#include "shipcost/Fehlermeldung.h"
#include "support/ScriptedMessages.h"

namespace krvx {
namespace {

TEST(Fehlermeldung, RoutineThenLineFeedCarriageReturnNumberAndDescription) {
    const struct {
        const char* routine;
        Fehler fehler;
        const char* text;
    } cases[] = {
        {"Preis", fehler::schiffUnbekannt("X"), "Fehler in Preis.\n\r 1 Schiffstyp „X“ steht nicht im Schiffskatalog"},
        {"CmdHandel", fehler::fensterFehlt("FrmTausch"),
         "Fehler in CmdHandel.\n\r 7 Fenster FrmTausch lässt sich nicht öffnen"},
        {"Form_Load", Fehler{1234567, "x"}, "Fehler in Form_Load.\n\r 1234567 x"},
        {"R", Fehler{-3, ""}, "Fehler in R.\n\r-3 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fehlerText(c.routine, c.fehler), c.text);
    }
    test::ScriptedMessages messages;
    fehlerMelden(messages, "PreisBerechnen", fehler::ergebnisZuGross());
    ASSERT_EQ(messages.boxes.size(), 1U);
    EXPECT_EQ(messages.boxes[0].kind, test::ScriptedMessages::Kind::Message);
    EXPECT_EQ(messages.boxes[0].title, "Korvax Rechner");
    EXPECT_EQ(messages.boxes[0].icon, MessageIcon::None);
}

TEST(Fehlermeldung, EveryFailureHasItsOwnNumber) {
    const Fehler alle[] = {fehler::schiffUnbekannt("A"), fehler::anzahlZuGross(),  fehler::zuschlagZuGross(),
                           fehler::listeVoll(),          fehler::keineZeileGewaehlt(), fehler::ergebnisZuGross(),
                           fehler::fensterFehlt("F")};
    for (std::size_t i = 0; i < std::size(alle); ++i) {
        EXPECT_FALSE(alle[i].beschreibung.empty());
        for (std::size_t j = i + 1; j < std::size(alle); ++j) {
            EXPECT_NE(alle[i].nummer, alle[j].nummer);
        }
    }
}

} // namespace
} // namespace krvx
