#include "exchange/TauschBerechnen.h"

#include <gtest/gtest.h>

#include <vector>

#include "exchange/FakeFelder.h"
#include "support/Files.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

using Texts = std::array<std::string, 6>;
const std::string kKurse = "1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n\"Vermerk\"\r\n";
// Kauf 2 3 4 5 1, Verkauf 1 2 3 4 0.5, RH 1.5 2.5 3.5 4.5 0.75
const std::string kKurseBeispiel = "2,3,4,5,1\r\n1,2,3,4,.5\r\n1.5,2.5,3.5,4.5,.75\r\n";
const std::string kKeineZahl = "Fehler 13\n\rDie Eingabe ist keine Zahl";
const std::string kDivision = "Fehler 11\n\rDivision durch Null: ein Kurs ist 0";
const std::string kUeberlauf = "Eingabe zu grosser Werte. Geben sie Bruchteile an."; // the old program's text as it was
const Texts kUnberuehrt{"x", "x", "x", "x", "x", "x"};

// A window without the window: the rate files in a folder, the messages
// going through the one-box-per-action filter, and each real change of an
// input running the computation again, nested.
class Rechner {
public:
    explicit Rechner(const std::string& credit, RegionalSettings regional = RegionalSettings::german(),
                     bool withKurse = true)
        : regional_(std::move(regional)) {
        if (withKurse) test::writeBytes(dir_.file("kurse.dat"), kKurse);
        if (!credit.empty()) test::writeBytes(dir_.file("creditkurse.dat"), credit);
        fields.texts.fill("0");
        fields.onInputChange = [this] {
            ++nestedRuns;
            berechnen();
        };
    }

    // One user action: the texts typed in, then one run.
    void action(const Texts& inputs, std::optional<Aktion> aktion = Aktion::Kauf) {
        auto handler = std::move(fields.onInputChange);
        for (int i = 0; i < 6; ++i) fields.texts[static_cast<std::size_t>(i)] = inputs[static_cast<std::size_t>(i)];
        for (int i = 6; i < kFelder; ++i) fields.texts[static_cast<std::size_t>(i)] = "x";
        fields.onInputChange = std::move(handler);
        fields.gewaehlt = aktion;
        UserAction userAction(filter);
        berechnen();
    }

    void berechnen() { filter.show(TauschBerechnen(fields, tausch, regional_)); }

    test::TempDir dir_;
    RegionalSettings regional_;
    test::ScriptedMessages shown;
    OncePerActionMessages filter{shown};
    Tausch tausch{dir_.path()};
    test::FakeFelder fields;
    int nestedRuns = 0;
};

struct Case {
    const char* name;
    std::optional<Aktion> aktion;
    Texts inputs; // Erz, Alu, Leg, Kri, Ene, Credits
    Texts tidied; // the inputs after the run
    Texts results; // Erz, Alu, Leg, Kri, Ene, Credits ("x": untouched)
    std::vector<std::string> messages;
    std::string rates = kKurseBeispiel;
};

void check(const Case& c, const RegionalSettings& regional) {
    SCOPED_TRACE(c.name);
    Rechner r(c.rates, regional);
    r.action(c.inputs, c.aktion);
    EXPECT_EQ(r.fields.inputs(), c.tidied);
    const Texts results = r.fields.results();
    EXPECT_EQ((Texts{results[0], results[1], results[2], results[3], results[4], results[5]}), c.results);
    EXPECT_EQ(r.shown.messageTexts(), c.messages);
    for (const auto& box : r.shown.boxes) EXPECT_EQ(box.title, "Fehler!");
    // Fields whose writes start no nested run are tidied by the run alone.
    Rechner flat(c.rates, regional);
    flat.fields.onInputChange = nullptr;
    flat.action(c.inputs, c.aktion);
    EXPECT_EQ(flat.fields.inputs(), c.tidied) << "without nested runs";
}

