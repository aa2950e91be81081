#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shipcost/Namenssuche.h"

namespace krvx {
namespace {

struct SearchCase {
    std::vector<std::string> entries;
    const char* typed;
    int found;
};

TEST(Namenssuche, FirstPrefixMatchFromTheSecondEntryWrapping) {
    const std::vector<std::string> alphaAtlas{"Alpha", "Atlas"};
    const SearchCase cases[] = {
        {alphaAtlas, "a", 1},          // the search begins with the second entry
        {alphaAtlas, "al", 0},         // wraps round to the first
        {alphaAtlas, "AT", 1},         // letter case does not matter
        {alphaAtlas, "Alpha", 0},
        {alphaAtlas, "Alphas", -1},
        {alphaAtlas, "b", -1},
        {alphaAtlas, "", -1},
        {{}, "a", -1},
        {{"Zerstörer"}, "z", 0},
        {{"X", "Jäger", "Jagd"}, "JÄ", 1},       // umlauts fold too
        {{"X", "Jäger", "Jagd"}, "ja", 2},       // ä is not a
        {{"X", "ŒIL", "Ÿacht", "Àrea"}, "œ", 1},
        {{"X", "ŒIL", "Ÿacht", "Àrea"}, "ÿA", 2},
        {{"X", "ŒIL", "Ÿacht", "Àrea"}, "à", 3},
        {{"X", "a b", "a"}, "a ", 1},
        {{"X", "Kreuzer", "Kreuzer II", "kreuzer"}, "kreuzer", 1},
        {{"X", "×"}, "÷", -1},              // × and ÷ are no letters
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(sucheNamensanfang(c.entries, c.typed), c.found);
    }
}

TEST(Namenssuche, MalformedBytesCompareAsThemselves) {
    const std::string cut = "J\xC3";  // a character cut in half
    EXPECT_TRUE(beginntMitOhneGrossKlein("J\xC3", cut));
    EXPECT_FALSE(beginntMitOhneGrossKlein("Jäger", cut));
    EXPECT_FALSE(beginntMitOhneGrossKlein("J", cut));
}

} // namespace
} // namespace krvx
