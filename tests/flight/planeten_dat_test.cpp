#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/textfile.h"
#include "flight/PlanetenDat.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using Entries = std::vector<PlanetEintrag>;
using test::readBytes;
using test::writeBytes;

std::string golden(const char* name) { return readBytes(fs::path(KRVX_TESTS_DIR) / "flight" / "golden" / name); }

const Entries kMixed = {
    {"Außenposten", 2, 101, 5},
    {"Kolonie, Süd", -2, 0, -7},
    {"  Vorposten", 32767, -32768, 1},
    {"", 1, 1, 1},
    {"Tor ", 4, 4, 4},
};

TEST(PlanetenDat, WritesThePrintStyleByteForByte) {
    test::TempDir dir;
    const fs::path file = dir.file("planeten.dat");
    struct Case {
        Entries entries;
        const char* golden;
    };
    for (const Case& c : {Case{{{"Heimat", 1, 12, 3}}, "heimat.dat"}, Case{kMixed, "mixed.dat"}}) {
        const PlanetSaveResult saved = savePlanetenDat(file, c.entries, PlanetFileState::Read, false);
        EXPECT_TRUE(saved.written);
        EXPECT_EQ(readBytes(file), golden(c.golden)) << c.golden;
    }
    EXPECT_TRUE(savePlanetenDat(file, {}, PlanetFileState::Read, false).written);
    EXPECT_EQ(readBytes(file), "");
}

TEST(PlanetenDat, GoldenFilesReadBackWhole) {
    struct Case {
        const char* golden;
        Entries entries;
    };
    for (const Case& c : {Case{"heimat.dat", {{"Heimat", 1, 12, 3}}}, Case{"mixed.dat", kMixed}}) {
        test::TempDir dir;
        writeBytes(dir.file("planeten.dat"), golden(c.golden));
        const PlanetFileLoad load = readPlanetenDat(dir.file("planeten.dat"));
        EXPECT_EQ(load.state, PlanetFileState::Read) << c.golden;
        EXPECT_EQ(load.entries, c.entries) << c.golden;
    }
}

TEST(PlanetenDat, ReadingHandWrittenAndDamagedFiles) {
    struct Case {
        const char* what;
        std::string content;
        PlanetFileState state;
        Entries entries;
        std::size_t skipped;
    };
    const std::vector<Case> cases = {
        {"empty", "", PlanetFileState::Read, {}, 0},
        {"only line ends", "\r\n\r\n  \r\n", PlanetFileState::Read, {}, 0},
        {"LF lines, no blanks, blank lines after", "Alpha\n1\n2\n3\n\n\n", PlanetFileState::Read,
         {{"Alpha", 1, 2, 3}}, 0},
        {"no line end at the end", "Alpha\r\n 1 \r\n 2 \r\n 3", PlanetFileState::Read, {{"Alpha", 1, 2, 3}}, 0},
        {"a record spread over lines", "Alpha, 1  2\r\n3\r\nBeta\r\n4\r\n5\r\n6\r\n", PlanetFileState::Read,
         {{"Alpha", 1, 2, 3}, {"Beta", 4, 5, 6}}, 0},
        {"fractions to the even neighbour", "Alpha\r\n 2.5 \r\n 3.5 \r\n-0.5 \r\n", PlanetFileState::Read,
         {{"Alpha", 2, 4, 0}}, 0},
        {"last record cut short", "Alpha\r\n 1 \r\n 2 \r\n 3 \r\nBeta\r\n 4 \r\n", PlanetFileState::Damaged,
         {{"Alpha", 1, 2, 3}}, 1},
        {"a number that is not one", "Alpha\r\n 3x \r\n 2 \r\n 3 \r\nBeta\r\n 4 \r\n 5 \r\n 6 \r\n",
         PlanetFileState::Damaged, {{"Beta", 4, 5, 6}}, 1},
        {"beyond 16 bits", "Alpha\r\n 40000 \r\n 2 \r\n 3 \r\nBeta\r\n 4 \r\n 5 \r\n 6 \r\n",
         PlanetFileState::Damaged, {{"Beta", 4, 5, 6}}, 1},
        {"garbage", std::string("\x01\xff,,\"\r\n\r\nxyz", 12), PlanetFileState::Damaged, {}, 1},
    };
    for (const Case& c : cases) {
        const PlanetFileLoad load = parsePlanetenDat(c.content);
        EXPECT_EQ(load.state, c.state) << c.what;
        EXPECT_EQ(load.entries, c.entries) << c.what;
        EXPECT_EQ(load.skippedRecords, c.skipped) << c.what;
    }
}

TEST(PlanetenDat, TakesAtMostTheListsWidth) {
    std::string content;
    for (int i = 0; i < Planeten::kMaxEntries + 2; ++i) {
        content += "P\r\n 1 \r\n 2 \r\n 3 \r\n";
    }
    const PlanetFileLoad load = parsePlanetenDat(content);
    EXPECT_EQ(load.entries.size(), 32767u);
    EXPECT_EQ(load.skippedRecords, 2u);
    EXPECT_EQ(load.state, PlanetFileState::Damaged);
}

TEST(PlanetenDat, MissingAndUnreadableFilesAreTold) {
    test::TempDir dir;
    EXPECT_EQ(readPlanetenDat(dir.file("planeten.dat")).state, PlanetFileState::Missing);
    fs::create_directory(dir.file("planeten.dat"));
    EXPECT_EQ(readPlanetenDat(dir.file("planeten.dat")).state, PlanetFileState::Unreadable);
}

