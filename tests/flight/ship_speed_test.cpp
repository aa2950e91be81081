#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LogLines.h"
#include "catalogue/ShipCatalogue.h"
#include "flight/ShipSpeed.h"

namespace krvx {
namespace {

class ShipSpeedTest : public ::testing::Test {
protected:
    void add(const std::string& name, std::int32_t speed) {
        ASSERT_TRUE(ships.addSchiff(name, 0, 0, 0, 0, 0, speed, 0));
    }
    test::LogLines log;
    ShipCatalogue ships{log.log};
};

TEST_F(ShipSpeedTest, TheFirstEntryIsNotOffered) {
    EXPECT_TRUE(offeredShips(ships).empty());
    add("Leer", 1);
    EXPECT_TRUE(offeredShips(ships).empty());
    add("Jäger", 12500);
    add("Frachter", 7500);
    EXPECT_EQ(offeredShips(ships), (std::vector<std::string>{"Jäger", "Frachter"}));
}

TEST_F(ShipSpeedTest, TheNamedShipOrElseTheLastGivesTheSpeed) {
    add("Leer", 1);
    add("Jäger", 12500);
    add("Frachter", 7500);
    add("Jäger", 99);
    add("Kreuzer", 5000);
    log.take();
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"Leer", "1"}, {"Jäger", "12500"}, {"Frachter", "7500"}, {"frachter", "5000"},
        {"Unbekannt", "5000"}, {"", "5000"}, {"Kreuzer", "5000"},
    };
    for (const auto& [text, speed] : cases) {
        EXPECT_EQ(speedTextForShip(ships, text, log.log), std::optional<std::string>(speed)) << text;
        EXPECT_EQ(log.take(), (std::vector<std::string>{"Start: CmdSchiff_LostFocus()", "Ende: CmdSchiff_LostFocus()"}));
    }
}

TEST_F(ShipSpeedTest, AnEmptyCatalogueLeavesTheSpeed) {
    EXPECT_EQ(speedTextForShip(ships, "Jäger", log.log), std::nullopt);
    add("Langsam", -30);
    EXPECT_EQ(speedTextForShip(ships, "x", log.log), "-30");
}

} // namespace
} // namespace krvx
