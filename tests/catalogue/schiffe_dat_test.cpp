#include "catalogue/SchiffeDat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/debugging.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

SystemFileOps files; // the system's own calls: these saves do not fail on purpose

namespace fs = std::filesystem;

using Ships = std::vector<Schiffstyp>;

using test::readBytes;
using test::writeBytes;

class SchiffeDatTest : public ::testing::Test {
protected:
    fs::path file() const { return dir_.file("schiffe.dat"); }

    Ships load(const std::string& bytes, SpeedWidth width) {
        writeBytes(file(), bytes);
        ShipCatalogue catalogue(log_);
        loadSchiffe(catalogue, file(), width);
        return Ships(catalogue.Schiffstypen().begin(), catalogue.Schiffstypen().end());
    }

    static void fill(ShipCatalogue& catalogue, const Ships& ships) {
        for (const Schiffstyp& s : ships) {
            catalogue.addSchiff(s.name, s.erz, s.alu, s.leg, s.kri, s.ene, s.speed, s.prod);
        }
    }

    test::TempDir dir_;
    // Never begun: the appends of a load leave no lines.
    Debugging log_{dir_.file("KRVXR.debug"), RegionalSettings::german()};
};

const Ships kFourShips{
    {"Neues Schiff", 500, 250, 0, 20, 0, 12, 30},
    {"Jäger, schwer", -5, 2147483647, -2147483647 - 1, 0, 1, 40000, -1},
    {"Kreuzer ÄÖÜß €", 0, 0, 0, 0, 0, 0, 0},
    {"Neues Schiff", 1, 1, 1, 1, 1, 1, 1},
};

TEST_F(SchiffeDatTest, WritesFourCrLfLinesPerEntryInWindows1252) {
    ShipCatalogue catalogue(log_);
    fill(catalogue, kFourShips);
    ASSERT_TRUE(saveKeepingCopy(file(), schiffeContent(catalogue), false, files).written());
    EXPECT_EQ(readBytes(file()), test::golden("catalogue", "four_ships.dat"));
}

TEST_F(SchiffeDatTest, PendingEntryIsWrittenAfterTheCountedOnes) {
    ShipCatalogue catalogue(log_);
    fill(catalogue, {{"Frachter", 100, 200, 300, 400, 500, -32768, 1440}});
    catalogue.makePending(); // "Neues Schiff" in the editor
    ASSERT_TRUE(saveKeepingCopy(file(), schiffeContent(catalogue), false, files).written());
    EXPECT_EQ(readBytes(file()), test::golden("catalogue", "pending_entry.dat"));

    // The reload counts the pending entry.
    loadSchiffe(catalogue, file(), SpeedWidth::Bits32);
    EXPECT_EQ(catalogue.Schiffstypen_length(), 2);
}

TEST_F(SchiffeDatTest, GoldenFileLoadsBackUnderBothReaders) {
    // The 16-bit start-up reader cannot hold the speed 40000 and drops that ship.
    Ships startUp = kFourShips;
    startUp.erase(startUp.begin() + 1);
    EXPECT_EQ(load(test::golden("catalogue", "four_ships.dat"), SpeedWidth::Bits32), kFourShips);
    EXPECT_EQ(load(test::golden("catalogue", "four_ships.dat"), SpeedWidth::Bits16), startUp);
}

TEST_F(SchiffeDatTest, NamesSurviveSaveAndLoad) {
    const Ships ships{
        {"a, b, c", 1, 2, 3, 4, 5, 6, 7},
        {"  Blanks around  ", 1, 2, 3, 4, 5, 6, 7},
        {"Überschall-Jäger ß", 1, 2, 3, 4, 5, 6, 7},
        {"‚Zeichen‘ … € – ™", 1, 2, 3, 4, 5, 6, 7},
        {"", 0, 0, 0, 0, 0, 0, 0},
        {"'single'", 0, 0, 0, 0, 0, 0, 0},
        {"Jäger \"Blitz\"", 0, 0, 0, 0, 0, 0, 0}, // stored unquoted, as it reads back so
    };
    ShipCatalogue catalogue(log_);
    fill(catalogue, ships);
    ASSERT_TRUE(saveKeepingCopy(file(), schiffeContent(catalogue), false, files).written());
    ShipCatalogue reloaded(log_);
    loadSchiffe(reloaded, file(), SpeedWidth::Bits16);
    EXPECT_EQ(Ships(reloaded.Schiffstypen().begin(), reloaded.Schiffstypen().end()), ships);
}

