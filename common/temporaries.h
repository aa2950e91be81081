#pragma once
// The temporary files of saves and backup copies. Each is hidden and named
// after its data file, the writing process and a random number
// (".planeten.dat.tmp4711-80235"), and its writer holds a lock on it while
// writing, so that what a killed save left behind can be told from a save at
// work and removed.

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

// Writes the bytes into a fresh temporary file beside the file, named after it
// and this process and locked while it is written, flushed and closed, after
// prepare had its descriptor (for its permissions); its path, or nullopt with
// errno set and nothing left behind.
std::optional<std::filesystem::path> writeTemporary(FileOps& ops, const std::filesystem::path& file,
                                                    std::string_view bytes, const std::function<bool(int fd)>& prepare);

// A save killed midway leaves its temporary file behind: this removes the ones
// of that data file (in the folder of the file a symbolic link leads to) that
// nobody holds locked and whose writer no longer runs, or that were left
// unchanged for ten minutes (the writer's id may have been given to another
// process since). Every save does it for its file.
void removeAbandonedTemporaries(const std::filesystem::path& file);

} // namespace krvx
