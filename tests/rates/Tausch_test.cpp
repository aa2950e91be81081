#include "rates/Tausch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

using Row = std::array<double, kRessourcen>;
const std::string kKurseFehlt = "Fehler beim Laden von kurse.dat";
const std::string kCreditFehlt = "Fehler beim Laden von creditkurse.dat";

// A kurse.dat with distinct rates and a text at its end.
const std::string kKurse =
    "1.1,1.2,1.3,1.4\r\n2.1,2.2,2.3,2.4\r\n3.1,3.2,3.3,3.4\r\n4.1,4.2,4.3,4.4\r\n5.1,5.2,5.3,5.4\r\n\"Stand Juni\"\r\n";
// creditkurse.dat as the rate editor writes it: three records.
const std::string kCreditDrei = "2,3,4,5,1\r\n1,2,3,4,.5\r\n1.5,2.5,3.5,4.5,0.75\r\n";

class TauschTest : public ::testing::Test {
protected:
    void put(const char* name, const std::string& bytes) { test::writeBytes(dir_.file(name), bytes); }
    void remove(const char* name) { std::filesystem::remove(dir_.file(name)); }

    test::TempDir dir_;
    Tausch tausch_{dir_.path()};
};

struct LoadCase {
    const char* name;
    std::optional<std::string> kurse; // nullopt: no file
    std::optional<std::string> credit;
    std::vector<std::string> messages;
    Row kauf, verkauf, rh;
    FieldValue vermerk;
    double spare;
    bool geladen;
};

FieldValue num(double v) {
    return FieldValue{v};
}
FieldValue txt(const char* t) {
    return FieldValue{std::string(t)};
}

Meldungen boxes(const std::vector<std::string>& texts) {
    Meldungen boxes;
    for (const std::string& text : texts) boxes.push_back({text});
    return boxes;
}

std::string describe(const FieldValue& v) {
    if (v.isNumber()) return "number " + std::to_string(std::get<double>(v.value));
    if (v.isText()) return "text '" + std::get<std::string>(v.value) + "'";
    return "empty";
}

TEST_F(TauschTest, LoadingFillsTablesAsTheHoldersCarryThem) {
    const std::vector<LoadCase> cases = {
        {"complete files with a fourth record",
         kKurse,
         kCreditDrei + "\"Vermerk\",7\r\n",
         {},
         {2, 3, 4, 5, 1},
         {1, 2, 3, 4, .5},
         {1.5, 2.5, 3.5, 4.5, .75},
         txt("Vermerk"),
         7,
         true},
        {"three records as the editor writes them",
         kKurse,
         kCreditDrei,
         {},
         {2, 3, 4, 5, 1},
         {1, 2, 3, 4, .5},
         {1.5, 2.5, 3.5, 4.5, .75},
         num(1.5),
         2.5,
         true},
        {"all fifteen rates on one line, LF only",
         kKurse,
         "2,3,4,5,1,1,2,3,4,.5,1.5,2.5,3.5,4.5,0.75\n",
         {},
         {2, 3, 4, 5, 1},
         {1, 2, 3, 4, .5},
         {1.5, 2.5, 3.5, 4.5, .75},
         num(1.5),
         2.5,
         true},
        {"kurse.dat missing",
         std::nullopt,
         kCreditDrei,
         {kKurseFehlt},
         {2, 3, 4, 5, 1},
         {1, 2, 3, 4, .5},
         {1.5, 2.5, 3.5, 4.5, .75},
         num(1.5),
         2.5,
         false},
        {"both files missing",
         std::nullopt,
         std::nullopt,
         {kKurseFehlt, kCreditFehlt},
         {},
         {},
         {},
         FieldValue{},
         0,
         false},
        {"creditkurse.dat missing", kKurse, std::nullopt, {kCreditFehlt}, {}, {}, {}, txt("Stand Juni"), 0, false},
        {"empty kurse.dat",
         "",
         kCreditDrei + "\"V\",1\r\n",
         {},
         {2, 3, 4, 5, 1},
         {1, 2, 3, 4, .5},
         {1.5, 2.5, 3.5, 4.5, .75},
         txt("V"),
         1,
         true},
        // The holders keep the last record of kurse.dat: its four rates and,
        // in the first holder, its trailing value.
        {"empty creditkurse.dat takes what kurse.dat left",
         "1,2,3,4\r\n5,6,7,8\r\n9,9,9,9\r\n9,9,9,9\r\n21,22,23,24\r\n9\r\n",
         "",
         {},
         {9, 22, 23, 24, 0},
         {9, 22, 23, 24, 0},
         {9, 22, 23, 24, 0},
         num(9),
         22,
         true},
        {"a record cut short repeats the fields of the one before",
         kKurse,
         "2,3,4,5,1\r\n7,8\r\n",
         {},
         {2, 3, 4, 5, 1},
         {7, 8, 4, 5, 1},
         {7, 8, 4, 5, 1},
         num(7),
         8,
         true},
        {"empty and text rates count as 0",
         kKurse,
         "1,,3,\"abc\",5\r\n1,2,3,4,5\r\n1,2,3,4,5\r\n",
         {},
         {1, 0, 3, 0, 5},
         {1, 2, 3, 4, 5},
         {1, 2, 3, 4, 5},
         num(1),
         2,
         true},
        {"garbage",
         "\x01\xff,zz\r\n",
         "@@@ \xfe\xfe\r\n,,\r\n",
         {},
         {0, 0, 0, 0, 0},
         {0, 0, 0, 0, 0},
         {0, 0, 0, 0, 0},
         txt("@@@ \u00fe\u00fe"),
         0,
         true},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        if (c.kurse) test::writeBytes(dir.file("kurse.dat"), *c.kurse);
        if (c.credit) test::writeBytes(dir.file("creditkurse.dat"), *c.credit);
        Tausch tausch(dir.path());
        EXPECT_EQ(tausch.KurseLaden(), boxes(c.messages));
        EXPECT_EQ(tausch.Creditkurse()[0], c.kauf);
        EXPECT_EQ(tausch.Creditkurse()[1], c.verkauf);
        EXPECT_EQ(tausch.Creditkurse()[2], c.rh);
        EXPECT_EQ(describe(tausch.Kursvermerk()), describe(c.vermerk));
        EXPECT_EQ(tausch.spareNumber(), c.spare);
        EXPECT_EQ(tausch.kurseGeladen(), c.geladen);
    }
}