struct LoadCase {
    const char* what;
    std::string bytes;
    Ships startUp; // 16-bit speed
    Ships editor; // 32-bit speed
};

const Schiffstyp kA{"A", 1, 2, 3, 4, 5, 6, 7};
const Schiffstyp kB{"B", 10, 20, 30, 40, 50, 60, 70};
const std::string kRecA = "\"A\"\r\n1,2,3,4,5\r\n6\r\n7\r\n";
const std::string kRecB = "\"B\"\r\n10,20,30,40,50\r\n60\r\n70\r\n";

std::vector<LoadCase> loadCases() {
    return {
        {"empty file", "", {}, {}},
        {"halves to the even neighbour",
         "\"A\"\r\n2.5,3.5,-2.5,0.5,1.5\r\n2.5\r\n3.5\r\n",
         {{"A", 2, 4, -2, 0, 2, 2, 4}},
         {{"A", 2, 4, -2, 0, 2, 2, 4}}},
        {"fractions round to the nearest",
         "\"A\"\r\n2.4,2.6,-2.6,1E3,-0.4\r\n6\r\n7\r\n",
         {{"A", 2, 3, -3, 1000, 0, 6, 7}},
         {{"A", 2, 3, -3, 1000, 0, 6, 7}}},
        {"quoted numbers",
         "\"A\"\r\n\"7\",\" 2.5 \",3,4,5\r\n\"6\"\r\n\"7\"\r\n",
         {{"A", 7, 2, 3, 4, 5, 6, 7}},
         {{"A", 7, 2, 3, 4, 5, 6, 7}}},
        {"record on one line", "\"A\",1,2,3,4,5,6,7\r\n" + kRecB, {kA, kB}, {kA, kB}},
        {"record over eight lines", "\"A\"\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", {kA}, {kA}},
        {"LF line ends", "\"A\"\n1,2,3,4,5\n6\n7\n", {kA}, {kA}},
        {"no line end after the last field", "\"A\"\r\n1,2,3,4,5\r\n6\r\n7", {kA}, {kA}},
        {"trailing empty line", kRecA + "\r\n", {kA}, {kA}},
        {"record cut short", kRecA + "\"B\"\r\n10,20\r\n", {kA}, {kA}},
        {"name only at the end", kRecA + "\"B\"\r\n", {kA}, {kA}},
        {"duplicates kept", kRecA + kRecA, {kA, kA}, {kA, kA}},
        {"amount beyond 32 bits skipped", "\"X\"\r\n2147483648,0,0,0,0\r\n1\r\n1\r\n" + kRecA, {kA}, {kA}},
        {"amount below 32 bits skipped", "\"X\"\r\n0,0,0,0,-2147483649\r\n1\r\n1\r\n" + kRecA, {kA}, {kA}},
        {"32-bit limits kept",
         "\"L\"\r\n2147483647,-2147483648,0,0,0\r\n0\r\n2147483647\r\n",
         {{"L", 2147483647, -2147483647 - 1, 0, 0, 0, 0, 2147483647}},
         {{"L", 2147483647, -2147483647 - 1, 0, 0, 0, 0, 2147483647}}},
        {"rounding past the limit", "\"X\"\r\n2147483647.5,0,0,0,0\r\n0\r\n0\r\n", {}, {}},
        {"non-numeric amount skipped", "\"X\"\r\n\"viel\",0,0,0,0\r\n1\r\n1\r\n" + kRecB, {kB}, {kB}},
        {"non-numeric speed skipped", "\"X\"\r\n0,0,0,0,0\r\n\"schnell\"\r\n1\r\n" + kRecB, {kB}, {kB}},
        {"build time beyond 32 bits skipped", "\"X\"\r\n0,0,0,0,0\r\n1\r\n9999999999\r\n" + kRecB, {kB}, {kB}},
        {"speed beyond 16 bits only for the start-up",
         "\"W\"\r\n0,0,0,0,0\r\n32768\r\n1\r\n" + kRecA,
         {kA},
         {{"W", 0, 0, 0, 0, 0, 32768, 1}, kA}},
        {"16-bit speed limits",
         "\"S\"\r\n0,0,0,0,0\r\n-32768\r\n0\r\n\"T\"\r\n0,0,0,0,0\r\n32767\r\n0\r\n",
         {{"S", 0, 0, 0, 0, 0, -32768, 0}, {"T", 0, 0, 0, 0, 0, 32767, 0}},
         {{"S", 0, 0, 0, 0, 0, -32768, 0}, {"T", 0, 0, 0, 0, 0, 32767, 0}}},
        {"blanks before fields", "  \"A\"\r\n 1, 2, 3, 4, 5\r\n 6\r\n\t7\r\n", {kA}, {kA}},
        {"Windows-1252 name with comma",
         "\"\xc4gide, \x80 \xfc\"\r\n1,2,3,4,5\r\n6\r\n7\r\n",
         {{"Ägide, € ü", 1, 2, 3, 4, 5, 6, 7}},
         {{"Ägide, € ü", 1, 2, 3, 4, 5, 6, 7}}},
    };
}

