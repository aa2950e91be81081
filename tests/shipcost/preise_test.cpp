#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "shipcost/Preise.h"

namespace krvx {
namespace {

struct Line {
    const char* schiff;
    const char* anzahl;
    const char* zuschlag;
};

Bestellliste liste(std::initializer_list<Line> lines) {
    Bestellliste result;
    for (const Line& line : lines) EXPECT_TRUE(result.add(line.schiff, line.anzahl, line.zuschlag).hinzugefuegt);
    return result;
}

const std::vector<Schiffstyp> kKatalog{
    {"A", 1000, 500, 250, 0, 100, 10, 5},
    {"Kreuzer", 1000, 0, 0, 0, 0, 0, 0},
    {"Doppelt", 7, 0, 0, 0, 0, 0, 0},
    {"Doppelt", 9, 9, 9, 9, 9, 0, 0},
    {"Schwer", 2000000000, 2000000000, 0, 0, -5, 0, 0},
    {"Ausstehend", 1, 1, 1, 1, 1, 0, 0}, // pending editor entry, not counted
};
const std::span<const Schiffstyp> kGezaehlt = std::span(kKatalog).first(5);

struct TotalsCase {
    const char* name;
    Bestellliste liste;
    const char* gesZuschlag;
    bool haendler;
    Ergebnisse texte;
};

TEST(PreisBerechnen, TotalsOfTheOrderList) {
    const TotalsCase cases[] = {
        {"worked example",
         liste({{"A", "3", "10"}, {"A", "2", "-4"}}),
         "5",
         false,
         {" 5481", " 2740.5", " 1370.25", " 0", " 548.1"}},
        {"worked example, ship trader",
         liste({{"A", "3", "10"}, {"A", "2", "-4"}}),
         "5",
         true,
         {" 4384.8", " 2192.4", " 1096.2", " 0", " 438.48"}},
        {"empty list", liste({}), "0", false, {" 0", " 0", " 0", " 0", " 0"}},
        {"empty list, ship trader", liste({}), "abc", true, {" 0", " 0", " 0", " 0", " 0"}},
        {"surcharge held as a float",
         liste({{"Kreuzer", "1", "7.3"}}),
         "0",
         false,
         {" 1073.00000190735", " 0", " 0", " 0", " 0"}},
        {"surcharge 7.5 priced exactly",
         liste({{"Kreuzer", "2", "7.5"}}),
         "",
         false,
         {" 2150", " 0", " 0", " 0", " 0"}},
        {"first entry of a name", liste({{"Doppelt", "1", "0"}}), "0", false, {" 7", " 0", " 0", " 0", " 0"}},
        {"overall -100", liste({{"A", "3", "10"}}), "-100", false, {" 0", " 0", " 0", " 0", " 0"}},
        {"overall 10%", liste({{"Kreuzer", "1", "0"}}), "10%", false, {" 1100", " 0", " 0", " 0", " 0"}},
        {"overall 1,5", liste({{"Kreuzer", "1", "0"}}), "1,5", false, {" 1010", " 0", " 0", " 0", " 0"}},
        {"below -100 goes negative", liste({{"Kreuzer", "1", "-250"}}), "0", false, {"-1500", " 0", " 0", " 0", " 0"}},
        {"count 0.4 costs nothing", liste({{"A", "0.4", "0"}}), "0", false, {" 0", " 0", " 0", " 0", " 0"}},
        {"negative price",
         liste({{"Schwer", "3", "0"}}),
         "0",
         false,
         {" 6000000000", " 6000000000", " 0", " 0", "-15"}},
        {"large values in exponent form",
         liste({{"Schwer", "2147483647", "0"}}),
         "0",
         false,
         {" 4.294967294E+18", " 4.294967294E+18", " 0", " 0", "-10737418235"}},
        {"1E308 on an empty list", liste({}), "1E308", false, {" 0", " 0", " 0", " 0", " 0"}},
    };
    const PreisIndex index(kGezaehlt);
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Preisrechnung rechnung = PreisBerechnen(c.liste, index, c.gesZuschlag, c.haendler);
        EXPECT_EQ(rechnung.texte, c.texte);
        EXPECT_TRUE(rechnung.meldungen.empty());
    }
}

TEST(PreisBerechnen, UnknownShipIsReportedPerResourceAndCountsZero) {
    const char* const unbekannt[] = {"a", "Kreuzer ", " Kreuzer", "KREUZER", "Ausstehend", ""};
    const PreisIndex index(kGezaehlt);
    for (const char* name : unbekannt) {
        SCOPED_TRACE(name);
        const Preisrechnung rechnung =
            PreisBerechnen(liste({{"Kreuzer", "1", "0"}, {name, "2", "0"}}), index, "0", false);
        ASSERT_TRUE(rechnung.texte.has_value());
        EXPECT_EQ((*rechnung.texte)[0], " 1000");
        const std::string report =
            "Fehler in Preis.\n\r 1 Schiffstyp „" + std::string(name) + "“ steht nicht im Schiffskatalog";
        EXPECT_EQ(rechnung.meldungen, Meldungen(5, {report}));
    }
}

TEST(PreisBerechnen, SumBeyondTheDoubleRangeGivesNoTexts) {
    const PreisIndex index(kGezaehlt);
    for (const char* overall : {"1E308", "-1E308", "1E400"}) {
        SCOPED_TRACE(overall);
        const Preisrechnung rechnung = PreisBerechnen(liste({{"Kreuzer", "1", "0"}}), index, overall, false);
        EXPECT_FALSE(rechnung.texte.has_value());
        EXPECT_EQ(rechnung.meldungen,
                  Meldungen{{"Fehler in PreisBerechnen.\n\r 6 Ergebnis außerhalb des Zahlenbereichs"}});
    }
}

TEST(PreisIndex, LooksUpByExactNameAndKostenByResource) {
    const PreisIndex index(kGezaehlt);
    EXPECT_EQ(kosten(*index.find("A"), "Leg"), 250);
    EXPECT_EQ(kosten(*index.find("A"), "Ene"), 100);
    EXPECT_EQ(kosten(*index.find("A"), "erz"), 0); // any other resource text costs 0
    EXPECT_EQ(index.find("a"), nullptr);

    // More ships than the index's first table holds: every one is found.
    std::vector<Schiffstyp> viele;
    for (int i = 0; i < 40; ++i) viele.push_back({"Typ " + std::to_string(i), i, 0, 0, 0, 0, 0, 0});
    const PreisIndex grosser(viele);
    for (const Schiffstyp& typ : viele) EXPECT_EQ(grosser.find(typ.name), &typ) << typ.name;
}

} // namespace
} // namespace krvx
