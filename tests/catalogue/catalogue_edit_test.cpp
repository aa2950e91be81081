#include "catalogue/CatalogueEdit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/debugging.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

using Ships = std::vector<Schiffstyp>;

TEST(ReadEntry, BoxesInFieldOrderRoundedHalfToEven) {
    const auto entry = readEntry("Jäger, schwer", {"1,5", "2.5", "3.5", "-2.5", "abc", " 1 000", "2147483647.4"});
    ASSERT_TRUE(std::holds_alternative<Schiffstyp>(entry));
    EXPECT_EQ(std::get<Schiffstyp>(entry), (Schiffstyp{"Jäger, schwer", 1, 2, 4, -2, 0, 1000, 2147483647}));
}

TEST(ReadEntry, RefusesWhatCannotBeStored) {
    struct Case {
        std::string name;
        std::size_t field;  // box that gets the text
        std::string box;
        std::string message;  // a part of the refusal
    };
    const std::vector<Case> cases{
        {"A", 0, "2147483648", "„Erz“ liegt außerhalb"},
        {"A", 4, "-2147483649", "„Energie“ liegt außerhalb"},
        {"A", 5, "1E10", "„Geschwindigkeit“"},
        {"A", 6, "99999999999999999999999", "„Bauzeit in min“"},
        {"A", 1, "2147483647.5", "„Alu“"},  // rounds up past the limit
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

class CatalogueEditTest : public ::testing::Test {
protected:
    void fill(int count) {
        for (int i = 0; i < count; ++i) {
            catalogue.addSchiff(std::string(1, static_cast<char>('A' + i)), i, 0, 0, 0, 0, 0, 0);
        }
    }
    std::string names() const {
        std::string out;
        for (const Schiffstyp& s : catalogue.Schiffstypen) out += s.name.empty() ? "_" : s.name;
        return out;
    }

    test::TempDir dir;
    Debugging log{dir.file("KRVXR.debug"), RegionalSettings::german()};
    ShipCatalogue catalogue{log};
};

TEST_F(CatalogueEditTest, PendingEntryIsFreshOrKeptAndNeverBeyondTheLimit) {
    fill(2);
    EXPECT_EQ(makePendingEntry(catalogue), std::optional<std::int16_t>(2));
    EXPECT_EQ(catalogue.Schiffstypen.back(), Schiffstyp{});
    catalogue.Schiffstypen.back() = {"Neu", 5, 5, 5, 5, 5, 5, 5};
    EXPECT_EQ(makePendingEntry(catalogue), std::optional<std::int16_t>(2));
    EXPECT_EQ(catalogue.Schiffstypen.back().name, "Neu");
    EXPECT_EQ(catalogue.Schiffstypen_length, 2);
    EXPECT_TRUE(holdsEntry(catalogue, 2));
    EXPECT_FALSE(holdsEntry(catalogue, 3));

    catalogue.Schiffstypen_length = ShipCatalogue::kMaxEntries;
    EXPECT_EQ(makePendingEntry(catalogue), std::nullopt);
}

TEST_F(CatalogueEditTest, DeleteCases) {
    struct Case {
        const char* what;
        int count;
        bool pending;
        std::int16_t index;
        std::string names;
        std::int16_t length;
    };
    const std::vector<Case> cases{
        {"middle of three", 3, false, 1, "AC", 2},
        {"first", 3, false, 0, "BC", 2},
        {"last", 3, false, 2, "AB", 2},
        {"the only entry", 1, false, 0, "", 0},
        {"the pending entry", 2, true, 2, "AB", 2},
        {"counted entry drops the pending one", 2, true, 0, "B", 1},
        {"nothing at the index", 2, false, 2, "AB", 2},
        {"empty catalogue", 0, false, 0, "", 0},
    };
    for (const Case& c : cases) {
        catalogue.Schiffstypen.clear();
        catalogue.Schiffstypen_length = 0;
        fill(c.count);
        if (c.pending) makePendingEntry(catalogue);
        deleteEntry(catalogue, c.index);
        EXPECT_EQ(names(), c.names) << c.what;
        EXPECT_EQ(catalogue.Schiffstypen_length, c.length) << c.what;
    }
}

TEST(CatalogueEditTexts, PresetAndSaveError) {
    EXPECT_EQ(newShipPreset(5), " 5");
    EXPECT_EQ(newShipPreset(0), " 0");
    EXPECT_EQ(saveErrorText({13, "Zugriff verweigert"}), "Bitte im Korvax Forum melden:\n\r13\n\rZugriff verweigert");
}

} // namespace
} // namespace krvx
