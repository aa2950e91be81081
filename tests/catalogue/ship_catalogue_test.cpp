#include "catalogue/ShipCatalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/debugging.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;

class ShipCatalogueTest : public ::testing::Test {
protected:
    // The messages of the log lines, time stamps cut off.
    std::vector<std::string> logMessages() const {
        const std::string text = test::readBytes(logFile());
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            const std::string line = text.substr(start, end - start);
            const std::size_t gap = line.find("    ");
            out.push_back(gap == std::string::npos ? line : line.substr(gap + 4));
            start = end == std::string::npos ? text.size() : end + 2;
        }
        return out;
    }

    fs::path logFile() const { return dir_.file("KRVXR.debug"); }

    test::TempDir dir_;
};

Schiffstyp ship(std::string name, std::int32_t n) {
    return {std::move(name), n, n + 1, n + 2, n + 3, n + 4, n + 5, n + 6};
}

bool add(ShipCatalogue& c, const Schiffstyp& s) {
    return c.addSchiff(s.name, s.erz, s.alu, s.leg, s.kri, s.ene, s.speed, s.prod);
}

TEST_F(ShipCatalogueTest, AddSchiffStoresArgumentsInOrderAndLogsAroundIt) {
    Debugging log(logFile(), RegionalSettings::german(), [] { return std::tm{}; });
    log.beginDebugging();
    ShipCatalogue catalogue(log);
    EXPECT_TRUE(catalogue.addSchiff("Frachter", 1, 2, 3, 4, 5, 6, 7));
    EXPECT_TRUE(catalogue.addSchiff("Jäger", -1, 0, 0, 0, 0, 32768, -9));
    log.endDebugging();

    ASSERT_EQ(catalogue.Schiffstypen_length, 2);
    ASSERT_EQ(catalogue.Schiffstypen.size(), 2u);
    EXPECT_EQ(catalogue.Schiffstypen[0], (Schiffstyp{"Frachter", 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(catalogue.Schiffstypen[1], (Schiffstyp{"Jäger", -1, 0, 0, 0, 0, 32768, -9}));
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"", "Begin Debugging", "Start: addSchiff",
                                                       "Ende: addSchiff", "Start: addSchiff",
                                                       "Ende: addSchiff", "End Debugging"}));
}

TEST_F(ShipCatalogueTest, AddSchiffReplacesPendingEntryAndDropsStaleStorage) {
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    add(catalogue, ship("A", 10));
    // A pending entry and stale entries behind the count.
    catalogue.Schiffstypen.push_back(ship("pending", 0));
    catalogue.Schiffstypen.push_back(ship("stale", 0));

    add(catalogue, ship("B", 20));
    ASSERT_EQ(catalogue.Schiffstypen_length, 2);
    EXPECT_EQ(catalogue.Schiffstypen, (std::vector<Schiffstyp>{ship("A", 10), ship("B", 20)}));
}

TEST_F(ShipCatalogueTest, FullCatalogueRefusesEntryAndStaysAsItWas) {
    Debugging log(logFile(), RegionalSettings::german(), [] { return std::tm{}; });
    ShipCatalogue catalogue(log);
    for (int i = 0; i < ShipCatalogue::kMaxEntries; ++i) {
        ASSERT_TRUE(add(catalogue, ship("S" + std::to_string(i), i)));
    }
    ASSERT_EQ(catalogue.Schiffstypen_length, 32767);
    catalogue.Schiffstypen.push_back(ship("pending", -1));
    const std::vector<Schiffstyp> before = catalogue.Schiffstypen;

    log.beginDebugging();
    EXPECT_FALSE(add(catalogue, ship("one too many", 99)));
    log.endDebugging();

    EXPECT_EQ(catalogue.Schiffstypen_length, 32767);
    EXPECT_EQ(catalogue.Schiffstypen, before);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"", "Begin Debugging", "Start: addSchiff",
                                                       "End Debugging"}));
}

TEST_F(ShipCatalogueTest, FindTakesFirstExactMatchWithinTheCount) {
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    add(catalogue, ship("Jäger", 1));
    add(catalogue, ship("Kreuzer", 2));
    add(catalogue, ship("Jäger", 3));
    catalogue.Schiffstypen.push_back(ship("pending", 4));

    struct Case {
        std::string name;
        std::int32_t erz;  // 0: not found
    };
    const std::vector<Case> cases{
        {"Jäger", 1},      // the first of two equal names
        {"Kreuzer", 2},
        {"jäger", 0},      // case matters
        {"Jäger ", 0},     // the whole text
        {"Jäg", 0},        // no prefix match
        {"pending", 0},    // beyond the count
        {"", 0},
    };
    for (const Case& c : cases) {
        const Schiffstyp* found = catalogue.find(c.name);
        if (c.erz == 0) {
            EXPECT_EQ(found, nullptr) << c.name;
        } else {
            ASSERT_NE(found, nullptr) << c.name;
            EXPECT_EQ(found->erz, c.erz) << c.name;
        }
    }
}

} // namespace
} // namespace krvx
