#pragma once
// Data files: Windows-1252 text with CR LF line ends (LF-only lines read too),
// read whole and saved atomically. Texts in the program are UTF-8.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

std::string cp1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?'.
std::string utf8ToCp1252(std::string_view utf8);
// True when every character of the text has a Windows-1252 byte.
bool fitsCp1252(std::string_view utf8);

// Reads a whole data file and decodes it to UTF-8 (line ends kept as they are).
// nullopt when the file cannot be opened (missing, unreadable, a folder).
std::optional<std::string> readDataFile(const std::filesystem::path& file);

struct FileError {
    int number = 0;            // errno-style number of the failed step
    std::string description;   // German description for the user
};

// The short German description of an errno-style number ("Zugriff verweigert").
std::string fileErrorDescription(int number);

// Encodes the UTF-8 content to Windows-1252 and replaces the file atomically:
// a temporary file in the same folder is written, flushed and renamed over the
// old one. On failure the old file is whole and no temporary file is left.
// The new file keeps the old one's permissions; a symbolic link is written
// through to its target. A file the user may not write is left alone
// (failure EACCES), as writing it in place would fail. Returns nullopt on success.
// Every step goes through ops; without them, through the system's own calls.
std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content, FileOps& ops);
std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content);

// The temporary file of a save is hidden and named after the data file, the
// writing process and a random number (".planeten.dat.tmp4711-80235"), and its
// writer holds a lock on it. A save killed midway leaves it behind: this
// removes the ones of that data file (in the folder of the file a symbolic
// link leads to) that nobody holds locked and whose writer no longer runs, or
// that were left unchanged for ten minutes. Every save does it for its file.
void removeAbandonedTemporaries(const std::filesystem::path& file);

// Where a copy of a file was kept, or why none could be made: exactly one is set.
struct BackupCopy {
    std::optional<std::filesystem::path> path;
    std::optional<FileError> error;
};

// Keeps a byte-exact copy of the file beside it before it is written over: as
// <name>.bak, or <name>.bak2, .bak3 ... when that name is taken by anything
// (a file, a folder, a link). Nothing that exists is ever written over. The
// copy gets the file's permissions; a symbolic link is copied as the content
// of its target. The copy is written under a temporary name and gets its
// final name only when whole, so a failure or a kill midway leaves no partial copy.
BackupCopy keepBackupCopy(const std::filesystem::path& file, FileOps& ops);
BackupCopy keepBackupCopy(const std::filesystem::path& file);

// Appending (the debug log): opens for appending, creating the file when missing.
class AppendFile {
public:
    AppendFile() : ops_(systemOps_) {}
    explicit AppendFile(FileOps& ops) : ops_(ops) {}
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile();
    bool open(const std::filesystem::path& file);
    bool isOpen() const;
    // Writes the UTF-8 text encoded to Windows-1252 and flushes; false on failure.
    bool write(std::string_view utf8);
    void close();

private:
    SystemFileOps systemOps_;
    FileOps& ops_;
    int fd_ = -1;
};

} // namespace krvx
