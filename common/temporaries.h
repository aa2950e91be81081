#pragma once
// The temporary files of saves and backup copies. Each is hidden and named
// after its data file, the writing process and a random number
// (".planeten.dat.tmp4711-80235"), and its writer holds a lock on it while
// writing, so that what a killed save left behind can be told from a save at
// work and removed.

#include <filesystem>

#include "common/fileops.h"

namespace krvx {

// Creates and locks a fresh temporary file beside the file, named after it
// and this process; -1 with errno set on failure. The lock lasts until the
// descriptor is closed.
int createTemporary(FileOps& ops, const std::filesystem::path& file, std::filesystem::path& tempPath);

// Removes the temporary files of that file in its folder that nobody holds
// locked and whose writer no longer runs, or that were left unchanged for ten
// minutes (the writer's id may have been given to another process since).
void removeAbandonedTemporariesBeside(const std::filesystem::path& file);

} // namespace krvx
