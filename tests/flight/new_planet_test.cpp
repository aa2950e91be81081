#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "flight/NewPlanet.h"

namespace krvx {
namespace {

struct Case {
    const char* name;
    const char* gal;
    const char* sys;
    const char* planet;
    std::variant<PlanetEintrag, std::string> expected;
};

TEST(NewPlanet, CoordinatesMustBeWholeNonZeroNumbersAndTheNameStorable) {
    const std::string ganze(kBitteGanzeZahlen);
    const std::string range = "Die Koordinaten müssen zwischen -32768 und 32767 liegen.";
    const std::vector<Case> cases = {
        {"Heimat", "1", "12", "3", PlanetEintrag{"Heimat", 1, 12, 3}},
        {"Tief", "-2", "5", "1", PlanetEintrag{"Tief", -2, 5, 1}},
        {"", " 4 ", "+5", "6", PlanetEintrag{"", 4, 5, 6}},
        {"Halb", "2.5", "3.5", "1", PlanetEintrag{"Halb", 2, 4, 1}},
        {"Rand", "32767", "-32768", "1", PlanetEintrag{"Rand", 32767, -32768, 1}},
        {"Komma, Süd", "1", "1", "1", PlanetEintrag{"Komma, Süd", 1, 1, 1}},
        {"x", "0", "1", "1", ganze},
        {"x", "", "1", "1", ganze},
        {"x", "abc", "1", "1", ganze},
        {"x", "1", "3x", "1", ganze},
        {"x", "1", "1", "1 000", ganze},
        {"x", "1", "1", "-0", ganze},
        {"x", "32768", "1", "1", range},
        {"x", "1", "1", "-40000", range},
        {"Der \"Hort\"", "1", "1", "1", std::string("Der Planetenname darf keine Anführungszeichen (\") enthalten.")},
        {"Der \"Hort\"", "0", "1", "1", ganze},  // the coordinates are checked first
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkNewPlanet(c.name, c.gal, c.sys, c.planet), c.expected)
            << c.name << " " << c.gal << "/" << c.sys << "/" << c.planet;
    }
}

} // namespace
} // namespace krvx
