#include <gtest/gtest.h>

#include <string>

#include "shipcost/Bestellliste.h"
#include "support/ScriptedMessages.h"

namespace krvx {
namespace {

using test::ScriptedMessages;

std::string blanks(std::size_t n) { return std::string(n, ' '); }

struct LineCase {
    Bestellung entry;
    std::string line;
};

TEST(Listenzeile, PadsNameAndFormatsCountAndSurcharge) {
    const LineCase cases[] = {
        {{"A", 3, 10.0F}, "A" + blanks(30) + "\t003 Stück\t010%"},
        {{"A", 5, 7.5F}, "A" + blanks(30) + "\t005 Stück\t008%"},
        {{"A", 1234, -4.0F}, "A" + blanks(30) + "\t1234 Stück\t-004%"},
        {{"A", 0, 2.5F}, "A" + blanks(30) + "\t000 Stück\t003%"},     // halves away from zero
        {{"A", 0, -2.5F}, "A" + blanks(30) + "\t000 Stück\t-003%"},
        {{"A", 0, -0.4F}, "A" + blanks(30) + "\t000 Stück\t000%"},
        {{"Jäger", 2, 0.0F}, "Jäger" + blanks(26) + "\t002 Stück\t000%"},  // characters, not bytes
        {{"", 1, 0.0F}, blanks(31) + "\t001 Stück\t000%"},
        {{std::string(40, 'X'), 1, 0.0F}, std::string(40, 'X') + "\t001 Stück\t000%"},
        {{"A", 2147483647, 1e30F}, "A" + blanks(30) + "\t2147483647 Stück\t1000000015047466219876688855040%"},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(listenzeile(c.entry), c.line) << c.entry.schiff << " " << c.entry.zuschlag;
    }
}

struct AddCase {
    const char* count;
    const char* surcharge;
    AddErgebnis result;
    std::int32_t anzahl;
    float zuschlag;
};

TEST(Bestellliste, AddReadsCountAndSurchargeTexts) {
    const AddCase cases[] = {
        {"", "0", AddErgebnis::NichtsHinzugefuegt, 0, 0},
        {"abc", "0", AddErgebnis::NichtsHinzugefuegt, 0, 0},
        {"-3", "0", AddErgebnis::NichtsHinzugefuegt, 0, 0},
        {"0", "0", AddErgebnis::NichtsHinzugefuegt, 0, 0},
        {"0.4", "0", AddErgebnis::Hinzugefuegt, 0, 0},
        {"0.5", "0", AddErgebnis::Hinzugefuegt, 0, 0},
        {"1.5", "0", AddErgebnis::Hinzugefuegt, 2, 0},
        {"2.5", "0", AddErgebnis::Hinzugefuegt, 2, 0},
        {"3.5", "0", AddErgebnis::Hinzugefuegt, 4, 0},
        {"1,5", "0", AddErgebnis::Hinzugefuegt, 1, 0},
        {" 1 2", "0", AddErgebnis::Hinzugefuegt, 12, 0},
        {"2147483647.4", "0", AddErgebnis::Hinzugefuegt, 2147483647, 0},
        {"1", "7.5", AddErgebnis::Hinzugefuegt, 1, 7.5F},
        {"1", "7.3", AddErgebnis::Hinzugefuegt, 1, 7.3F},
        {"1", "10%", AddErgebnis::Hinzugefuegt, 1, 10},
        {"1", "", AddErgebnis::Hinzugefuegt, 1, 0},
        {"1", "abc", AddErgebnis::Hinzugefuegt, 1, 0},
        {"1", "-150", AddErgebnis::Hinzugefuegt, 1, -150},
        {"1", "1E38", AddErgebnis::Hinzugefuegt, 1, 1e38F},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " / " + c.surcharge);
        Bestellliste liste;
        ScriptedMessages messages;
        ASSERT_EQ(liste.add(" Schiff ", c.count, c.surcharge, messages), c.result);
        EXPECT_TRUE(messages.boxes.empty());
        if (c.result == AddErgebnis::Hinzugefuegt) {
            ASSERT_EQ(liste.Bestellungen_length, 1);
            EXPECT_EQ(liste.Bestellungen[0], (Bestellung{" Schiff ", c.anzahl, c.zuschlag}));
        } else {
            EXPECT_EQ(liste.Bestellungen_length, 0);
        }
    }
}

struct FailCase {
    const char* count;
    const char* surcharge;
    std::string message;
};

TEST(Bestellliste, AddOutOfRangeIsReportedAndAddsNothing) {
    const FailCase cases[] = {
        {"2147483647.5", "0", "Fehler in CmdAdd.\n\r 2 Anzahl zu groß (höchstens 2147483647)"},
        {"1E12", "0", "Fehler in CmdAdd.\n\r 2 Anzahl zu groß (höchstens 2147483647)"},
        {"1", "1E308", "Fehler in CmdAdd.\n\r 3 Zuschlag außerhalb des Zahlenbereichs"},
        {"1", "-1E39", "Fehler in CmdAdd.\n\r 3 Zuschlag außerhalb des Zahlenbereichs"},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " / " + c.surcharge);
        Bestellliste liste;
        ScriptedMessages messages;
        ASSERT_EQ(liste.add("A", "1", "0", messages), AddErgebnis::Hinzugefuegt);
        ASSERT_EQ(liste.add("B", c.count, c.surcharge, messages), AddErgebnis::Fehlgeschlagen);
        ASSERT_EQ(messages.boxes.size(), 1U);
        EXPECT_EQ(messages.boxes[0].text, c.message);
        EXPECT_EQ(messages.boxes[0].title, "Korvax Rechner");
        EXPECT_EQ(messages.boxes[0].icon, MessageIcon::None);
        EXPECT_EQ(liste.Bestellungen_length, 1);

        // The slot that has grown is taken by the next add.
        const std::size_t slots = liste.Bestellungen.size();
        ASSERT_EQ(liste.add("C", "4", "0", messages), AddErgebnis::Hinzugefuegt);
        EXPECT_EQ(liste.Bestellungen.size(), slots);
        EXPECT_EQ(liste.Bestellungen[1], (Bestellung{"C", 4, 0}));
    }
}

