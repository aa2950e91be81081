#include "common/textfile.h"
#include "common/appendfile.h"
#include "common/backupcopy.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

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

// The characters of the bytes 0x80 to 0x9F, written out as UTF-8.
const char* const kHighCharacters[32] = {
    "€",        "\xC2\x81", "‚", "ƒ", "„", "…", "†", "‡", "ˆ", "‰", "Š", "‹", "Œ", "\xC2\x8D", "Ž", "\xC2\x8F",
    "\xC2\x90", "‘",        "’", "“", "”", "•", "–", "—", "˜", "™", "š", "›", "œ", "\xC2\x9D", "ž", "Ÿ"};

TEST(Cp1252, HighBytesDecodeToTheirCharacters) {
    for (int b = 0x80; b < 0xA0; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(cp1252ToUtf8(byte), kHighCharacters[b - 0x80]) << std::hex << b;
        EXPECT_EQ(utf8ToCp1252(kHighCharacters[b - 0x80]), byte) << std::hex << b;
    }
    EXPECT_EQ(cp1252ToUtf8("Gr\xF6\xDF"
                           "e \xA0\xFF"),
              "Größe \u00A0ÿ");
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_TRUE(fitsCp1252(utf8));
    EXPECT_EQ(utf8ToCp1252(utf8), all);
}

TEST(Cp1252, CharactersWithoutAByteBecomeQuestionMarks) {
    struct Case {
        std::string utf8;
        std::string bytes;
        bool fits;
    };
    const Case cases[] = {
        {"abc", "abc", true},
        {"→x", "?x", false},
        {"\u0080", "?", false}, // the control character that 0x80 does not stand for
        {"🚀", "?", false},
        {"a\xFF"
         "b",
         "a?b", false}, // invalid UTF-8
        {"a\xC3", "a?", false}, // cut-off sequence
        {"\xC0\x80", "??", false}, // overlong form
        {"\xED\xA0\x80", "???", false}, // surrogate
        {"あ", "?", false}, // three bytes, odd lead byte
        {"\xF1\x80\x80\x80", "?", false}, // U+40000: four bytes, odd lead byte
        {"Ä€", "\xC4\x80", true},
        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.bytes);
        EXPECT_EQ(fitsCp1252(c.utf8), c.fits);
    }
}

const std::string kGoldenText = "\"Zerstörer € „Groß“\"\r\n500,250,0,20,0\r\nÄÖÜäöü – … ™\r\n";

TEST(DataFile, SavesTheGoldenBytesAndReadsThemBack) {
    TempDir dir;
    const fs::path golden = test::goldenPath("common", "umlaute.dat");
    ASSERT_EQ(saveDataFile(dir.file("umlaute.dat"), kGoldenText), std::nullopt);
    EXPECT_EQ(readBytes(dir.file("umlaute.dat")), readBytes(golden));
    EXPECT_EQ(readDataFile(golden).data, kGoldenText);
}

TEST(DataFile, ReadingKeepsLineEndsAsTheyAre) {
    TempDir dir;
    writeBytes(dir.file("a.dat"), "a\nb\r\nc\r");
    EXPECT_EQ(readDataFile(dir.file("a.dat")).data, "a\nb\r\nc\r");
    writeBytes(dir.file("leer.dat"), "");
    EXPECT_EQ(readDataFile(dir.file("leer.dat")).ifRead(), "");
}

TEST(DataFile, ReadingFailsForMissingFilesFoldersFifosAndHugeFiles) {
    TempDir dir;
    EXPECT_EQ(readDataFile(dir.file("fehlt.dat")).state, FileState::Missing);
    writeBytes(dir.file("a.dat"), "");
    EXPECT_EQ(readDataFile(dir.file("a.dat/b.dat")).state, FileState::Missing);
    EXPECT_EQ(readDataFile(dir.path()).state, FileState::Unreadable);
    ASSERT_EQ(::mkfifo(dir.file("fifo.dat").c_str(), 0600), 0); // no writer is waited for
    EXPECT_EQ(readDataFile(dir.file("fifo.dat")).state, FileState::Unreadable);
    for (const std::size_t size : {kLargestDataFile, kLargestDataFile + 1}) { // sparse: no disk space taken
        fs::resize_file(dir.file("a.dat"), size);
        EXPECT_EQ(readDataFile(dir.file("a.dat")).state,
                  size > kLargestDataFile ? FileState::Unreadable : FileState::Read);
    }
}

