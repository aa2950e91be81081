#pragma once
// Backup copies of data files.

#include <filesystem>
#include <optional>

#include "common/fileops.h"

namespace krvx {

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
inline BackupCopy keepBackupCopy(const std::filesystem::path& file) {
    SystemFileOps ops;
    return keepBackupCopy(file, ops);
}

} // namespace krvx
