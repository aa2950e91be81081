#pragma once
// The atomic save of a data file.

#include <filesystem>
#include <optional>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

// Encodes the UTF-8 content to Windows-1252 and replaces the file atomically:
// a temporary file in the same folder is written, flushed and renamed over the
// old one. On failure the old file is whole and no temporary file is left.
// The new file keeps the old one's permissions and group (on POSIX systems
// also its extended attributes, see fileattributes.h); a symbolic link is
// written through to its target. A file the user may not write is left alone
// (failure EACCES), as writing it in place would fail. Returns nullopt on success.
// Every step goes through ops; without them, through the system's own calls.
std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content, FileOps& ops);
inline std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content) {
    SystemFileOps ops;
    return saveDataFile(file, utf8Content, ops);
}
// The same for the file that the data file's links were resolved to
// (resolveLinks), by a save that resolved them once at its start.
std::optional<FileError> saveToTarget(const std::filesystem::path& target, std::string_view utf8Content, FileOps& ops);

} // namespace krvx
