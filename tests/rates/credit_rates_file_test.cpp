#include "rates/CreditRatesFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1252.h"
#include "support/Files.h"

namespace krvx {
namespace {

using Column = std::array<std::string, 5>;

CreditRateTexts texts(Column kauf, Column verkauf, Column rh) {
    return {kauf, verkauf, rh};
}

struct LoadCase {
    const char* what;
    std::string content;
    CreditRateTexts german;
    CreditRateTexts english;
};

TEST(CreditRatesFile, LoadCases) {
    const Column a{"1,5", "2", "3", "4", "10"};
    const Column aEn{"1.5", "2", "3", "4", "10"};
    const Column big{"1,7976931348623157E+308", "&H" + std::string(256, 'F'), "1", "1", "1"};
    const Column bigEn{"1.7976931348623157E+308", "&H" + std::string(256, 'F'), "1", "1", "1"};
    const std::vector<LoadCase> cases{
        {"three records", "1.5,2,3,4,10\r\n.5,-1,0,1E+20,1E-05\r\n1,2,3,4,5\r\n",
         texts(a, {"0,5", "-1", "0", "1E+20", "1E-05"}, {"1", "2", "3", "4", "5"}),
         texts(aEn, {"0.5", "-1", "0", "1E+20", "1E-05"}, {"1", "2", "3", "4", "5"})},
        {"all on one line", "1.5,2,3,4,10,.5,-1,0,1E+20,1E-05,1,2,3,4,5\r\n",
         texts(a, {"0,5", "-1", "0", "1E+20", "1E-05"}, {"1", "2", "3", "4", "5"}),
         texts(aEn, {"0.5", "-1", "0", "1E+20", "1E-05"}, {"1", "2", "3", "4", "5"})},
        {"only the first line", "1.5,2,3,4,10\r\n", texts(a, a, a), texts(aEn, aEn, aEn)},
        {"cut short in the second record", "1.5,2,3,4,10\r\n7,8\r\n",
         texts(a, {"7", "8", "3", "4", "10"}, {"7", "8", "3", "4", "10"}),
         texts(aEn, {"7", "8", "3", "4", "10"}, {"7", "8", "3", "4", "10"})},
        {"empty file", "", texts({}, {}, {}), texts({}, {}, {})},
        {"empty fields and texts", ",\"viel\",,x y,3\r\n1,2,3,4,5\r\n,,,,\r\n",
         texts({"", "viel", "", "x y", "3"}, {"1", "2", "3", "4", "5"}, {"", "", "", "", ""}),
         texts({"", "viel", "", "x y", "3"}, {"1", "2", "3", "4", "5"}, {"", "", "", "", ""})},
        {"fourth record not read", "1,1,1,1,1\r\n2,2,2,2,2\r\n3,3,3,3,3\r\n\"Vermerk\",9\r\n",
         texts({"1", "1", "1", "1", "1"}, {"2", "2", "2", "2", "2"}, {"3", "3", "3", "3", "3"}),
         texts({"1", "1", "1", "1", "1"}, {"2", "2", "2", "2", "2"}, {"3", "3", "3", "3", "3"})},
        {"the largest double shows its exact digits, and &H beyond the range is no number",
         "1.7976931348623157E+308,&H" + std::string(256, 'F') + ",1,1,1\r\n", texts(big, big, big),
         texts(bigEn, bigEn, bigEn)},
    };
    for (const LoadCase& c : cases) {
        EXPECT_EQ(parseCreditkurse(c.content, RegionalSettings::german()), c.german) << c.what;
        EXPECT_EQ(parseCreditkurse(c.content, RegionalSettings::english()), c.english) << c.what;
    }
}

struct SaveCase {
    const char* what;
    CreditRateTexts boxes;
    std::string german;
    std::string english;
};

TEST(CreditRatesFile, SaveCases) {
    const Column zeros{"0", "0", "0", "0", "0"};
    const std::vector<SaveCase> cases{
        {"fresh window", texts(zeros, zeros, zeros), "0,0,0,0,0\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n",
         "0,0,0,0,0\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n"},
        {"separators", texts({"1,5", "1.5", " 2 ", "1.000,25", "0,5"}, zeros, zeros),
         "1.5,15,2,1000.25,.5\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n", "15,1.5,2,1.00025,5\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n"},
        {"emptied selling rate takes the buying rate",
         texts({"1", "7", "1", "1", "1"}, {"2", "", "2", "2", "2"}, zeros), "1,7,1,1,1\r\n2,7,2,2,2\r\n0,0,0,0,0\r\n",
         "1,7,1,1,1\r\n2,7,2,2,2\r\n0,0,0,0,0\r\n"},
        {"emptied buying rate is an empty field", texts({"1", "", "1", "1", "1"}, {"2", "", "2", "2", "2"}, zeros),
         "1,,1,1,1\r\n2,,2,2,2\r\n0,0,0,0,0\r\n", "1,,1,1,1\r\n2,,2,2,2\r\n0,0,0,0,0\r\n"},
        {"text carries the rate before",
         texts({"abc", "3", "3", "3", "3"}, {"4", "abc", "4", "4", "4"}, {"x", "x", "5", "5", "5"}),
         ",3,3,3,3\r\n4,3,4,4,4\r\n4,3,5,5,5\r\n", ",3,3,3,3\r\n4,3,4,4,4\r\n4,3,5,5,5\r\n"},
        {"large and small", texts({"1E+20", "1,5E+20", "1E-05", "-3", "123456789012345"}, zeros, zeros),
         "1E+20,1.5E+20,1E-05,-3,123456789012345\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n",
         "1E+20,1.5E+21,1E-05,-3,123456789012345\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n"},
        {"the largest double typed in",
         texts({"1,7976931348623157E+308", "-1,79769313486231E+308", "1", "1", "1"}, zeros, zeros),
         "1.7976931348623157E+308,-1.79769313486231E+308,1,1,1\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n",
         ",,1,1,1\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n"},
    };
    for (const SaveCase& c : cases) {
        EXPECT_EQ(creditkurseContent(c.boxes, RegionalSettings::german()), c.german) << c.what;
        EXPECT_EQ(creditkurseContent(c.boxes, RegionalSettings::english()), c.english) << c.what;
    }
}

// What the editor writes reads back to the same numbers, in either number format.
TEST(CreditRatesFile, WrittenFileRoundTripsInEveryLocale) {
    const std::string golden = test::golden("rates", "creditkurse_editor.dat");
    ASSERT_FALSE(golden.empty());
    for (const RegionalSettings& regional : {RegionalSettings::german(), RegionalSettings::english()}) {
        const CreditRateTexts shown = parseCreditkurse(cp1252ToUtf8(golden), regional);
        EXPECT_EQ(utf8ToCp1252(creditkurseContent(shown, regional)), golden) << regional.decimalSeparator;
    }
}

} // namespace
} // namespace krvx
