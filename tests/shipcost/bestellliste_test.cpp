#include <gtest/gtest.h>

#include <string>

#include "shipcost/Bestellliste.h"
#include "support/ScriptedMessages.h"

namespace krvx {
namespace {

using test::ScriptedMessages;

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
        AddErgebnis result;
        Bestellung stored;
        const char* message;
    } cases[] = {
        {"", "0", AddErgebnis::NichtsHinzugefuegt, {}, nullptr},
        {"abc", "0", AddErgebnis::NichtsHinzugefuegt, {}, nullptr},
        {"-3", "0", AddErgebnis::NichtsHinzugefuegt, {}, nullptr},
        {"0.4", "0", AddErgebnis::Hinzugefuegt, {" S ", 0, 0}, nullptr},
        {"2.5", "0", AddErgebnis::Hinzugefuegt, {" S ", 2, 0}, nullptr},
        {"3.5", "0", AddErgebnis::Hinzugefuegt, {" S ", 4, 0}, nullptr},
        {"1,5", "abc", AddErgebnis::Hinzugefuegt, {" S ", 1, 0}, nullptr},
        {"2147483647.4", "7.3", AddErgebnis::Hinzugefuegt, {" S ", 2147483647, 7.3F}, nullptr},
        {"1", "10%", AddErgebnis::Hinzugefuegt, {" S ", 1, 10}, nullptr},
        {"2147483647.5", "0", AddErgebnis::Fehlgeschlagen, {}, tooLarge},
        {"1", "1E308", AddErgebnis::Fehlgeschlagen, {}, surchargeOut},
        {"1", "-1E39", AddErgebnis::Fehlgeschlagen, {}, surchargeOut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " / " + c.surcharge);
        Bestellliste liste;
        ScriptedMessages messages;
        ASSERT_EQ(liste.add("B", "1", "0", messages), AddErgebnis::Hinzugefuegt);
        ASSERT_EQ(liste.add(" S ", c.count, c.surcharge, messages), c.result);
        const bool added = c.result == AddErgebnis::Hinzugefuegt;
        ASSERT_EQ(liste.Bestellungen_length, added ? 2 : 1);
        if (added) {
            EXPECT_EQ(liste.Bestellungen[1], c.stored);
        }
        EXPECT_EQ(messages.texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        // A failed add has grown the storage; the next add takes that slot.
        ASSERT_EQ(liste.add("C", "4", "0", messages), AddErgebnis::Hinzugefuegt);
        EXPECT_EQ(liste.Bestellungen.size(), static_cast<std::size_t>(liste.Bestellungen_length));
    }
}

TEST(Bestellliste, AddBeyondTheLastEntryIsRefused) {
    Bestellliste liste;
    ScriptedMessages messages;
    for (int i = 0; i < Bestellliste::kMaxEintraege; ++i) liste.add("A", "1", "0", messages);
    ASSERT_EQ(liste.Bestellungen_length, 32767);
    EXPECT_EQ(liste.add("B", "1", "0", messages), AddErgebnis::Fehlgeschlagen);
    EXPECT_EQ(liste.Bestellungen_length, 32767);
    EXPECT_EQ(liste.Bestellungen.size(), 32767U);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Fehler in CmdAdd.\n\r 4 Die Liste ist voll (höchstens 32767 Einträge)"});
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
        ScriptedMessages messages;
        liste.add("A", "1", "10", messages);
        liste.add("B", "2", "20", messages);
        liste.add("C", "3", "30", messages);
        EXPECT_EQ(liste.remove(c.index, messages), c.valid.size() == 2);
        EXPECT_EQ(messages.texts(), c.valid.size() == 2 ? std::vector<std::string>{} : std::vector<std::string>{noLine});
        ASSERT_EQ(liste.Bestellungen.size(), 3U); // storage never shrinks
        ASSERT_EQ(static_cast<std::size_t>(liste.Bestellungen_length), c.valid.size());
        for (std::size_t k = 0; k < c.valid.size(); ++k) EXPECT_EQ(liste.Bestellungen[k], c.valid[k]);
        if (c.valid.size() == 2) {
            EXPECT_EQ(liste.Bestellungen[2], Bestellung{});
        }
        liste.leeren();
        EXPECT_EQ(liste.Bestellungen_length, 0);
        EXPECT_EQ(liste.Bestellungen, std::vector<Bestellung>(1));
    }
    Bestellliste leer;
    ScriptedMessages messages;
    EXPECT_FALSE(leer.remove(-1, messages));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{noLine});
}

} // namespace
} // namespace krvx