struct stat statOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    return info;
}

mode_t modeOf(const fs::path& file) {
    return statOf(file).st_mode & 07777;
}

// A group other than the one the saving process gives new files: any for the
// superuser, else another group of the process (or its own when it has none).
gid_t otherGroup() {
    if (::geteuid() == 0) return 65534;
    gid_t groups[64];
    const int count = ::getgroups(64, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] != ::getegid()) return groups[i];
    }
    return ::getegid();
}

TEST(DataFile, SaveCreatesAndReplacesWithoutLeavingTemporaryFiles) {
    TempDir dir;
    const fs::path file = dir.file("schiffe.dat");
    ASSERT_EQ(saveDataFile(file, "alt\r\n"), std::nullopt);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(modeOf(file), 0666 & ~mask);
    ASSERT_EQ(saveDataFile(file, "neu\r\n"), std::nullopt);
    EXPECT_EQ(readBytes(file), "neu\r\n");
    ASSERT_EQ(saveDataFile(file, ""), std::nullopt);
    EXPECT_EQ(readBytes(file), "");
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"schiffe.dat"});
}

// An access control list as the file system keeps it: the file's owner and
// nobody may write, its group read, nobody else anything.
std::string accessList() {
    struct Entry {
        std::uint16_t tag, rights;
        std::uint32_t id;
    };
    const Entry entries[] = {{0x01, 6, ~0u}, {0x02, 6, 65534}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    std::string bytes{2, 0, 0, 0};
    for (const Entry& e : entries) bytes.append(reinterpret_cast<const char*>(&e), sizeof e);
    return bytes;
}

std::string attribute(const fs::path& file, const char* name) {
    char value[256];
    const ssize_t size = ::getxattr(file.c_str(), name, value, sizeof value);
    return size < 0 ? "(none)" : std::string(value, static_cast<std::size_t>(size));
}

// The save and the copies beside the file keep its group (also in a folder whose group new files take), mode and
// extended attributes (the access control list, a user's note).
TEST(DataFile, SaveKeepsThePermissionsAndGroupOfTheOldFile) {
    struct Case {
        mode_t mode;
        gid_t group;
        bool folderGroupInherited = false;
        const char* attribute = nullptr;
        std::string value = {};
        bool folderGivesAList = false; // an access control list for every new file in the folder
    };
    for (const Case& c :
         {Case{0600, ::getegid()}, Case{0640, otherGroup()}, Case{0664, otherGroup()}, Case{0755, ::getegid()},
          Case{0640, ::getegid(), true}, Case{0660, ::getegid(), false, "system.posix_acl_access", accessList()},
          Case{0640, ::getegid(), true, "user.note", "Kurse vom Markt"},
          Case{0640, ::getegid(), false, nullptr, {}, true}}) {
        TempDir dir;
        const fs::path file = dir.file("kurse.dat");
        writeBytes(file, "alt");
        if (c.folderGroupInherited) {
            ASSERT_EQ(
                ::chown(dir.path().c_str(), static_cast<uid_t>(-1), otherGroup()) | ::chmod(dir.path().c_str(), 02770),
                0);
        }
        ASSERT_EQ(::chown(file.c_str(), static_cast<uid_t>(-1), c.group), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        if (c.attribute && ::setxattr(file.c_str(), c.attribute, c.value.data(), c.value.size(), 0) != 0)
            GTEST_SKIP() << "the file system of " << dir.path() << " holds no " << c.attribute;
        const std::string list = accessList();
        if (c.folderGivesAList &&
            ::setxattr(dir.path().c_str(), "system.posix_acl_default", list.data(), list.size(), 0) != 0)
            GTEST_SKIP() << "the file system of " << dir.path() << " holds no access control list";
        ASSERT_EQ(saveDataFile(file, "neu"), std::nullopt);
        SystemFileOps ops;
        const BackupCopy copy = keepBackupCopy(file, ops);
        const BackupCopy beside = saveBeside(file, ".neu", "neu", ops);
        for (const fs::path& saved : {file, copy.path.value_or(""), beside.path.value_or("")}) {
            EXPECT_EQ(modeOf(saved), c.mode) << saved;
            EXPECT_EQ(statOf(saved).st_gid, c.group) << saved;
            if (c.attribute) {
                EXPECT_EQ(attribute(saved, c.attribute), c.value) << saved;
            }
            if (c.folderGivesAList) {
                EXPECT_EQ(attribute(saved, "system.posix_acl_access"), "(none)") << saved;
            }
        }
    }
}

TEST(DataFile, SaveWritesThroughSymbolicLinks) {
    TempDir dir;
    fs::create_directory(dir.file("daten"));
    writeBytes(dir.file("daten/echt.dat"), "alt");
    fs::create_symlink("daten/echt.dat", dir.file("relativ.dat"));
    fs::create_symlink(dir.file("relativ.dat"), dir.file("kette.dat")); // a link to a link
    fs::create_symlink("daten/neu.dat", dir.file("haengend.dat")); // target not there yet

    ASSERT_EQ(saveDataFile(dir.file("kette.dat"), "über Kette"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir.file("kette.dat")));
    EXPECT_TRUE(fs::is_symlink(dir.file("relativ.dat")));
    EXPECT_EQ(readBytes(dir.file("daten/echt.dat")),
              "\xFC"
              "ber Kette");

    ASSERT_EQ(saveDataFile(dir.file("haengend.dat"), "neu"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir.file("haengend.dat")));
    EXPECT_EQ(readBytes(dir.file("daten/neu.dat")), "neu");
    EXPECT_EQ(folderEntries(dir.file("daten")), (std::vector<std::string>{"echt.dat", "neu.dat"}));
}

// As the kernel: a chain of 40 links is followed, one of 41 is a loop.
TEST(DataFile, ALinkLoopIsAnError) {
    TempDir dir;
    fs::create_symlink("b.dat", dir.file("a.dat"));
    fs::create_symlink("a.dat", dir.file("b.dat"));
    for (int n = 1; n <= 41; ++n)
        fs::create_symlink(n == 1 ? "echt.dat" : "k" + std::to_string(n - 1), dir.file("k" + std::to_string(n)));
    for (const auto& [file, loop] : {std::pair{"a.dat", true}, {"k40", false}, {"k41", true}}) {
        const auto error = saveDataFile(dir.file(file), "x");
        EXPECT_EQ(error ? error->number : 0, loop ? ELOOP : 0) << file;
    }
}

struct FailureCase {
    const char* name;
    void (*prepare)(const TempDir& dir);
    const char* file;
    int number;
};

class SaveFailureTest : public ::testing::TestWithParam<FailureCase> {};

// Saves as a user without extra rights: the superuser ignores permissions,
// so then the save runs as nobody (in the group given) in a child process, in
// a folder all of whose entries are the owner's. Returns the error number, 0 on success.
int saveAsOrdinaryUser(const TempDir& dir, const fs::path& file, std::string_view content, uid_t owner = 65534,
                       gid_t group = 65534) {
    if (::geteuid() != 0) {
        const auto error = saveDataFile(file, content);
        return error ? error->number : 0;
    }
    constexpr uid_t kNobody = 65534;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(::lchown(entry.path().c_str(), owner, group), 0);
    EXPECT_EQ(::chown(dir.path().c_str(), owner, group), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(1, &group) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(255);
        const auto error = saveDataFile(file, content);
        ::_exit(error ? (error->number & 0xFF) : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 255) << "could not drop rights";
    return WEXITSTATUS(status);
}

TEST_P(SaveFailureTest, LeavesTheOldFileWholeAndNoTemporaryFile) {
    const FailureCase& c = GetParam();
    TempDir dir;
    writeBytes(dir.file("alt.dat"), "alter Inhalt\r\n");
    c.prepare(dir);
    const auto before = folderEntries(dir.path());

    const int number = saveAsOrdinaryUser(dir, dir.file(c.file), "neuer Inhalt\r\n");
    ::chmod(dir.path().c_str(), 0700);

    EXPECT_EQ(number, c.number);
    EXPECT_EQ(readBytes(dir.file("alt.dat")), "alter Inhalt\r\n");
    EXPECT_EQ(folderEntries(dir.path()), before);
}

// A folder shared by a group, its file another member's: the save keeps the group.
TEST(DataFile, ASaveByAnotherMemberKeepsTheGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can act as two users";
    TempDir dir;
    writeBytes(dir.file("tausch.dat"), "alt");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0775) | ::chmod(dir.file("tausch.dat").c_str(), 0664), 0);
    ASSERT_EQ(saveAsOrdinaryUser(dir, dir.file("tausch.dat"), "neu", 4242, 4300), 0);
    EXPECT_EQ(statOf(dir.file("tausch.dat")).st_gid, 4300u);
}

// A link is followed only when it is the saver's own or root's, whatever the folder (sticky and open to all, shared by
// a group, private); else no save, backup copy, log or load touches its target, even through a link of the saver's own.
TEST(DataFile, ALinkOfAnotherUserInASharedFolderIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a link to another user";
    struct Case {
        mode_t mode;
        uid_t folder, link;
        const char* saved;
        bool followed;
    } const cases[] = {
        {01777, 0, 42, "pub/x.dat", false},  {01777, 0, 42, "eigen.dat", false}, {01777, 42, 0, "pub/x.dat", true},
        {01777, 42, 42, "pub/x.dat", false}, {0777, 0, 42, "pub/x.dat", false},  {01755, 0, 42, "pub/x.dat", false},
        {02775, 0, 42, "pub/x.dat", false},  {03770, 0, 42, "pub/x.dat", false}, {02775, 42, 0, "eigen.dat", true}};
    for (const Case& c : cases) {
        TempDir dir;
        writeBytes(dir.file("echt.dat"), "alt");
        fs::create_directory(dir.file("pub"));
        fs::create_symlink(dir.file("echt.dat"), dir.file("pub/x.dat"));
        fs::create_symlink("pub/x.dat", dir.file("eigen.dat"));
        ASSERT_EQ(::lchown(dir.file("pub/x.dat").c_str(), c.link, 0) | ::chown(dir.file("pub").c_str(), c.folder, 0) |
                      ::chmod(dir.file("pub").c_str(), c.mode),
                  0);
        EXPECT_EQ(saveDataFile(dir.file(c.saved), "neu").value_or(FileError{}).foreignLink, !c.followed);
        EXPECT_EQ(keepBackupCopy(dir.file(c.saved)).path.has_value(), c.followed);
        SystemFileOps ops; // a save that keeps a copy first stops at the copy, one that keeps none at the write
        EXPECT_EQ(saveKeepingCopy(dir.file(c.saved), "neu", true, ops).copyError.value_or(FileError{}).foreignLink,
                  !c.followed);
        EXPECT_EQ(saveKeepingCopy(dir.file(c.saved), "neu", false, ops).writeError.value_or(FileError{}).foreignLink,
                  !c.followed);
        AppendFile log;
        EXPECT_EQ(log.open(dir.file(c.saved)) && log.write("+"), c.followed);
        EXPECT_EQ(readDataFile(dir.file(c.saved)).state, c.followed ? FileState::Read : FileState::Unreadable);
        EXPECT_EQ(readBytes(dir.file("echt.dat")), c.followed ? "neu+" : "alt");
    }
}

TEST(DataFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const fs::path file = dir.file("planeten.dat");
    writeBytes(file, "alt\r\n");
    // Files may not grow beyond 16 bytes for a moment: the write fails midway.
    std::optional<FileError> error;
    {
        test::FileSizeLimit limit(16);
        KRVX_NEEDS_FILE_SIZE_LIMIT(limit);
        error = saveDataFile(file, std::string(100, 'x'));
    }

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, EFBIG);
    EXPECT_EQ(error->description, "Datei zu groß");
    EXPECT_EQ(readBytes(file), "alt\r\n");
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"planeten.dat"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveFailureTest,
    ::testing::Values(FailureCase{"ReadOnlyFolder", [](const TempDir& d) { ::chmod(d.path().c_str(), 0500); },
                                  "alt.dat", EACCES},
                      FailureCase{"ReadOnlyFolderNewFile", [](const TempDir& d) { ::chmod(d.path().c_str(), 0500); },
                                  "neu.dat", EACCES},
                      FailureCase{"ReadOnlyFile", [](const TempDir& d) { ::chmod(d.file("alt.dat").c_str(), 0444); },
                                  "alt.dat", EACCES},
                      FailureCase{"MissingFolder", [](const TempDir&) {}, "fehlt/neu.dat", ENOENT},
                      FailureCase{"TargetIsAFolder", [](const TempDir& d) { fs::create_directory(d.file("ordner")); },
                                  "ordner", EISDIR}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppendFile, AppendsAcrossOpeningsAndEncodes) {
    TempDir dir;
    const fs::path file = dir.file("KRVXR.debug");
    {
        AppendFile log;
        EXPECT_FALSE(log.isOpen());
        EXPECT_FALSE(log.write("nicht offen"));
        ASSERT_TRUE(log.open(file));
        EXPECT_TRUE(log.write("Start: März\r\n"));
        EXPECT_EQ(readBytes(file), "Start: M\xE4rz\r\n"); // flushed at once
    }
    AppendFile log;
    ASSERT_TRUE(log.open(file));
    EXPECT_TRUE(log.write("Ende €\r\n"));
    log.close();
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(readBytes(file), "Start: M\xE4rz\r\nEnde \x80\r\n");
    EXPECT_FALSE(log.open(dir.file("fehlt/KRVXR.debug")));
    EXPECT_FALSE(log.isOpen());
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(log.open(dir.file("fifo"))); // without a reader, not waited for
    const int reader = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_FALSE(log.open(dir.file("fifo"))); // with one, still no regular file
    ::close(reader);
}

// The clean-up of what killed saves left: only the program's own temporary
// files of that data file, never one whose writer may still be at work.
TEST(DataFile, RemovesOnlyTemporaryFilesWhoseWriterIsGone) {
    TempDir dir;
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".planeten.dat.tmp" + std::to_string(gone);
    const std::string alive = ".planeten.dat.tmp" + std::to_string(::getpid());
    struct Case {
        std::string name;
        bool old, locked, removed;
    };
    const Case cases[] = {
        {dead + "-1", false, false, true},
        {dead + "-2", false, true, false},
        {alive + "-3", false, false, false},
        {alive + "-4", true, false, true}, // a reused process id
        {alive + "-5", true, true, false},
        {".planeten.dat.tmp123", false, false, false}, // an earlier version's
        {".planeten.dat.tmp456", true, false, true},
        {dead + "-x", true, false, false},
        {".schiffe.dat.tmp1-1", true, false, false},
        {"planeten.dat.tmp1-1", true, false, false},
    };
    std::vector<int> locks;
    for (const Case& c : cases) {
        writeBytes(dir.file(c.name), "halb");
        if (c.old) fs::last_write_time(dir.file(c.name), fs::file_time_type::clock::now() - std::chrono::hours(1));
        if (c.locked) {
            locks.push_back(::open(dir.file(c.name).c_str(), O_RDONLY | O_CLOEXEC));
            ASSERT_EQ(::flock(locks.back(), LOCK_EX), 0);
        }
    }
    removeAbandonedTemporaries(dir.file("planeten.dat"));
    for (const Case& c : cases) EXPECT_EQ(fs::exists(dir.file(c.name)), !c.removed) << c.name;
    for (const int fd : locks) ::close(fd);

    // Unlocked now, the gone writer's file goes; the running writer's fresh
    // one stays, whatever an earlier check left in errno.
    errno = ESRCH;
    removeAbandonedTemporaries(dir.file("planeten.dat"));
    EXPECT_FALSE(fs::exists(dir.file(dead + "-2")));
    EXPECT_TRUE(fs::exists(dir.file(alive + "-3")));
}

} // namespace
} // namespace krvx