TEST_F(TauschTest, KurseRecordsGoToTheirResources) {
    put("kurse.dat", kKurse);
    put("creditkurse.dat", kCreditDrei);
    tausch_.KurseLaden();
    const Tausch::KursTabelle expected{
        {{1.1, 1.2, 1.3, 1.4}, {2.1, 2.2, 2.3, 2.4}, {3.1, 3.2, 3.3, 3.4}, {4.1, 4.2, 4.3, 4.4}, {5.1, 5.2, 5.3, 5.4}}};
    EXPECT_EQ(tausch_.Kurse(), expected);
}

// Loaded tables are read again only after the rate editor saved (the old
// program kept them to the end of the run).
TEST_F(TauschTest, LoadedTablesAreReadAgainOnlyAfterTheEditorSaved) {
    put("kurse.dat", kKurse);
    put("creditkurse.dat", kCreditDrei);
    EXPECT_EQ(tausch_.KurseLaden(), Meldungen{});
    EXPECT_EQ(tausch_.KaufUmrechnen("Erz", 10, Rechenart::Mal, false).wert, 20);
    put("creditkurse.dat", "9,9,9,9,9\r\n9,9,9,9,9\r\n9,9,9,9,9\r\n");
    tausch_.KurseLaden();
    EXPECT_EQ(tausch_.KaufUmrechnen("Erz", 10, Rechenart::Mal, false).wert, 20);
    tausch_.ratesSaved();
    tausch_.KurseLaden();
    EXPECT_EQ(tausch_.KaufUmrechnen("Erz", 10, Rechenart::Mal, false).wert, 90);
    EXPECT_EQ(tausch_.VerkaufUmrechnen("Erz", 10, Rechenart::Mal, true).wert, 90);
}

