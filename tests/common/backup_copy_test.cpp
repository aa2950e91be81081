#include "common/textfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/FailingFileOps.h"
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

mode_t modeOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Every byte value, CR LF and NUL among them, over several read buffers.
std::string largeContent() {
    std::mt19937 random(4711);
    std::string bytes(200 * 1024 + 17, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

enum class Kind { File, Folder, DanglingLink };
struct Taken {
    const char* name;
    Kind kind;
};

TEST(BackupCopy, TakesTheFirstFreeNameAndCopiesTheBytesExactly) {
    struct Case {
        const char* what;
        std::vector<Taken> taken;
        std::string content;
        mode_t mode;
        const char* copy;
        int linkFails = 0; // a file system without hard links (FAT, exFAT): how link fails
        const char* besideContent = nullptr; // saved beside as .neu instead of copied
    };
    const std::string text = "\"J\xE4ger\"\r\n100,\"viel\",0,0,0\r\n20\r\n";
    const std::vector<Case> cases = {
        {"no copy yet", {}, text, 0644, "schiffe.dat.bak"},
        {".bak taken", {{"schiffe.dat.bak", Kind::File}}, text, 0600, "schiffe.dat.bak2"},
        {"three taken",
         {{"schiffe.dat.bak", Kind::File}, {"schiffe.dat.bak2", Kind::File}, {"schiffe.dat.bak3", Kind::File}},
         text,
         0640,
         "schiffe.dat.bak4"},
        {"a gap is filled from the start", {{"schiffe.dat.bak2", Kind::File}}, text, 0644, "schiffe.dat.bak"},
        {"a folder holds the name", {{"schiffe.dat.bak", Kind::Folder}}, text, 0644, "schiffe.dat.bak2"},
        {"a dangling link holds the name", {{"schiffe.dat.bak", Kind::DanglingLink}}, text, 0644, "schiffe.dat.bak2"},
        {"empty file", {}, "", 0644, "schiffe.dat.bak"},
        {"read-only file", {}, text, 0444, "schiffe.dat.bak"},
        {"larger than the buffer", {}, largeContent(), 0664, "schiffe.dat.bak"},
        {"no hard links", {}, text, 0644, "schiffe.dat.bak", EPERM},
        {"no hard links, .bak taken", {{"schiffe.dat.bak", Kind::File}}, text, 0644, "schiffe.dat.bak2", ENOTSUP},
        {"no hard links, a dangling link holds the name",
         {{"schiffe.dat.bak", Kind::DanglingLink}},
         text,
         0644,
         "schiffe.dat.bak2",
         ENOSYS},
        {"saved beside, a dangling link holds the name",
         {{"schiffe.dat.neu", Kind::DanglingLink}},
         text,
         0600,
         "schiffe.dat.neu2",
         0,
         "Jäger\r\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path file = dir.file("schiffe.dat");
        writeBytes(file, c.content);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        for (const Taken& t : c.taken) {
            switch (t.kind) {
            case Kind::File:
                writeBytes(dir.file(t.name), "frühere Kopie");
                break;
            case Kind::Folder:
                fs::create_directory(dir.file(t.name));
                break;
            case Kind::DanglingLink:
                fs::create_symlink("nirgends", dir.file(t.name));
                break;
            }
        }
        std::vector<std::string> expectedEntries = folderEntries(dir.path());
        expectedEntries.push_back(c.copy);
        std::sort(expectedEntries.begin(), expectedEntries.end());

        test::FailingFileOps ops;
        if (c.linkFails != 0) ops.failAt(test::FileStep::Link, "schiffe.dat.bak", 0, c.linkFails);
        const BackupCopy kept =
            c.besideContent ? saveBeside(file, ".neu", c.besideContent, ops) : keepBackupCopy(file, ops);

        ASSERT_TRUE(kept.path.has_value()) << c.what << ": " << (kept.error ? kept.error->description : "");
        EXPECT_FALSE(kept.error.has_value()) << c.what;
        EXPECT_EQ(*kept.path, dir.file(c.copy)) << c.what;
        EXPECT_TRUE(readBytes(*kept.path) == (c.besideContent ? utf8ToCp1252(c.besideContent) : c.content)) << c.what;
        EXPECT_TRUE(readBytes(file) == c.content) << c.what;
        EXPECT_EQ(modeOf(*kept.path), c.mode) << c.what;
        EXPECT_EQ(folderEntries(dir.path()), expectedEntries) << c.what;
        for (const Taken& t : c.taken) {
            if (t.kind == Kind::File) {
                EXPECT_EQ(readBytes(dir.file(t.name)), "frühere Kopie") << c.what;
            }
            if (t.kind == Kind::DanglingLink) {
                EXPECT_TRUE(fs::is_symlink(dir.file(t.name))) << c.what;
            }
        }
    }
}

TEST(BackupCopy, ALinkIsCopiedAsItsTargetBesideTheLink) {
    TempDir dir;
    fs::create_directory(dir.file("daten"));
    writeBytes(dir.file("daten/echt.dat"), "Inhalt\r\n");
    fs::create_symlink("daten/echt.dat", dir.file("schiffe.dat"));

    const BackupCopy kept = keepBackupCopy(dir.file("schiffe.dat"));

    ASSERT_TRUE(kept.path.has_value());
    EXPECT_EQ(*kept.path, dir.file("schiffe.dat.bak"));
    EXPECT_FALSE(fs::is_symlink(*kept.path));
    EXPECT_EQ(readBytes(*kept.path), "Inhalt\r\n");
    EXPECT_EQ(folderEntries(dir.file("daten")), std::vector<std::string>{"echt.dat"});
}

TEST(BackupCopy, FailureLeavesNoCopyBehind) {
    struct Case {
        const char* what;
        bool folder; // the file's name is a folder
        bool missing; // there is no file
        long sizeLimit; // files may not grow beyond this many bytes; 0: no limit
        int number;
        std::uintmax_t sparse = 0; // the file's size, taking no disk space; 0: 100 bytes
    };
    const Case cases[] = {
        {"no file", false, true, 0, ENOENT},
        {"a folder", true, false, 0, EISDIR},
        {"the disk fills up midway", false, false, 16, EFBIG},
        {"larger than any data file", false, false, 0, EFBIG, kLargestDataFile + 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path file = dir.file("planeten.dat");
        if (c.folder)
            fs::create_directory(file);
        else if (!c.missing)
            writeBytes(file, std::string(100, 'x'));
        if (c.sparse > 0) fs::resize_file(file, c.sparse);
        writeBytes(dir.file("planeten.dat.bak"), "frühere Kopie");
        const std::vector<std::string> before = folderEntries(dir.path());

        BackupCopy kept;
        if (c.sizeLimit > 0) {
            test::FileSizeLimit limit(static_cast<rlim_t>(c.sizeLimit));
            KRVX_NEEDS_FILE_SIZE_LIMIT(limit);
            kept = keepBackupCopy(file);
        } else {
            kept = keepBackupCopy(file);
        }

        EXPECT_FALSE(kept.path.has_value()) << c.what;
        ASSERT_TRUE(kept.error.has_value()) << c.what;
        EXPECT_EQ(kept.error->number, c.number) << c.what;
        EXPECT_EQ(kept.error->description, fileErrorDescription(c.number)) << c.what;
        EXPECT_EQ(folderEntries(dir.path()), before) << c.what;
        EXPECT_EQ(readBytes(dir.file("planeten.dat.bak")), "frühere Kopie") << c.what;
    }
}

} // namespace
} // namespace krvx
