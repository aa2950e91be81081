#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "flight/NewPlanet.h"
#include "flight/PlanetenDat.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

SystemFileOps files; // the system's own calls: these saves do not fail on purpose

namespace fs = std::filesystem;
using Entries = std::vector<PlanetEintrag>;
using test::readBytes;
using test::writeBytes;

TEST(PlanetenDat, GoldenFilesAreWrittenByteForByteAndReadBackWhole) {
    struct Case {
        Entries entries;
        const char* golden;
    };
    const std::vector<Case> cases = {
        {{}, nullptr},
        {{{"Heimat", 1, 12, 3}}, "heimat.dat"},
        // Names with a comma or leading blanks are quoted, so that they read back unchanged;
        // trailing blanks stay unquoted, as the name reads to the end of its line.
        {{{"Außenposten", 2, 101, 5},
          {"Kolonie, Süd", -2, 0, -7},
          {"  Vorposten", 32767, -32768, 1},
          {"", 1, 1, 1},
          {"Tor ", 4, 4, 4}},
         "mixed.dat"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        EXPECT_EQ(savePlaneten(dir.file("planeten.dat"), c.entries, FileState::Read, false, files,
                               [](std::string_view) { return false; }),
                  std::nullopt);
        EXPECT_EQ(readBytes(dir.file("planeten.dat")), c.golden ? test::golden("flight", c.golden) : "");
        const FileData<std::vector<PlanetEintrag>> load = loadPlaneten(dir.file("planeten.dat"));
        EXPECT_EQ(load.state, FileState::Read);
        EXPECT_EQ(load.data, c.entries);
    }
}

TEST(PlanetenDat, HandWrittenAndDamagedFiles) {
    struct Case {
        const char* what;
        std::string content;
        FileState state;
        Entries entries;
    };
    const auto read = FileState::Read;
    const auto damaged = FileState::Damaged;
    const std::vector<Case> cases = {
        {"blank lines only", "\r\n\r\n  \r\n", read, {}},
        {"LF, no blanks, blank lines after", "Alpha\n1\n2\n3\n\n\n", read, {{"Alpha", 1, 2, 3}}},
        {"spread over lines, fractions", "Alpha, 1  2.5\r\n3.5", read, {{"Alpha", 1, 2, 4}}},
        {"last record cut short", "Alpha\r\n 1 \r\n 2 \r\n 3 \r\nBeta\r\n 4 \r\n", damaged, {{"Alpha", 1, 2, 3}}},
        {"not a number", "Alpha\r\n 3x \r\n 2 \r\n 3 \r\nBeta\r\n 4 \r\n 5 \r\n 6 \r\n", damaged, {{"Beta", 4, 5, 6}}},
        {"the system alone not a number",
         "Alpha\r\n 1 \r\n x \r\n 3 \r\nBeta\r\n 4 \r\n 5 \r\n 6 \r\n",
         damaged,
         {{"Beta", 4, 5, 6}}},
        {"the planet alone not a number", "Alpha\r\n 1 \r\n 2 \r\n x \r\n", damaged, {}},
        {"beyond 16 bits", "Alpha\r\n 40000 \r\n 2 \r\n 3 \r\n", damaged, {}},
        {"garbage", std::string("\x01\xff,,\"\r\n\r\nxyz", 12), damaged, {}},
    };
    for (const Case& c : cases) {
        const FileData<std::vector<PlanetEintrag>> load = parsePlaneten(c.content);
        EXPECT_EQ(load.state, c.state) << c.what;
        EXPECT_EQ(load.data, c.entries) << c.what;
    }
    std::string tooMany;
    for (int i = 0; i <= Planeten::kMaxEntries; ++i) tooMany += "P\r\n 1 \r\n 2 \r\n 3 \r\n";
    const FileData<std::vector<PlanetEintrag>> load = parsePlaneten(tooMany);
    EXPECT_EQ(load.data.size(), 32767u);
    EXPECT_EQ(load.state, damaged);
}

TEST(PlanetenDat, WhatALoadTakesASaveWritesBackToReadTheSame) {
    struct Case {
        const char* what;
        std::string content;
        Entries entries;
        bool sameBytes;
    };
    const std::vector<Case> cases = {
        {"trailing blanks and tabs",
         "Tor  \r\n 4 \r\n 4 \r\n 4 \r\nB\t \r\n 1 \r\n-1 \r\n 1 \r\n",
         {{"Tor  ", 4, 4, 4}, {"B\t ", 1, -1, 1}},
         true},
        {"a double quote inside", "Der \"Hort\"\r\n 1 \r\n 1 \r\n 1 \r\n", {{"Der \"Hort\"", 1, 1, 1}}, true},
        {"quoted line ends", std::string("\"\n\"\r4 4 4"), {{"\n", 4, 4, 4}}, false},
        {"two names in one quote",
         "\"Alpha\r\n 1 \r\n 2 \r\n 3 \r\nBeta\"\r\n 4 \r\n 5 \r\n 6 \r\nGamma\r\n 7 \r\n 8 \r\n 9 \r\n",
         {{"Alpha\r\n 1 \r\n 2 \r\n 3 \r\nBeta", 4, 5, 6}, {"Gamma", 7, 8, 9}},
         true},
    };
    for (const Case& c : cases) {
        const FileData<std::vector<PlanetEintrag>> load = parsePlaneten(c.content);
        EXPECT_EQ(load.data, c.entries) << c.what;
        const std::string written = planetenContent(load.data);
        if (c.sameBytes) {
            EXPECT_EQ(written, c.content) << c.what;
        }
        const FileData<std::vector<PlanetEintrag>> back = parsePlaneten(written);
        EXPECT_EQ(back.state, FileState::Read) << c.what;
        EXPECT_EQ(back.data, c.entries) << c.what;
    }
}

TEST(PlanetenDat, ClosingNeverLosesTheFile) {
    struct Case {
        const char* what;
        FileState loaded;
        bool added;
        bool folder;
        bool written;
        bool told;
        bool beside = false; // the list went to planeten.dat.neu2 (.neu is taken)
        int retries = 0; // the question's answers: try again this often, the last time with the folder gone
    };
    const std::string old = "Heimat\r\n 1 \r\n 12 \r\n 3 \r\nKaputt\r\n 7x \r\n";
    const std::vector<Case> cases = {
        {"read, unchanged", FileState::Read, false, false, true, false},
        {"missing, added", FileState::Missing, true, false, true, false},
        {"damaged, unchanged: left alone", FileState::Damaged, false, false, false, false},
        {"damaged, added: kept as .bak2", FileState::Damaged, true, false, true, true},
        {"unreadable, unchanged", FileState::Unreadable, false, true, false, false},
        {"unreadable, added: saved beside unasked", FileState::Unreadable, true, true, false, true, true},
        {"write fails, unchanged", FileState::Read, false, true, false, false},
        {"write fails, added: saved beside", FileState::Read, true, true, false, true, true},
        {"write fails, added, works when tried again", FileState::Read, true, true, true, false, false, 2},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path file = dir.file("planeten.dat");
        writeBytes(dir.file("planeten.dat.bak"), "frühere Kopie");
        writeBytes(dir.file("planeten.dat.neu"), "frühere Liste");
        if (c.folder) {
            fs::create_directory(file); // cannot be read, nor replaced by a file
        } else {
            writeBytes(file, old);
        }
        int asked = 0;
        const TryAgain tryAgain = [&](std::string_view) {
            if (++asked == c.retries) fs::remove(file);
            return asked <= c.retries;
        };
        const std::optional<std::string> message =
            savePlaneten(file, {{"Heimat", 1, 12, 3}}, c.loaded, c.added, files, tryAgain);
        EXPECT_EQ(message.has_value(), c.told) << c.what;
        EXPECT_EQ(asked, c.retries + (c.beside && c.loaded == FileState::Read)) << c.what;
        EXPECT_EQ(readBytes(dir.file(c.beside ? "planeten.dat.neu2" : "planeten.dat.neu")),
                  c.beside ? test::golden("flight", "heimat.dat") : "frühere Liste")
            << c.what;
        if (!fs::is_directory(file)) {
            EXPECT_EQ(readBytes(file), c.written ? test::golden("flight", "heimat.dat") : old) << c.what;
        }
        const bool kept = c.loaded == FileState::Damaged && c.written;
        EXPECT_EQ(fs::exists(dir.file("planeten.dat.bak2")), kept) << c.what;
        if (kept) {
            EXPECT_EQ(readBytes(dir.file("planeten.dat.bak2")), old);
            EXPECT_NE(message->find("planeten.dat.bak2"), std::string::npos) << *message;
        }
        EXPECT_EQ(readBytes(dir.file("planeten.dat.bak")), "frühere Kopie");
    }
    test::TempDir dir;
    EXPECT_EQ(loadPlaneten(dir.file("planeten.dat")).state, FileState::Missing);
    fs::create_directory(dir.file("planeten.dat")); // there, but it cannot be read
    EXPECT_EQ(loadPlaneten(dir.file("planeten.dat")).state, FileState::Unreadable);
}

TEST(NewPlanet, CoordinatesMustBeWholeNonZeroNumbersAndTheNameStorable) {
    const std::string ganze(kBitteGanzeZahlen);
    const std::string range = "Die Koordinaten müssen zwischen -32768 und 32767 liegen.";
    const std::string quote = "Der Planetenname darf keine Anführungszeichen (\") enthalten.";
    const std::string chars = "Der Planetenname enthält Zeichen, die in planeten.dat nicht gespeichert werden können.";
    struct Case {
        const char *name, *gal, *sys, *planet;
        std::variant<PlanetEintrag, std::string> expected;
    };
    const std::vector<Case> cases = {
        {"Tief", "-2", "5", "1", PlanetEintrag{"Tief", -2, 5, 1}},
        {" Komma, Süd", " 4 ", "+5", "2.5", PlanetEintrag{" Komma, Süd", 4, 5, 2}},
        {"x", "0", "1", "1", ganze},
        {"x", "", "1", "1", ganze},
        {"x", "abc", "1", "1", ganze},
        {"x", "1", "3x", "1", ganze},
        {"x", "1", "1", "32768", range},
        {"Der \"Hort\"", "1", "1", "1", quote},
        {"Der \"Hort\"", "0", "1", "1", ganze},
        {"Ωmega", "1", "1", "1", chars},
        {"Zeile\nzwei", "1", "1", "1", chars},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkNewPlanet(c.name, c.gal, c.sys, c.planet), c.expected) << c.name << " " << c.gal;
    }
}

} // namespace
} // namespace krvx
