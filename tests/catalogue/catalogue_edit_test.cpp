#include "catalogue/CatalogueEdit.h"
#include "common/messagetexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace krvx {
namespace {

TEST(ReadEntry, BoxesInFieldOrderRoundedHalfToEven) {
    const auto entry = readEntry("Jäger, schwer", {"1,5", "2.5", "3.5", "-2.5", "abc", " 1 000", "2147483647.4"});
    ASSERT_TRUE(std::holds_alternative<Schiffstyp>(entry));
    EXPECT_EQ(std::get<Schiffstyp>(entry), (Schiffstyp{"Jäger, schwer", 1, 2, 4, -2, 0, 1000, 2147483647}));
}

TEST(ReadEntry, RefusesWhatCannotBeStored) {
    struct Case {
        std::string name;
        std::size_t field; // box that gets the text
        std::string box;
        std::string message; // a part of the refusal
    };
    const std::vector<Case> cases{
        {"A", 0, "2147483648", "„Erz“ liegt außerhalb"},
        {"A", 4, "-2147483649", "„Energie“ liegt außerhalb"},
        {"A", 5, "1E10", "„Geschwindigkeit“"},
        {"A", 6, "99999999999999999999999", "„Bauzeit in min“"},
        {"A", 1, "2147483647.5", "„Alu“"}, // rounds up past the limit
        {"A", 2, "1E999", "„Leg“"},
        {"Der \"Blitz\"", 0, "1", "Anführungszeichen"},
        {"Schiff Ω", 0, "1", "nicht gespeichert werden"},
    };
    for (const Case& c : cases) {
        EntryBoxTexts boxes{"0", "0", "0", "0", "0", "0", "0"};
        boxes[c.field] = c.box;
        const auto entry = readEntry(c.name, boxes);
        ASSERT_TRUE(std::holds_alternative<std::string>(entry)) << c.name << " " << c.box;
        EXPECT_NE(std::get<std::string>(entry).find(c.message), std::string::npos) << std::get<std::string>(entry);
    }
}

TEST(CatalogueEditTexts, PresetAndSaveError) {
    EXPECT_EQ(newShipPreset(5), " 5");
    EXPECT_EQ(newShipPreset(0), " 0");
    EXPECT_EQ(saveErrorText({13, "Zugriff verweigert"}), "Bitte im Korvax Forum melden:\n\r13\n\rZugriff verweigert");
}

} // namespace
} // namespace krvx