// Each failing file is reported once until the exchange window opens again
// (the old program reported it on every conversion).
TEST_F(TauschTest, WhileAFileFailsEveryLoadingReadsBothAgain) {
    put("creditkurse.dat", kCreditDrei);
    EXPECT_EQ(tausch_.KurseLaden(), boxes({kKurseFehlt}));
    EXPECT_EQ(tausch_.KaufUmrechnen("Erz", 10, Rechenart::Mal, false).wert, 20);
    put("creditkurse.dat", "7,3,4,5,1\r\n");
    EXPECT_EQ(tausch_.KurseLaden(), Meldungen{});
    EXPECT_EQ(tausch_.KaufUmrechnen("Erz", 10, Rechenart::Mal, false).wert, 70);
    tausch_.reportFailuresAgain();
    EXPECT_EQ(tausch_.KurseLaden(), boxes({kKurseFehlt}));

    put("kurse.dat", kKurse);
    EXPECT_EQ(tausch_.KurseLaden(), Meldungen{});
    EXPECT_TRUE(tausch_.kurseGeladen());
    put("creditkurse.dat", "8,3,4,5,1\r\n");
    EXPECT_EQ(tausch_.KurseLaden(), Meldungen{});
    EXPECT_EQ(tausch_.KaufUmrechnen("Erz", 10, Rechenart::Mal, false).wert, 70);
}

TEST_F(TauschTest, AMissingCreditFileKeepsTheRatesLoadedBefore) {
    put("kurse.dat", kKurse);
    put("creditkurse.dat", kCreditDrei + "\"Vermerk\",7\r\n");
    // A loading that failed on creditkurse.dat leaves the flag clear; rates
    // read in an earlier loading stay until the file is back.
    remove("kurse.dat");
    EXPECT_EQ(tausch_.KurseLaden(), boxes({kKurseFehlt}));
    put("kurse.dat", kKurse);
    remove("creditkurse.dat");
    EXPECT_EQ(tausch_.KurseLaden(), boxes({kCreditFehlt}));
    EXPECT_FALSE(tausch_.kurseGeladen());
    EXPECT_EQ(tausch_.Creditkurs(Kursart::Verkauf, 4), .5);
    EXPECT_EQ(describe(tausch_.Kursvermerk()), "text 'Stand Juni'");
}

struct ConversionCase {
    const char* name;
    bool kauf; // KaufUmrechnen, else VerkaufUmrechnen
    const char* resource;
    double amount;
    Rechenart art;
    bool useRH;
    double wert;
    Rechenfehler fehler;
};

TEST_F(TauschTest, ConversionsUseTheirRowAndOperator) {
    put("kurse.dat", kKurse);
    put("creditkurse.dat", "2,3,4,5,1\r\n1,2,3,0,.5\r\n1.5,2.5,3.5,4.5,1e-300\r\n");
    tausch_.KurseLaden();
    const double big = 1e308;
    const std::vector<ConversionCase> cases = {
        {"buy rate times", true, "Erz", 1000, Rechenart::Mal, false, 2000, Rechenfehler::Keiner},
        {"buy at the trader divides", true, "Erz", 1000, Rechenart::Durch, true, 1000 / 1.5, Rechenfehler::Keiner},
        {"sell rate times", false, "Ene", 5, Rechenart::Mal, false, 2.5, Rechenfehler::Keiner},
        {"sell at the trader", false, "Leg", 7, Rechenart::Mal, true, 24.5, Rechenfehler::Keiner},
        {"sell rate divides", false, "Alu", 250, Rechenart::Durch, false, 125, Rechenfehler::Keiner},
        {"lower-case name", true, "erz", 1000, Rechenart::Mal, false, 0, Rechenfehler::Keiner},
        {"rate 0 times", false, "Kri", 1000, Rechenart::Mal, false, 0, Rechenfehler::Keiner},
        {"amount divided by rate 0", false, "Kri", 250, Rechenart::Durch, false, 0, Rechenfehler::DivisionDurchNull},
        {"negative amount divided by rate 0", false, "Kri", -1, Rechenart::Durch, false, 0,
         Rechenfehler::DivisionDurchNull},
        {"0 divided by rate 0", false, "Kri", 0, Rechenart::Durch, false, 0, Rechenfehler::Ueberlauf},
        {"product beyond the double range", true, "Erz", big, Rechenart::Mal, false, 0, Rechenfehler::Ueberlauf},
        {"quotient beyond the double range", true, "Ene", 1e10, Rechenart::Durch, true, 0, Rechenfehler::Ueberlauf},
        {"0 of an unknown resource by rate 0", false, "Gold", 0, Rechenart::Durch, false, 0, Rechenfehler::Keiner},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Umrechnung u = c.kauf ? tausch_.KaufUmrechnen(c.resource, c.amount, c.art, c.useRH)
                                    : tausch_.VerkaufUmrechnen(c.resource, c.amount, c.art, c.useRH);
        EXPECT_EQ(u.fehler, c.fehler);
        EXPECT_DOUBLE_EQ(u.wert, c.wert);
    }
}

} // namespace
} // namespace krvx
