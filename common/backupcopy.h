#pragma once
// Backup copies of data files.

#include <filesystem>
#include <optional>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

// Where a copy of a file (or a file saved beside it) was kept, or why none
// could be made: exactly one is set.
struct BackupCopy {
    std::optional<std::filesystem::path> path;
    std::optional<FileError> error;
};

// Keeps a byte-exact copy of the file beside it before it is written over: as
// <name>.bak, or <name>.bak2, .bak3 ... when that name is taken by anything
// (a file, a folder, a link). Nothing that exists is ever written over. The
// copy keeps what a save keeps of the file; a symbolic link is copied as the content
// of its target. The copy is written under a temporary name and gets its
// final name only when whole, so a failure or a kill midway leaves no partial copy.
BackupCopy keepBackupCopy(const std::filesystem::path& file, FileOps& ops);
inline BackupCopy keepBackupCopy(const std::filesystem::path& file) {
    SystemFileOps ops;
    return keepBackupCopy(file, ops);
}

// Saves the content, as saveDataFile would, into a new file beside the file
// instead: <name><suffix>, or <name><suffix>2, 3 ... when that name is taken
// by anything. Nothing that exists is written over and no link at the new
// name is followed; the new file keeps what a save keeps of the file where
// there is one. Like a copy, it has its name only when whole.
BackupCopy saveBeside(const std::filesystem::path& file, std::string_view suffix, std::string_view utf8Content,
                      FileOps& ops);

// What a save that may first keep a copy did.
struct SaveOutcome {
    std::optional<std::filesystem::path> keptCopy; // where the old file was kept
    std::optional<FileError> copyError; // no copy could be made, so nothing was written
    std::optional<FileError> writeError; // the write failed: the file is unchanged
    bool written() const { return !copyError && !writeError; }
};

// Saves the content with saveDataFile. Over a file that the last load found
// damaged (some of it was not read, so writing would lose it) the old file is
// first kept with keepBackupCopy, and when no copy can be made it is not
// written. A file that is no longer there needs no copy.
SaveOutcome saveKeepingCopy(const std::filesystem::path& file, std::string_view utf8Content, bool damaged,
                            FileOps& ops);

} // namespace krvx