TEST(Bestellliste, AddBeyondTheLastEntryIsRefused) {
    Bestellliste liste;
    ScriptedMessages messages;
    for (int i = 0; i < Bestellliste::kMaxEintraege; ++i) {
        ASSERT_EQ(liste.add("A", "1", "0", messages), AddErgebnis::Hinzugefuegt);
    }
    ASSERT_EQ(liste.Bestellungen_length, 32767);
    EXPECT_EQ(liste.add("B", "1", "0", messages), AddErgebnis::Fehlgeschlagen);
    EXPECT_EQ(liste.Bestellungen_length, 32767);
    EXPECT_EQ(liste.Bestellungen.size(), 32767U);
    EXPECT_EQ(liste.Bestellungen.back().schiff, "A");
    ASSERT_EQ(messages.boxes.size(), 1U);
    EXPECT_EQ(messages.boxes[0].text, "Fehler in CmdAdd.\n\r 4 Die Liste ist voll (höchstens 32767 Einträge)");
    // A count that adds nothing still passes without a box.
    EXPECT_EQ(liste.add("B", "0", "0", messages), AddErgebnis::NichtsHinzugefuegt);
    EXPECT_EQ(messages.boxes.size(), 1U);
}

Bestellliste drei() {
    Bestellliste liste;
    ScriptedMessages messages;
    liste.add("A", "1", "10", messages);
    liste.add("B", "2", "20", messages);
    liste.add("C", "3", "30", messages);
    return liste;
}

struct RemoveCase {
    int index;
    std::vector<std::string> remaining;
};

TEST(Bestellliste, RemoveMovesLaterEntriesUpAndClearsTheFreedSlot) {
    const RemoveCase cases[] = {
        {0, {"B", "C"}},
        {1, {"A", "C"}},
        {2, {"A", "B"}},
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.index);
        Bestellliste liste = drei();
        ScriptedMessages messages;
        ASSERT_TRUE(liste.remove(c.index, messages));
        EXPECT_TRUE(messages.boxes.empty());
        ASSERT_EQ(liste.Bestellungen_length, 2);
        ASSERT_EQ(liste.Bestellungen.size(), 3U);
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(liste.Bestellungen[k].schiff, c.remaining[k]);
        }
        EXPECT_EQ(liste.Bestellungen[2], Bestellung{});
    }
    // Entries keep their own count and surcharge when they move.
    Bestellliste liste = drei();
    ScriptedMessages messages;
    liste.remove(0, messages);
    EXPECT_EQ(liste.Bestellungen[0], (Bestellung{"B", 2, 20}));
    EXPECT_EQ(liste.Bestellungen[1], (Bestellung{"C", 3, 30}));
}

TEST(Bestellliste, RemoveWithoutValidLineChangesNothing) {
    for (int index : {-1, 3, 100}) {
        SCOPED_TRACE(index);
        Bestellliste liste = drei();
        const Bestellliste before = liste;
        ScriptedMessages messages;
        EXPECT_FALSE(liste.remove(index, messages));
        ASSERT_EQ(messages.boxes.size(), 1U);
        EXPECT_EQ(messages.boxes[0].text, "Fehler in CmdSub_Click.\n\r 5 Keine Zeile der Liste ausgewählt");
        EXPECT_EQ(liste.Bestellungen, before.Bestellungen);
        EXPECT_EQ(liste.Bestellungen_length, before.Bestellungen_length);
    }
    Bestellliste leer;
    ScriptedMessages messages;
    EXPECT_FALSE(leer.remove(-1, messages));
    EXPECT_EQ(messages.boxes.size(), 1U);
    EXPECT_EQ(leer.Bestellungen_length, 0);
}

TEST(Bestellliste, LeerenLeavesOneClearedSlot) {
    Bestellliste liste = drei();
    liste.leeren();
    EXPECT_EQ(liste.Bestellungen_length, 0);
    EXPECT_EQ(liste.Bestellungen, std::vector<Bestellung>{Bestellung{}});
}

} // namespace
} // namespace krvx
