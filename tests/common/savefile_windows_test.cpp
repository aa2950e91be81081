// The Windows side of saving, through the real file system under Windows (or
// Wine): what other programs and the player do to a data file there.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "common/atomicsave.h"
#include "common/backupcopy.h"
#include "common/messagetexts.h"
#include "common/paths.h"
#include "common/systempaths.h"
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
        handle_ = CreateFileW(systemPath(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (releaseAfterMs >= 0)
            releaser_ = std::thread([this, releaseAfterMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(releaseAfterMs));
                release();
            });
    }
    ~Holder() {
        if (releaser_.joinable()) releaser_.join();
        release();
    }
    bool holds() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release() {
        if (const HANDLE h = std::exchange(handle_, INVALID_HANDLE_VALUE); h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::thread releaser_;
};

// Denies the player the writing of the file by its access control list, as
// another user who shares it for reading only does; everything else is open.
void denyWriting(const fs::path& file) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    char user[256];
    DWORD size = sizeof user;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, size, &size));
    CloseHandle(token);
    LPWSTR sid = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid));
    const std::wstring sddl = L"D:(D;;0x116;;;" + std::wstring(sid) + L")(A;;FA;;;WD)"; // no writing, no appending
    LocalFree(sid);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    ASSERT_TRUE(SetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, descriptor));
    LocalFree(descriptor);
}

TEST(SaveOnWindows, ReplacesOrKeepsTheOldFileWhole) {
    enum class Mark { None, ReadOnly, Hidden, WriteDenied };
    struct Case {
        const char* what;
        int holdMs; // another program holds the file: -1 for the whole save, 0 for nobody
        Mark mark; // what the player did to the file before
        const char* expectedError; // nullptr: saved
    };
    const std::string readOnly = "planeten.dat konnte nicht gespeichert werden: Die Datei ist schreibgeschützt.";
    const Case cases[] = {
        {"nobody else has the file", 0, Mark::None, nullptr},
        {"a scanner lets go after 300 ms", 300, Mark::None, nullptr},
        {"an editor holds it throughout", -1, Mark::None,
         "planeten.dat konnte nicht gespeichert werden: Datei wird verwendet."},
        {"the player made it read-only", 0, Mark::ReadOnly, readOnly.c_str()},
        {"its access control list forbids writing", 0, Mark::WriteDenied, readOnly.c_str()},
        {"the player hid it: it stays hidden", 0, Mark::Hidden, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const fs::path file = dir.file("planeten.dat");
        writeBytes(file, "old\r\n");
        if (c.mark == Mark::ReadOnly || c.mark == Mark::Hidden)
            SetFileAttributesW(file.c_str(), c.mark == Mark::Hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_READONLY);
        if (c.mark == Mark::WriteDenied) denyWriting(file);
        std::optional<FileError> error;
        {
            Holder holder(file, c.holdMs);
            if (c.holdMs != 0) {
                ASSERT_TRUE(holder.holds());
            }
            error = saveDataFile(file, "Größe €\r\n");
        }
        EXPECT_EQ(error ? notSavedText(file, *error) : std::string("saved"),
                  c.expectedError ? c.expectedError : "saved");
        EXPECT_EQ(readBytes(file), c.expectedError ? std::string("old\r\n")
                                                   : std::string("Gr\xF6\xDF"
                                                                 "e \x80\r\n"));
        EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"planeten.dat"}); // no temporary left
        const DWORD hidden = c.mark == Mark::Hidden ? FILE_ATTRIBUTE_HIDDEN : 0u;
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, hidden);
        const BackupCopy copy = keepBackupCopy(file); // as hidden as its file
        ASSERT_TRUE(copy.path);
        EXPECT_EQ(GetFileAttributesW(copy.path->c_str()) & FILE_ATTRIBUTE_HIDDEN, hidden);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// A folder with a name beyond the old code page, and one whose files' paths
// are beyond the old limit of 260 characters.
const std::string kUmlautFolder =
    "Spiele/Gr\xC3\xB6\xC3\x9F"
    "e \xE2\x82\xAC";
const std::string kDeepFolder = kUmlautFolder + "/" + std::string(120, 'a') + "/" + std::string(120, 'b');

fs::path madeFolder(const test::TempDir& dir, const std::string& folder) {
    const fs::path made = dir.path() / pathOfUtf8(folder);
    std::error_code ec;
    fs::create_directories(made, ec);
    EXPECT_FALSE(ec) << ec.message();
    return made;
}