TEST_F(SchiffeDatTest, LoadCases) {
    for (const LoadCase& c : loadCases()) {
        EXPECT_EQ(load(c.bytes, SpeedWidth::Bits16), c.startUp) << c.what << " (start-up)";
        EXPECT_EQ(load(c.bytes, SpeedWidth::Bits32), c.editor) << c.what << " (editor)";
    }
}

TEST_F(SchiffeDatTest, MissingOrUnreadableFileGivesEmptyCatalogue) {
    ShipCatalogue catalogue(log_);
    fill(catalogue, {kA, kB});
    *catalogue.entryAt(*catalogue.makePending()) = kA; // pending
    loadSchiffe(catalogue, file(), SpeedWidth::Bits16);
    EXPECT_EQ(catalogue.Schiffstypen_length(), 0);
    // Nothing of the old catalogue may come back through a save.
    EXPECT_EQ(schiffeContent(catalogue), "");

    fill(catalogue, {kA});
    fs::create_directory(file()); // a folder where the file should be
    loadSchiffe(catalogue, file(), SpeedWidth::Bits32);
    EXPECT_EQ(catalogue.Schiffstypen_length(), 0);
}

// A load tells what it left out of the catalogue, so that the editor can keep
// the old file before writing over it; blank lines at the end are no loss.
TEST_F(SchiffeDatTest, LoadTellsWhatItLeftOut) {
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t startUp; // records skipped by the 16-bit start-up reader
        std::size_t editor; // and by the editor's reader
    };
    const std::vector<Case> cases = {
        {"empty file", "", 0, 0},
        {"whole records", kRecA + kRecB, 0, 0},
        {"trailing empty line", kRecA + "\r\n", 0, 0},
        {"trailing blank lines and blanks", kRecA + "\r\n  \r\n\t\r\n", 0, 0},
        {"empty fields are zeros", "\"A\"\r\n,,,,\r\n\r\n\r\n", 0, 0},
        {"record cut short", kRecA + "\"B\"\r\n10,20\r\n", 1, 1},
        {"name only at the end", kRecA + "\"B\"\r\n", 1, 1},
        {"empty quoted name at the end", kRecA + "\"\"\r\n", 1, 1},
        {"amount typed as text", "\"X\"\r\n\"viel\",0,0,0,0\r\n1\r\n1\r\n" + kRecB, 1, 1},
        {"amount beyond 32 bits", "\"X\"\r\n2147483648,0,0,0,0\r\n1\r\n1\r\n" + kRecA, 1, 1},
        {"two bad records", "\"X\",\"viel\",0,0,0,0,1,1\r\n" + kRecA + "\"Y\",0,0,0,0,0,x,1\r\n", 2, 2},
        {"speed beyond 16 bits", "\"W\"\r\n0,0,0,0,0\r\n32768\r\n1\r\n", 1, 0},
    };
    for (const Case& c : cases) {
        writeBytes(file(), c.bytes);
        for (const auto& [width, skipped] :
             {std::pair{SpeedWidth::Bits16, c.startUp}, std::pair{SpeedWidth::Bits32, c.editor}}) {
            ShipCatalogue catalogue(log_);
            const FileLoad load = loadSchiffe(catalogue, file(), width);
            EXPECT_EQ(load.skippedRecords, skipped) << c.what;
            EXPECT_EQ(load.state, skipped > 0 ? FileState::Damaged : FileState::Read) << c.what;
        }
    }

    ShipCatalogue catalogue(log_);
    fs::remove(file());
    EXPECT_EQ(loadSchiffe(catalogue, file(), SpeedWidth::Bits32).state, FileState::Missing);
    fs::create_directory(file());
    EXPECT_TRUE(loadSchiffe(catalogue, file(), SpeedWidth::Bits32).damaged()) << "a folder";
}

