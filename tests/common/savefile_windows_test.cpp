// The Windows side of saving, through the real file system under Windows (or
// Wine): what other programs and the player do to a data file there.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <windows.h>

#include <gtest/gtest.h>

#include "common/atomicsave.h"
#include "common/backupcopy.h"
#include "common/messagetexts.h"
#include "common/paths.h"
#include "common/temporaries.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using test::folderEntries;
using test::readBytes;
using test::writeBytes;

// Holds the file open without sharing, as a virus scanner or an editor may,
// for the given time (or for the whole save when negative).
class Holder {
public:
    Holder(const fs::path& file, int releaseAfterMs) {
        handle_ = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (releaseAfterMs >= 0)
            releaser_ = std::thread([this, releaseAfterMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(releaseAfterMs));
                release();
            });
    }
    ~Holder() {
        if (releaser_.joinable())
            releaser_.join();
        release();
    }
    bool holds() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release() {
        if (const HANDLE h = std::exchange(handle_, INVALID_HANDLE_VALUE); h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::thread releaser_;
};

TEST(SaveOnWindows, ReplacesOrKeepsTheOldFileWhole) {
    struct Case {
        const char* what;
        int holdMs; // another program holds the file: -1 for the whole save, 0 for nobody
        bool readOnly;
        const char* expectedError; // nullptr: saved
    };
    const Case cases[] = {
        {"nobody else has the file", 0, false, nullptr},
        {"a scanner lets go after 300 ms", 300, false, nullptr},
        {"an editor holds it throughout", -1, false, "planeten.dat konnte nicht gespeichert werden: Datei wird verwendet."},
        {"the player made it read-only", 0, true,
         "planeten.dat konnte nicht gespeichert werden: Die Datei ist schreibgeschützt."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const fs::path file = dir.file("planeten.dat");
        writeBytes(file, "old\r\n");
        if (c.readOnly)
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        std::optional<FileError> error;
        {
            Holder holder(file, c.holdMs);
            if (c.holdMs != 0) {
                ASSERT_TRUE(holder.holds());
            }
            error = saveDataFile(file, "Größe €\r\n");
        }
        EXPECT_EQ(error ? notSavedText(file, *error) : std::string("saved"), c.expectedError ? c.expectedError : "saved");
        EXPECT_EQ(readBytes(file), c.expectedError ? std::string("old\r\n") : std::string("Gr\xF6\xDF"
                                                                                          "e \x80\r\n"));
        EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"planeten.dat"}); // no temporary left
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Names beyond the old code page and paths beyond the old limit of 260
// characters: save, backup copy and read back.
TEST(SaveOnWindows, WorksInEveryFolder) {
    const std::string deep =
        "Spiele/Gr\xC3\xB6\xC3\x9F"
        "e \xE2\x82\xAC/" +
        std::string(120, 'a') + "/" + std::string(120, 'b');
    for (const std::string& folder : {std::string("Spiele/Gr\xC3\xB6\xC3\x9F"
                                                  "e \xE2\x82\xAC"),
                                      deep}) {
        SCOPED_TRACE(folder);
        test::TempDir dir;
        const fs::path file = dir.path() / pathOfUtf8(folder) / "schiffe.dat";
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        ASSERT_FALSE(ec) << ec.message();
        EXPECT_FALSE(saveDataFile(file, "first\r\n"));
        const BackupCopy copy = keepBackupCopy(file);
        ASSERT_TRUE(copy.path);
        EXPECT_EQ(copy.path->filename(), fs::path("schiffe.dat.bak"));
        EXPECT_FALSE(saveDataFile(file, "second\r\n"));
        EXPECT_EQ(readBytes(file), "second\r\n");
        EXPECT_EQ(readBytes(*copy.path), "first\r\n");
        EXPECT_EQ(keepBackupCopy(file).path->filename(), fs::path("schiffe.dat.bak2"));
    }
}

// What a killed save left goes; a save at work (its file held open) stays.
TEST(SaveOnWindows, RemovesOnlyAbandonedTemporaries) {
    test::TempDir dir;
    const fs::path file = dir.file("kurse.dat");
    const fs::path killed = temporaryName(file, 0x7FFFFFF0, 1); // no such process
    const fs::path atWork = temporaryName(file, GetCurrentProcessId(), 2);
    const fs::path heldByKilled = temporaryName(file, 0x7FFFFFF0, 3);
    for (const fs::path& temp : {killed, atWork, heldByKilled})
        writeBytes(temp, "part");
    Holder writing(atWork, -1), stillOpen(heldByKilled, -1);
    removeAbandonedTemporaries(file);
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(atWork));
    EXPECT_TRUE(fs::exists(heldByKilled));
}

} // namespace
} // namespace krvx
