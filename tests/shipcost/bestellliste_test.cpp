#include <gtest/gtest.h>

#include <string>

#include "shipcost/Bestellliste.h"

namespace krvx {
namespace {

// The box of a failure's text, none for nullptr.
Meldungen box(const char* text) {
    return text ? Meldungen{{text}} : Meldungen{};
}

const std::string kA = "A" + std::string(30, ' ');

TEST(Listenzeile, PadsNameAndFormatsCountAndSurcharge) {
    const struct {
        Bestellung entry;
        std::string line;
    } cases[] = {
        {{"A", 3, 10.0F}, kA + "\t003 Stück\t010%"},
        {{"A", 1234, 7.5F}, kA + "\t1234 Stück\t008%"},
        {{"A", 0, -2.5F}, kA + "\t000 Stück\t-003%"}, // halves away from zero
        {{"A", 0, -0.4F}, kA + "\t000 Stück\t000%"},
        {{"Jäger", 2, -4.0F}, "Jäger" + std::string(26, ' ') + "\t002 Stück\t-004%"}, // characters, not bytes
        {{std::string(40, 'X'), 1, 0.0F}, std::string(40, 'X') + "\t001 Stück\t000%"},
        {{"A", 1, 1e30F}, kA + "\t001 Stück\t1000000015047466219876688855040%"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(listenzeile(c.entry), c.line) << c.entry.schiff << " " << c.entry.zuschlag;
    }
}

TEST(Bestellliste, AddReadsTheTexts) {
    const char* const tooLarge = "Fehler in CmdAdd.\n\r 2 Anzahl zu groß (höchstens 2147483647)";
    const char* const surchargeOut = "Fehler in CmdAdd.\n\r 3 Zuschlag außerhalb des Zahlenbereichs";
    const struct {
        const char* count;
        const char* surcharge;
        bool added;
        Bestellung stored;
        const char* message;
    } cases[] = {
        {"", "0", false, {}, nullptr},
        {"abc", "0", false, {}, nullptr},
        {"-3", "0", false, {}, nullptr},
        {"0.4", "0", true, {" S ", 0, 0}, nullptr},
        {"2.5", "0", true, {" S ", 2, 0}, nullptr},
        {"3.5", "0", true, {" S ", 4, 0}, nullptr},
        {"1,5", "abc", true, {" S ", 1, 0}, nullptr},
        {"2147483647.4", "7.3", true, {" S ", 2147483647, 7.3F}, nullptr},
        {"1", "10%", true, {" S ", 1, 10}, nullptr},
        {"2147483647.5", "0", false, {}, tooLarge},
        {"1", "1E308", false, {}, surchargeOut},
        {"1", "-1E39", false, {}, surchargeOut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " / " + c.surcharge);
        Bestellliste liste;
        ASSERT_TRUE(liste.add("B", "1", "0").hinzugefuegt);
        const AddErgebnis result = liste.add(" S ", c.count, c.surcharge);
        EXPECT_EQ(result.hinzugefuegt, c.added);
        EXPECT_EQ(result.meldungen, box(c.message));
        ASSERT_EQ(liste.Bestellungen().size(), c.added ? 2U : 1U);
        if (c.added) {
            EXPECT_EQ(liste.Bestellungen()[1], c.stored);
        }
    }
}

TEST(Bestellliste, AddBeyondTheLastEntryIsRefused) {
    Bestellliste liste;
    for (int i = 0; i < Bestellliste::kMaxEintraege; ++i) liste.add("A", "1", "0");
    ASSERT_EQ(liste.Bestellungen().size(), 32767U);
    const AddErgebnis result = liste.add("B", "1", "0");
    EXPECT_FALSE(result.hinzugefuegt);
    EXPECT_EQ(result.meldungen, box("Fehler in CmdAdd.\n\r 4 Die Liste ist voll (höchstens 32767 Einträge)"));
    EXPECT_EQ(liste.Bestellungen().size(), 32767U);
}

TEST(Bestellliste, RemoveMovesLaterEntriesUpOrChangesNothing) {
    const char* const noLine = "Fehler in CmdSub_Click.\n\r 5 Keine Zeile der Liste ausgewählt";
    const struct {
        int index;
        std::vector<Bestellung> valid;
    } cases[] = {
        {0, {{"B", 2, 20}, {"C", 3, 30}}},
        {1, {{"A", 1, 10}, {"C", 3, 30}}},
        {2, {{"A", 1, 10}, {"B", 2, 20}}},
        {-1, {{"A", 1, 10}, {"B", 2, 20}, {"C", 3, 30}}},
        {3, {{"A", 1, 10}, {"B", 2, 20}, {"C", 3, 30}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Bestellliste liste;
        liste.add("A", "1", "10");
        liste.add("B", "2", "20");
        liste.add("C", "3", "30");
        EXPECT_EQ(liste.remove(c.index), box(c.valid.size() == 2 ? nullptr : noLine));
        EXPECT_EQ(std::vector<Bestellung>(liste.Bestellungen().begin(), liste.Bestellungen().end()), c.valid);
        liste.leeren();
        EXPECT_TRUE(liste.Bestellungen().empty());
    }
    EXPECT_EQ(Bestellliste().remove(-1), box(noLine));
}

} // namespace
} // namespace krvx