TEST(TauschBerechnen, WorkedExamplesAndGermanInput) {
    const std::vector<Case> cases = {
        {"buying",
         Aktion::Kauf,
         {"100", "0", "0", "0", "0", "50"},
         {"100", "0", "0", "0", "0", "50"},
         {"150", "125", "83", "62", "500", "250"},
         {}},
        {"selling",
         Aktion::Verkauf,
         {"100", "0", "0", "0", "0", "0"},
         {"100", "0", "0", "0", "0", "0"},
         {"100", "33", "25", "20", "100", "100"},
         {}},
        {"at the trader",
         Aktion::RH,
         {"100", "0", "0", "0", "0", "0"},
         {"100", "0", "0", "0", "0", "0"},
         {"100", "60", "43", "33", "200", "150"},
         {}},
        {"all zero",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "0"},
         {"0", "0", "0", "0", "0", "0"},
         {"0", "0", "0", "0", "0", "0"},
         {}},
        {"zeros in other forms become 0",
         Aktion::Kauf,
         {"0,0", "00", "-0", " 0 ", "0.0", "-0,000"},
         {"0", "0", "0", "0", "0", "0"},
         {"0", "0", "0", "0", "0", "0"},
         {}},
        {"a decimal point in an amount",
         Aktion::Kauf,
         {"2.5", "0", "0", "0", "0", "0"},
         {"2,5", "0", "0", "0", "0", "0"},
         {"2,5", "2", "2", "1", "10", "5"},
         {}},
        // This row and the second grouping point's below pin the old program's rule.
        {"a grouping point in an amount is taken as decimal",
         Aktion::Kauf,
         {"1.000", "0", "0", "0", "0", "0"},
         {"1,000", "0", "0", "0", "0", "0"},
         {"1", "1", "1", "0", "4", "2"},
         {}},
        {"points in the credits group digits",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "1.5"},
         {"0", "0", "0", "0", "0", "1.5"},
         {"15", "8", "5", "4", "30", "15"},
         {}},
        {"a thousand credits",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "1.000"},
         {"0", "0", "0", "0", "0", "1.000"},
         {"1000", "500", "333", "250", "2000", "1000"},
         {}},
        {"a leading blank stays",
         Aktion::Kauf,
         {" 3150", "0", "0", "0", "0", "0"},
         {" 3150", "0", "0", "0", "0", "0"},
         {"3150", "3150", "2100", "1575", "12600", "6300"},
         {}},
        {"credit sums are rounded to even before the conversion",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "62,5"},
         {"0", "0", "0", "0", "0", "62,5"},
         {"62", "31", "21", "16", "124", "62,5"},
         {}},
        {"and upwards to even",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "63,5"},
         {"0", "0", "0", "0", "0", "63,5"},
         {"64", "32", "21", "16", "128", "63,5"},
         {}},
        {"the credit result is not rounded",
         Aktion::Verkauf,
         {"0", "0", "0", "0", "5", "0"},
         {"0", "0", "0", "0", "5", "0"},
         {"1", "1", "0", "0", "5", "2,5"},
         {}},
        {"negative amounts",
         Aktion::Kauf,
         {"-100", "0", "0", "0", "0", "0"},
         {"-100", "0", "0", "0", "0", "0"},
         {"-100", "-100", "-67", "-50", "-400", "-200"},
         {}},
        {"tiny amounts in exponent form",
         Aktion::Kauf,
         {"0,00001", "0", "0", "0", "0", "0"},
         {"0,00001", "0", "0", "0", "0", "0"},
         {"1E-05", "0", "0", "0", "0", "2E-05"},
         {}},
        {"exponent input",
         Aktion::Kauf,
         {"1E3", "0", "0", "0", "0", "0"},
         {"1E3", "0", "0", "0", "0", "0"},
         {"1000", "1000", "667", "500", "4000", "2000"},
         {}},
        {"no first action: only the tidy-up",
         std::nullopt,
         {"2.5", "-0", "0", "0", "0", "0"},
         {"2,5", "0", "0", "0", "0", "0"},
         kUnberuehrt,
         {}},
        {"an emptied amount",
         Aktion::Kauf,
         {"", "0", "0", "0", "0", "0"},
         {"", "0", "0", "0", "0", "0"},
         kUnberuehrt,
         {kKeineZahl}},
        {"text in the credits, after the amounts were tidied",
         Aktion::Kauf,
         {"-0", "0", "0", "0", "0", "abc"},
         {"0", "0", "0", "0", "0", "abc"},
         kUnberuehrt,
         {kKeineZahl}},
        {"a second grouping point breaks the number once per action",
         Aktion::Kauf,
         {"1.000.000", "0", "0", "0", "0", "0"},
         {"1,000,000", "0", "0", "0", "0", "0"},
         kUnberuehrt,
         {kKeineZahl}},
        {"an input beyond the double range",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "1E309"},
         {"0", "0", "0", "0", "0", "1E309"},
         kUnberuehrt,
         {kUeberlauf}},
        {"a product beyond the double range",
         Aktion::Kauf,
         {"1E308", "0", "0", "0", "0", "0"},
         {"1E308", "0", "0", "0", "0", "0"},
         kUnberuehrt,
         {kUeberlauf}},
        {"a sum beyond the double range",
         Aktion::Verkauf,
         {"1E308", "0", "0", "0", "0", "1E308"},
         {"1E308", "0", "0", "0", "0", "1E308"},
         kUnberuehrt,
         {kUeberlauf}},
        {"a selling rate of 0 with credits to convert",
         Aktion::Kauf,
         {"100", "0", "0", "0", "0", "0"},
         {"100", "0", "0", "0", "0", "0"},
         {"100", "100", "67", "x", "x", "200"},
         {kDivision},
         "2,3,4,5,1\r\n1,2,3,0,.5\r\n1,1,1,1,1\r\n"},
        {"a selling rate of 0 with nothing to convert",
         Aktion::Kauf,
         {"0", "0", "0", "0", "0", "0"},
         {"0", "0", "0", "0", "0", "0"},
         {"0", "0", "0", "x", "x", "0"},
         {kUeberlauf},
         "2,3,4,5,1\r\n1,2,3,0,.5\r\n1,1,1,1,1\r\n"},
        {"an empty rate counts as 0",
         Aktion::Verkauf,
         {"0", "0", "0", "0", "0", "10"},
         {"0", "0", "0", "0", "0", "10"},
         {"x", "x", "x", "x", "x", "10"},
         {kDivision},
         ",3,4,5,1\r\n1,2,3,4,.5\r\n"},
    };
    for (const Case& c : cases) check(c, RegionalSettings::german());
}