TEST(PlanetNames, EveryStorableNameReadsBackUnchanged) {
    const std::vector<std::string> names = {"Heimat", "", " ", "Alpha, Beta", " Vorposten", "Ende\t", ",",
                                            "a,b,c", "3", "€uro-Mine", "Ölfeld ÄÖÜß", "'Hochkomma'"};
    Entries entries;
    std::int16_t n = 1;
    for (const std::string& name : names) {
        EXPECT_EQ(planetNameRefusal(name), std::nullopt) << name;
        entries.push_back({name, n, static_cast<std::int16_t>(-n), n});
        ++n;
    }
    test::TempDir dir;
    savePlanetenDat(dir.file("planeten.dat"), entries, PlanetFileState::Missing, true);
    const PlanetFileLoad load = readPlanetenDat(dir.file("planeten.dat"));
    EXPECT_EQ(load.state, PlanetFileState::Read);
    EXPECT_EQ(load.entries, entries);
}

TEST(PlanetNames, NamesTheFileCannotCarryAreRefused) {
    for (const char* name : {"Der \"Hort\"", "\"", "Zeile\r\nzwei", "Ende\n", "Ωmega", "星"}) {
        const std::optional<std::string> refusal = planetNameRefusal(name);
        ASSERT_TRUE(refusal.has_value()) << name;
        EXPECT_NE(refusal->find("Planetenname"), std::string::npos);
    }
}

class PlanetSave : public ::testing::Test {
protected:
    fs::path file() const { return dir_.file("planeten.dat"); }
    test::TempDir dir_;
    const Entries list_ = {{"Heimat", 1, 12, 3}};
    const std::string listBytes_ = "Heimat\r\n 1 \r\n 12 \r\n 3 \r\n";
    const std::string damaged_ = "Heimat\r\n 1 \r\n 12 \r\n 3 \r\nKaputt\r\n 7x \r\n";
};

TEST_F(PlanetSave, AReadOrMissingFileIsWrittenEveryTime) {
    for (PlanetFileState state : {PlanetFileState::Read, PlanetFileState::Missing}) {
        for (bool added : {false, true}) {
            writeBytes(file(), "Alt\r\n 9 \r\n 9 \r\n 9 \r\n");
            const PlanetSaveResult saved = savePlanetenDat(file(), list_, state, added);
            EXPECT_TRUE(saved.written);
            EXPECT_EQ(saved.message, std::nullopt);
            EXPECT_EQ(readBytes(file()), listBytes_);
        }
    }
}

TEST_F(PlanetSave, ADamagedFileStaysWhenNothingWasAdded) {
    writeBytes(file(), damaged_);
    const PlanetSaveResult saved = savePlanetenDat(file(), list_, PlanetFileState::Damaged, false);
    EXPECT_FALSE(saved.written);
    EXPECT_EQ(saved.message, std::nullopt);
    EXPECT_EQ(readBytes(file()), damaged_);
    EXPECT_FALSE(fs::exists(dir_.file("planeten.dat.bak")));
}

TEST_F(PlanetSave, ADamagedFileIsKeptBesideTheNewOneWhenPlanetsWereAdded) {
    writeBytes(dir_.file("planeten.dat.bak"), "frühere Kopie");
    writeBytes(file(), damaged_);
    const PlanetSaveResult saved = savePlanetenDat(file(), list_, PlanetFileState::Damaged, true);
    EXPECT_TRUE(saved.written);
    EXPECT_EQ(readBytes(file()), listBytes_);
    EXPECT_EQ(readBytes(dir_.file("planeten.dat.bak")), "frühere Kopie");
    EXPECT_EQ(readBytes(dir_.file("planeten.dat.bak2")), damaged_);
    ASSERT_TRUE(saved.message.has_value());
    EXPECT_NE(saved.message->find("planeten.dat.bak2"), std::string::npos) << *saved.message;
}

TEST_F(PlanetSave, AnUnreadableFileIsNeverWrittenOver) {
    fs::create_directory(file());
    writeBytes(file() / "inhalt", "x");
    for (bool added : {false, true}) {
        const PlanetSaveResult saved = savePlanetenDat(file(), list_, PlanetFileState::Unreadable, added);
        EXPECT_FALSE(saved.written);
        EXPECT_EQ(saved.message.has_value(), added);
        EXPECT_EQ(readBytes(file() / "inhalt"), "x");
    }
}

TEST_F(PlanetSave, AFailedWriteIsToldOnlyWhenAddedPlanetsAreLost) {
    // A folder in the file's place cannot be replaced by a file.
    fs::create_directory(file());
    for (bool added : {false, true}) {
        const PlanetSaveResult saved = savePlanetenDat(file(), list_, PlanetFileState::Read, added);
        EXPECT_FALSE(saved.written);
        EXPECT_EQ(saved.message.has_value(), added);
        EXPECT_TRUE(fs::is_directory(file()));
    }
    const fs::path nowhere = dir_.file("fehlt") / "planeten.dat";
    EXPECT_TRUE(savePlanetenDat(nowhere, list_, PlanetFileState::Missing, true).message.has_value());
}

} // namespace
} // namespace krvx