// Save, backup copy and read back in every folder.
TEST(SaveOnWindows, WorksInEveryFolder) {
    for (const std::string& folder : {kUmlautFolder, kDeepFolder}) {
        SCOPED_TRACE(folder);
        test::TempDir dir;
        const fs::path file = madeFolder(dir, folder) / "schiffe.dat";
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
    for (const std::string& folder : {std::string("."), kDeepFolder}) {
        SCOPED_TRACE(folder);
        test::TempDir dir;
        const fs::path file = madeFolder(dir, folder) / "kurse.dat";
        const fs::path killed = temporaryName(file, 0x7FFFFFF0, 1); // no such process
        const fs::path atWork = temporaryName(file, GetCurrentProcessId(), 2);
        const fs::path heldByKilled = temporaryName(file, 0x7FFFFFF0, 3);
        for (const fs::path& temp : {killed, atWork, heldByKilled}) writeBytes(temp, "part");
        Holder writing(atWork, -1), stillOpen(heldByKilled, -1);
        removeAbandonedTemporaries(file);
        std::error_code ec;
        EXPECT_EQ(entryType(killed, ec), fs::file_type::not_found);
        EXPECT_EQ(entryType(atWork, ec), fs::file_type::regular);
        EXPECT_EQ(entryType(heldByKilled, ec), fs::file_type::regular);
    }
}

// A reparse point's data as the file system gives it: the tag, the lengths,
// a symbolic link's flags, then the substitute and the print name.
std::string reparseData(ULONG tag, std::wstring_view substitute, std::wstring_view print, ULONG flags = 0) {
    const auto bytes = [](const auto& value) {
        return std::string(reinterpret_cast<const char*>(&value), sizeof value);
    };
    const USHORT lengths[] = {0,
                              0,
                              0,
                              static_cast<USHORT>(substitute.size() * 2),
                              static_cast<USHORT>(substitute.size() * 2),
                              static_cast<USHORT>(print.size() * 2)};
    std::string data = bytes(tag) + bytes(lengths) + (tag == IO_REPARSE_TAG_SYMLINK ? bytes(flags) : "");
    data.append(reinterpret_cast<const char*>(substitute.data()), substitute.size() * 2);
    return data.append(reinterpret_cast<const char*>(print.data()), print.size() * 2);
}

// Which reparse points are links, and where they lead.
TEST(SaveOnWindows, TellsLinksAndJunctionsByTheirData) {
    const struct {
        const char* what;
        std::string data;
        const wchar_t* expected; // nullptr: no link
    } cases[] = {
        {"a link by its whole path",
         reparseData(IO_REPARSE_TAG_SYMLINK, LR"(\??\C:\Spiele\x.dat)", LR"(C:\Spiele\x.dat)"), LR"(C:\Spiele\x.dat)"},
        {"a link beside it", reparseData(IO_REPARSE_TAG_SYMLINK, LR"(..\x.dat)", LR"(..\x.dat)", 1), LR"(..\x.dat)"},
        {"a junction without a print name", reparseData(IO_REPARSE_TAG_MOUNT_POINT, LR"(\??\D:\Korvax)", L""),
         LR"(D:\Korvax)"},
        {"a junction to a share", reparseData(IO_REPARSE_TAG_MOUNT_POINT, LR"(\??\UNC\nas\spiele)", L""),
         LR"(\\nas\spiele)"},
        {"a cloud file's placeholder", reparseData(0x9000601A, LR"(\??\C:\x)", LR"(C:\x)"), nullptr},
        {"a whole-path link that names none", reparseData(IO_REPARSE_TAG_SYMLINK, LR"(x.dat)", LR"(x.dat)"), nullptr},
        {"cut short", reparseData(IO_REPARSE_TAG_MOUNT_POINT, LR"(\??\D:\Korvax)", L"").substr(0, 24), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<fs::path> target = reparseTarget(c.data);
        EXPECT_EQ(target ? target->native() : L"none", c.expected ? c.expected : L"none");
    }
}

// A symbolic link of the player's own is written through, and stays a link.
// (Wine makes none: there the test is skipped.)
TEST(SaveOnWindows, WritesThroughThePlayersOwnLink) {
    test::TempDir dir;
    const fs::path target = dir.file("planeten-echt.dat"), link = dir.file("planeten.dat");
    writeBytes(target, "old\r\n");
    CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    std::error_code ec;
    if (entryType(link, ec) != fs::file_type::symlink) GTEST_SKIP() << "no symbolic link could be made here";
    EXPECT_FALSE(saveDataFile(link, "new\r\n"));
    EXPECT_EQ(readBytes(target), "new\r\n");
    EXPECT_EQ(entryType(link, ec), fs::file_type::symlink);
    EXPECT_EQ(readBytes(*keepBackupCopy(link).path), "new\r\n");
}

} // namespace
} // namespace krvx