TEST(TauschBerechnen, PointAsDecimalSeparatorLeavesTheTextAlone) {
    const std::vector<Case> cases = {
        {"a decimal point",
         Aktion::Kauf,
         {"2.5", "0", "0", "0", "0", "0"},
         {"2.5", "0", "0", "0", "0", "0"},
         {"2.5", "2", "2", "1", "10", "5"},
         {}},
        {"commas group",
         Aktion::Kauf,
         {"1,000", "0", "0", "0", "0", "0.5"},
         {"1,000", "0", "0", "0", "0", "0.5"},
         {"1000", "1000", "667", "500", "4000", "2000.5"},
         {}},
        {"zero still tidied",
         Aktion::Kauf,
         {"0.0", "-0", "0", "0", "0", "0"},
         {"0", "0", "0", "0", "0", "0"},
         {"0", "0", "0", "0", "0", "0"},
         {}},
    };
    for (const Case& c : cases) check(c, RegionalSettings::english());
}

// The nested runs started by the tidy-up end as one run on the tidied texts
// would: compare with a run whose fields start tidied and never nest.
TEST(TauschBerechnen, NestedRunsEndWithTheOutcomeOfOneRun) {
    const std::vector<std::pair<Texts, Aktion>> cases = {
        {{"1.5", "2.000", "-0", " 0 ", "0,0", "0,0"}, Aktion::Kauf},
        {{"0.0", "7.25", "00", "3", "1.000", "12"}, Aktion::Verkauf},
        {{"12.5", "0.5", "0.25", "-0", "2", "-0"}, Aktion::RH},
    };
    for (const auto& [inputs, aktion] : cases) {
        Rechner nested(kKurseBeispiel);
        nested.action(inputs, aktion);
        EXPECT_GT(nested.nestedRuns, 0);

        Rechner flat(kKurseBeispiel);
        flat.fields.onInputChange = nullptr;
        flat.action(nested.fields.inputs(), aktion);
        EXPECT_EQ(flat.fields.changes, 0);
        EXPECT_EQ(nested.fields.results(), flat.fields.results());
        EXPECT_TRUE(nested.shown.boxes.empty());
    }
}

TEST(TauschBerechnen, WithoutTheFilterEveryNestedRunReportsItsFailure) {
    // Two nested runs: the first rewrite starts one, which rewrites again.
    Rechner r(kKurseBeispiel);
    test::ScriptedMessages direct;
    const auto run = [&] { direct.show(TauschBerechnen(r.fields, r.tausch, r.regional_)); };
    r.fields.onInputChange = run;
    r.fields.texts[0] = "1.000.000";
    run();
    EXPECT_EQ(direct.messageTexts(), std::vector<std::string>(3, kKeineZahl));
}

TEST(TauschBerechnen, AMissingRateFileIsReportedOncePerAction) {
    Rechner r(kKurseBeispiel, RegionalSettings::german(), false);
    r.action({"2.5", "-0", "0", "0", "0", "0"});
    EXPECT_GT(r.nestedRuns, 1);
    EXPECT_EQ(r.shown.messageTexts(), std::vector<std::string>{"Fehler beim Laden von kurse.dat"});
    EXPECT_EQ(r.fields.results()[0], "2,5"); // the rates of creditkurse.dat are used
    // Later actions load again but stay silent until the window opens anew
    // (the old program showed the box again on every action).
    r.action({"0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(r.shown.messageTexts().size(), 1u);
    r.tausch.reportFailuresAgain();
    r.action({"1", "0", "0", "0", "0", "0"});
    EXPECT_EQ(r.shown.messageTexts().size(), 2u);
    EXPECT_FALSE(r.tausch.kurseGeladen());
}

TEST(TauschBerechnen, ARunOutsideAnActionReportsAMissingFileOnceToo) {
    // Outside a user action the filter lets every box through: the thirty
    // conversions of one run all load, one message says so.
    Rechner r(kKurseBeispiel, RegionalSettings::german(), false);
    r.fields.onInputChange = nullptr;
    r.berechnen();
    EXPECT_EQ(r.shown.messageTexts(), std::vector<std::string>(1, "Fehler beim Laden von kurse.dat"));
}

TEST(TauschBerechnen, BothFilesMissingShowBothOnceAndFailOnTheDivision) {
    Rechner r("", RegionalSettings::german(), false);
    r.action({"0", "0", "0", "0", "0", "5"});
    EXPECT_EQ(r.shown.messageTexts(), (std::vector<std::string>{"Fehler beim Laden von kurse.dat",
                                                                "Fehler beim Laden von creditkurse.dat", kDivision}));
    EXPECT_EQ(r.fields.results()[5], "5");
}

} // namespace
} // namespace krvx