// Writing over a damaged file: the old bytes are kept first, and without a
// copy nothing is written.
TEST_F(SchiffeDatTest, SavingOverADamagedFileKeepsTheOldOneFirst) {
    const std::string old = kRecA + "\"X\"\r\n\"viel\",0,0,0,0\r\n1\r\n1\r\n" + std::string(200, ' ');
    struct Case {
        const char* what;
        bool fileThere;
        rlim_t sizeLimit; // 0: none; else files may not grow beyond it
        bool written;
        bool copied;
    };
    const Case cases[] = {
        {"copy kept, then written", true, 0, true, true},
        {"no file any more: nothing to keep", false, 0, true, false},
        // The new content fits under the limit, the old file's copy does not.
        {"copy fails: not written", true, 100, false, false},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path target = dir.file("schiffe.dat");
        if (c.fileThere) writeBytes(target, old);
        ShipCatalogue catalogue(log_);
        fill(catalogue, {kA, kB});

        SaveOutcome saved;
        if (c.sizeLimit > 0) {
            test::FileSizeLimit limit(c.sizeLimit);
            KRVX_NEEDS_FILE_SIZE_LIMIT(limit);
            saved = saveKeepingCopy(target, schiffeContent(catalogue), true, files);
        } else {
            saved = saveKeepingCopy(target, schiffeContent(catalogue), true, files);
        }

        EXPECT_EQ(saved.written(), c.written) << c.what;
        EXPECT_EQ(saved.copyError.has_value(), !c.written) << c.what;
        EXPECT_FALSE(saved.writeError.has_value()) << c.what;
        EXPECT_EQ(saved.keptCopy.has_value(), c.copied) << c.what;
        if (c.written) {
            EXPECT_EQ(readBytes(target), kRecA + kRecB) << c.what;
        } else {
            EXPECT_EQ(readBytes(target), old) << c.what;
        }
        if (c.copied) {
            EXPECT_EQ(*saved.keptCopy, dir.file("schiffe.dat.bak")) << c.what;
            EXPECT_EQ(readBytes(*saved.keptCopy), old) << c.what;
        }
        const auto entries = std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
        EXPECT_EQ(entries, (c.fileThere || c.written ? 1 : 0) + (c.copied ? 1 : 0)) << c.what;
    }
}

TEST_F(SchiffeDatTest, BinaryFileLoadsWithoutHarm) {
    std::mt19937 random(12345);
    std::string bytes(64 * 1024, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    // Every record that makes it in is a whole record; nothing is written back.
    for (SpeedWidth width : {SpeedWidth::Bits16, SpeedWidth::Bits32}) {
        const Ships ships = load(bytes, width);
        EXPECT_LE(ships.size(), bytes.size() / 8);
    }
    EXPECT_EQ(readBytes(file()), bytes);
}

TEST_F(SchiffeDatTest, LoadStopsAtTheLimitOfEntries) {
    std::string bytes;
    for (int i = 0; i < ShipCatalogue::kMaxEntries + 5; ++i) {
        bytes += "\"S" + std::to_string(i) + "\"," + std::to_string(i) + ",0,0,0,0,1,2\r\n";
    }
    writeBytes(file(), bytes);
    ShipCatalogue catalogue(log_);
    const FileLoad load = loadSchiffe(catalogue, file(), SpeedWidth::Bits32);
    EXPECT_EQ(load.skippedRecords, 5u);
    EXPECT_TRUE(load.damaged());
    ASSERT_EQ(catalogue.Schiffstypen_length(), 32767);
    ASSERT_EQ(catalogue.Schiffstypen().size(), 32767u);
    EXPECT_EQ(catalogue.Schiffstypen().back().name, "S32766");
    EXPECT_EQ(catalogue.Schiffstypen().back().erz, 32766);
}

TEST_F(SchiffeDatTest, FailedSaveLeavesTheOldFileWhole) {
    const std::string old = test::golden("catalogue", "four_ships.dat");
    writeBytes(file(), old);
    ShipCatalogue catalogue(log_);
    Ships many(2000, kB);
    fill(catalogue, many);

    // The disk fills up in the middle of the save: a file size limit makes
    // every write beyond 100 bytes fail.
    std::optional<FileError> error;
    {
        test::FileSizeLimit limit(100);
        KRVX_NEEDS_FILE_SIZE_LIMIT(limit);
        error = saveKeepingCopy(file(), schiffeContent(catalogue), false, files).writeError;
    }

    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->number, 0);
    EXPECT_FALSE(error->description.empty());
    EXPECT_EQ(readBytes(file()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1)
        << "no temporary file is left";
    EXPECT_EQ(catalogue.Schiffstypen_length(), 2000);
}

} // namespace
} // namespace krvx
