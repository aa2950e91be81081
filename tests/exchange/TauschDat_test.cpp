#include "exchange/TauschDat.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "support/Files.h"

namespace krvx {
namespace {

const RegionalSettings kGerman = RegionalSettings::german();

struct GoldenCase {
    const char* file;
    Mengen amounts;
    FieldValue kursvermerk;
};

TEST(TauschDat, WritesTheGoldenFilesAndReadsThemBack) {
    const std::vector<GoldenCase> cases = {
        {"tausch_nullen.dat", {"0", "0", "0", "0", "0"}, FieldValue{}},
        {"tausch_zahl.dat", {"1500", "0", "0", "0", "0"}, FieldValue{1.5}},
        // A long text, a leading blank, a decimal comma and an empty text.
        {"tausch_gemischt.dat",
         {"1500", "Zwanzigtausendzwölf", " 3150", "2520,5", ""},
         FieldValue{std::string("Stand Juni")}},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string golden = test::golden("exchange", c.file);
        EXPECT_EQ(utf8ToCp1252(tauschDatContent(c.amounts, c.kursvermerk, kGerman)), golden);
        EXPECT_EQ(parseTauschDat(cp1252ToUtf8(golden), kGerman), c.amounts);
    }
}

struct ReadCase {
    const char* name;
    std::string content;
    Mengen amounts;
};

TEST(TauschDat, ReadsTheFirstFiveFields) {
    const std::vector<ReadCase> cases = {
        {"print zones",
         "1500          0             0             0             0\r\n\r\n",
         {"1500", "0", "0", "0", "0"}},
        {"numbers take the regional form", "1.5 1E3 -0 .25 1e20\r\n", {"1,5", "1000", "0", "0,25", "1E+20"}},
        {"a quoted number stays text", "\"1.5\" \" 7\" \"\" x y\r\n", {"1.5", " 7", "", "x", "y"}},
        {"text fields end at a blank", "abc def 12abc 0 0\r\n", {"abc", "def", "12abc", "0", "0"}},
        {"commas separate too", "1,2,3,4,5\r\n", {"1", "2", "3", "4", "5"}},
        {"an unquoted decimal comma shifts the fields", "2,5 0 0 0 0\r\n", {"2", "5", "0", "0", "0"}},
        {"line ends only separate", "1\r\n2\n3\r\n\"4\"\r\n5", {"1", "2", "3", "4", "5"}},
        {"the second line is not read", "7 8\r\n\"Vermerk\"\r\n", {"7", "8", "Vermerk", "", ""}},
        {"a short file", "5\r\n", {"5", "", "", "", ""}},
        {"an empty file", "", {"", "", "", "", ""}},
        {"an open quote runs to the end", "\"1 2 3\r\n", {"1 2 3\r\n", "", "", "", ""}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseTauschDat(c.content, kGerman), c.amounts);
    }
}

TEST(TauschDat, EveryAmountTextReadsBackUnchanged) {
    const std::vector<Mengen> cases = {
        {"0", "1500", "2520,5", " 3150", "-7"},     {"", "", "", "", ""},
        {"1,000,000", "1.5", "00", "1e3", "1E+20"}, {"a b", "\t", "x,y", "\"", "Zwanzigtausendzweihundert"},
        {"0,00001", "1E-05", "-0", "abc", "12abc"},
    };
    for (const Mengen& amounts : cases) {
        const std::string text = tauschDatContent(amounts, FieldValue{}, kGerman);
        Mengen back = parseTauschDat(text, kGerman);
        // A double quote cannot stand in a quoted text; it comes back as an apostrophe.
        Mengen expected = amounts;
        for (auto& e : expected) {
            if (e == "\"") e = "'";
        }
        EXPECT_EQ(back, expected) << text;
    }
}

TEST(TauschDat, UnderPointSettingsDecimalPointsNeedNoQuotes) {
    const RegionalSettings english = RegionalSettings::english();
    const Mengen amounts{"1.5", "2,5", "0", "0", "0"};
    const std::string text = tauschDatContent(amounts, FieldValue{}, english);
    EXPECT_EQ(text, "1.5           \"2,5\"         0             0             0\r\n\r\n");
    EXPECT_EQ(parseTauschDat(text, english), amounts);
}

} // namespace
} // namespace krvx
