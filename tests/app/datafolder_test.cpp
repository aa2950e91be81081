#include "app/datafolder.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using test::folderEntries;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

// Two example files and what a seed folder holds beside them but is no example.
fs::path makeSeed(const fs::path& seed) {
    fs::create_directories(seed / "unterordner");
    writeBytes(seed / "schiffe.dat", "\"Frachter\"\r\n1,2,3,4,5\r\n7\r\n9\r\n");
    writeBytes(seed / "kurse.dat", "1,2\r\n");
    writeBytes(seed / ".gitattributes", "* -text\n");
    writeBytes(seed / "notizen.txt", "keine Datei des Programms\r\n");
    return seed;
}

TEST(DataFolder, FirstUseCreatesAndSeeds) {
    TempDir temp;
    const fs::path seed = makeSeed(temp.path() / "seed");
    const fs::path folder = temp.path() / "neu/tief/korvax-rechner";

    const DataFolderResult result = prepareDataFolder(folder, seed);
    EXPECT_TRUE(result.created);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.seeded.error, "");
    EXPECT_EQ(result.seeded.copied, (std::vector<std::string>{"kurse.dat", "schiffe.dat"}));
    EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{"kurse.dat", "schiffe.dat"}));
    EXPECT_EQ(readBytes(folder / "schiffe.dat"), readBytes(seed / "schiffe.dat"));
    EXPECT_EQ(readBytes(folder / "kurse.dat"), readBytes(seed / "kurse.dat"));

    // Later starts keep the player's choices, a deleted example file included.
    fs::remove(folder / "kurse.dat");
    writeBytes(folder / "schiffe.dat", "eigene Schiffe");
    const DataFolderResult again = prepareDataFolder(folder, seed);
    EXPECT_FALSE(again.created);
    EXPECT_TRUE(again.seeded.copied.empty());
    EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{"schiffe.dat"}));
    EXPECT_EQ(readBytes(folder / "schiffe.dat"), "eigene Schiffe");

    // A folder that is there but holds no data file (made empty by an
    // installer, or with a log and notes only) gets the example files too.
    fs::remove(folder / "schiffe.dat");
    writeBytes(folder / "KRVXR.debug", "x");
    EXPECT_EQ(prepareDataFolder(folder, seed).seeded.copied.size(), 2u);
}

TEST(DataFolder, SeedingNeverReplacesWhatIsThere) {
    KRVX_NEEDS_SYMLINKS();
    TempDir temp;
    const fs::path seed = makeSeed(temp.path() / "seed");
    const fs::path folder = temp.path() / "daten";
    fs::create_directories(folder / "kurse.dat"); // a folder of that name
    fs::create_symlink(temp.path() / "fehlt", folder / "schiffe.dat"); // a link to nothing

    const SeedResult result = seedFolder(seed, folder);
    EXPECT_TRUE(result.copied.empty());
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(fs::is_directory(folder / "kurse.dat"));
    EXPECT_TRUE(fs::is_symlink(folder / "schiffe.dat"));
    EXPECT_FALSE(fs::exists(temp.path() / "fehlt"));
    EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{"kurse.dat", "schiffe.dat"}));
}

TEST(DataFolder, MissingSeedStillGivesAFolder) {
    TempDir temp;
    const DataFolderResult result = prepareDataFolder(temp.path() / "daten", temp.path() / "kein-seed");
    EXPECT_TRUE(result.created);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.seeded.error, "");
    EXPECT_TRUE(fs::is_directory(temp.path() / "daten"));
    EXPECT_TRUE(folderEntries(temp.path() / "daten").empty());
}

TEST(DataFolder, FileInTheWayIsAnError) {
    TempDir temp;
    writeBytes(temp.file("daten"), "x");
    const DataFolderResult result = prepareDataFolder(temp.file("daten"), temp.path());
    EXPECT_FALSE(result.created);
    EXPECT_EQ(result.error, "„" + temp.file("daten").string() + "“ ist kein Ordner.");
    EXPECT_EQ(readBytes(temp.file("daten")), "x");
}

// The example files are tried in the order of kDataFiles, whatever order the
// seed folder lists them in: on a full disk what fits is copied and the first
// file that does not is named.
TEST(DataFolder, FailedCopyIsReportedAndLeavesNothingBehind) {
    KRVX_NEEDS_SYMLINKS();
    struct Case {
        rlim_t limit;
        std::vector<std::string> copied;
        std::string failed; // the file the error names; empty: none
    };
    const Case cases[] = {
        {1 << 20, {"kurse.dat", "produktion.dat", "schiffe.dat"}, ""},
        {8, {"kurse.dat"}, "produktion.dat"}, // kurse.dat fits, the others do not
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        TempDir temp;
        const fs::path seed = makeSeed(temp.path() / "seed");
        writeBytes(seed / "produktion.dat", "100 0 0 0 0\r\n250 0 0 0 0\r\n\r\n");
        fs::create_symlink(temp.path() / "nirgends", seed / "planeten.dat"); // installed, then lost
        const fs::path folder = temp.path() / "daten";
        fs::create_directories(folder);

        SeedResult result;
        {
            test::FileSizeLimit fullDisk(c.limit);
            KRVX_NEEDS_FILE_SIZE_LIMIT(fullDisk);
            result = seedFolder(seed, folder);
        }
        EXPECT_EQ(result.copied, c.copied);
        EXPECT_EQ(folderEntries(folder), c.copied); // (sorted by name, as the table is)
        if (c.failed.empty())
            EXPECT_EQ(result.error, "");
        else
            EXPECT_EQ(result.error.rfind("Die Beispieldatei „" + c.failed + "“ ließ sich nicht nach „" +
                                             folder.string() + "“ kopieren: ",
                                         0),
                      0u)
                << result.error;
    }
}

} // namespace
} // namespace krvx
