#include "catalogue/ShipCatalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <span>
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

    ASSERT_EQ(catalogue.Schiffstypen_length(), 2);
    EXPECT_EQ(catalogue.Schiffstypen()[0], (Schiffstyp{"Frachter", 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(catalogue.Schiffstypen()[1], (Schiffstyp{"Jäger", -1, 0, 0, 0, 0, 32768, -9}));
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"", "Begin Debugging", "Start: addSchiff", "Ende: addSchiff",
                                                       "Start: addSchiff", "Ende: addSchiff", "End Debugging"}));
}

// Sets a pending entry of that name.
void makePending(ShipCatalogue& catalogue, std::string name) {
    catalogue.entryAt(*catalogue.makePending())->name = std::move(name);
}

TEST_F(ShipCatalogueTest, AddSchiffReplacesThePendingEntry) {
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    add(catalogue, ship("A", 10));
    makePending(catalogue, "pending");

    add(catalogue, ship("B", 20));
    EXPECT_EQ(catalogue.entriesWithPending(), (std::vector<Schiffstyp>{ship("A", 10), ship("B", 20)}));
}

TEST_F(ShipCatalogueTest, FullCatalogueRefusesEntryAndStaysAsItWas) {
    Debugging log(logFile(), RegionalSettings::german(), [] { return std::tm{}; });
    ShipCatalogue catalogue(log);
    for (int i = 0; i < ShipCatalogue::kMaxEntries; ++i) {
        ASSERT_TRUE(add(catalogue, ship("S" + std::to_string(i), i)));
    }
    ASSERT_EQ(catalogue.Schiffstypen_length(), 32767);
    EXPECT_EQ(catalogue.makePending(), std::nullopt); // a new entry could never be counted
    const std::vector<Schiffstyp> before = catalogue.entriesWithPending();

    log.beginDebugging();
    EXPECT_FALSE(add(catalogue, ship("one too many", 99)));
    log.endDebugging();

    EXPECT_EQ(catalogue.entriesWithPending(), before);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"", "Begin Debugging", "Start: addSchiff", "End Debugging"}));
}

TEST_F(ShipCatalogueTest, FindTakesFirstExactMatchWithinTheCount) {
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    add(catalogue, ship("Jäger", 1));
    add(catalogue, ship("Kreuzer", 2));
    add(catalogue, ship("Jäger", 3));
    makePending(catalogue, "pending");

    struct Case {
        std::string name;
        std::int32_t erz; // 0: not found
    };
    const std::vector<Case> cases{
        {"Jäger", 1}, // the first of two equal names
        {"Kreuzer", 2}, {"jäger", 0}, // case matters
        {"Jäger ", 0}, // the whole text
        {"Jäg", 0}, // no prefix match
        {"pending", 0}, // beyond the count
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

// The names of the entries, "_" for an empty one.
std::string names(std::span<const Schiffstyp> entries) {
    std::string out;
    for (const Schiffstyp& s : entries) out += s.name.empty() ? "_" : s.name;
    return out;
}

// Fills the catalogue with count entries named A, B, C ...
void fill(ShipCatalogue& catalogue, int count) {
    catalogue.clear();
    for (int i = 0; i < count; ++i) add(catalogue, ship(std::string(1, static_cast<char>('A' + i)), i));
}

TEST_F(ShipCatalogueTest, ReadersSeeTheCountedEntriesAndThePendingOneApart) {
    struct Case {
        int count;
        bool pending;
        const char* withPending;
    };
    const std::vector<Case> cases{{0, false, ""}, {1, false, "A"}, {2, true, "ABP"}, {0, true, "P"}};
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.withPending);
        fill(catalogue, c.count);
        if (c.pending) makePending(catalogue, "P");
        EXPECT_EQ(names(catalogue.Schiffstypen()), std::string(c.withPending).substr(0, c.count));
        EXPECT_EQ(names(catalogue.entriesWithPending()), c.withPending);
        const Schiffstyp* pending = catalogue.pending();
        EXPECT_EQ(pending ? pending->name : "", c.pending ? "P" : "");
        const auto length = static_cast<std::int16_t>(c.count);
        EXPECT_EQ(catalogue.entryAt(length), pending);
        EXPECT_EQ(catalogue.entryAt(-1), nullptr);
        EXPECT_EQ(catalogue.entryAt(static_cast<std::int16_t>(length + 1)), nullptr);
        if (c.count > 0) {
            EXPECT_EQ(catalogue.entryAt(0)->name, "A");
        }
    }
}

TEST_F(ShipCatalogueTest, PendingEntryIsFreshOrKept) {
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    fill(catalogue, 2);
    EXPECT_EQ(catalogue.makePending(), std::optional<std::int16_t>(2));
    EXPECT_EQ(*catalogue.pending(), Schiffstyp{});
    makePending(catalogue, "Neu");
    EXPECT_EQ(catalogue.makePending(), std::optional<std::int16_t>(2));
    EXPECT_EQ(catalogue.pending()->name, "Neu");
    EXPECT_EQ(catalogue.Schiffstypen_length(), 2);
}

TEST_F(ShipCatalogueTest, EraseCases) {
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
    Debugging log(logFile(), RegionalSettings::german());
    ShipCatalogue catalogue(log);
    for (const Case& c : cases) {
        fill(catalogue, c.count);
        if (c.pending) catalogue.makePending();
        catalogue.erase(c.index);
        EXPECT_EQ(names(catalogue.entriesWithPending()), c.names) << c.what;
        EXPECT_EQ(catalogue.Schiffstypen_length(), c.length) << c.what;
    }
}

} // namespace
} // namespace krvx
