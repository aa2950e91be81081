#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shipcost/Namenssuche.h"

namespace krvx {
namespace {

TEST(Namenssuche, FirstPrefixMatchFromTheSecondEntryWrapping) {
    const std::vector<std::string> alphaAtlas{"Alpha", "Atlas"};
    const std::vector<std::string> latin{"X", "Jäger", "Jagd", "ŒIL", "Ÿacht", "Àrea", "×", "Šalupe", "Žar"};
    const struct {
        const std::vector<std::string>& entries;
        const char* typed;
        int found;
    } cases[] = {
        {alphaAtlas, "a", 1}, {alphaAtlas, "al", 0}, {alphaAtlas, "AT", 1}, {alphaAtlas, "Alphas", -1},
        {alphaAtlas, "", -1}, {{}, "a", -1},         {latin, "JÄ", 1},      {latin, "ja", 2},
        {latin, "œ", 3},      {latin, "ÿA", 4},      {latin, "à", 5},       {latin, "÷", -1},
        {latin, "š", 7},      {latin, "žA", 8},      {latin, "J\xC3", -1}, // a character cut in half matches no whole
                                                                           // one
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sucheNamensanfang(c.entries, c.typed), c.found) << c.typed;
    }
}

} // namespace
} // namespace krvx
